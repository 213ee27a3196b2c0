#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"

#include <QString>

class IG_Annot;

// A link's geometry as the undo command of a resize keeps it.
struct LinkGeometryState
{
    CCA_Path path;
    int pageIndex = 0;
    QString date;
    CCA_GRect boundary;

    // Path of the link path object, page index, modification date and boundary of `annot`;
    // an empty record for null.
    static LinkGeometryState FromAnnot(const IG_Annot *annot);
};
