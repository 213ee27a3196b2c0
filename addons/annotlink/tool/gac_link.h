#pragma once

#include "annotsplugin/gac_postilcommon.h"

#include <QObject>

class G_DocView;
class IG_Annot;

// Creates link annotations: describes the appearance (one path object) to the host.
class GAC_Link : public QObject, public GAC_PostilCommon
{
    Q_OBJECT
public:
    explicit GAC_Link(G_DocView *view = nullptr, QObject *parent = nullptr);
    ~GAC_Link() override;

    OMSharedPtr<OMJson> BuildAppearanceJson() override;

    // Creates a link on `pageIndex` spanning the two corners (any order); answers the new
    // annotation with subtype "Link", or null when the host could not create it.
    IG_Annot *CreateLinkAnnot(double x1, double y1, double x2, double y2, int pageIndex);
};
