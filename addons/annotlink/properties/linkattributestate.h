#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"

#include <QColor>
#include <QString>

class G_Action;
class IG_Annot;
struct LinkStroke;

// A link's attributes at one moment. The actions are shared with the document, never owned:
// the model keeps replaced actions alive, so the pointers stay valid for undo.
class LinkAttributeState
{
public:
    QColor color;
    float lineWidth = 0;
    CCA_ArrayTemplate<float> dashPattern;
    CCA_Path path;
    int pageIndex = 0;
    CCA_ArrayTemplate<G_Action *> actions;
    QString lastModDate;
    bool visible = false;
    CCA_GRect boundary;

    // Everything but the colour, from the link path object and the annotation. False (and
    // nothing taken) when the annotation has no link path object.
    bool Capture(IG_Annot *annot);
    LinkStroke Stroke() const;
};
