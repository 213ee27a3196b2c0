#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"
#include "omutility/omjson.h"

#include <QList>

class G_DocView;
class IG_Annot;

struct G_PointPair
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Creates an annotation of one kind on a page from the appearance description its
// subclass builds, and records creations on the view's undo stack.
class GAC_Common
{
public:
    GAC_Common();
    virtual ~GAC_Common();

    G_DocView *DocView() const { return m_docView; }
    void SetDocView(G_DocView *view) { m_docView = view; }
    int PageIndex() const { return m_pageIndex; }
    void SetPageIndex(int index) { m_pageIndex = index; }
    CCA_String TypeName() const { return m_typeName; }
    void SetTypeName(const CCA_String &name) { m_typeName = name; }
    int AnnotType() const { return m_annotType; }
    void SetAnnotType(int type) { m_annotType = type; }
    QList<G_PointPair> &Points() { return m_points; }
    const QList<G_PointPair> &Points() const { return m_points; }

    IG_Annot *Annot() const { return m_annot; }
    void SetAnnot(IG_Annot *annot) { m_annot = annot; }

    // The appearance description of the annotation to create; empty for none.
    virtual OMSharedPtr<OMJson> BuildAppearanceJson();

    // Creates the annotation with `rect` as boundary on the page; Annot() then answers it
    // (null on failure). With `stamp` the creator and date are set from the settings and clock.
    void Flush(const CCA_GRect &rect, bool stamp);
    // Records that `annot`, already on its page, was created: undo takes it out, redo puts it back.
    void CreateAnnotCmd(IG_Annot *annot);

protected:
    G_DocView *m_docView = nullptr;
    int m_pageIndex = 0;
    CCA_String m_typeName;
    int m_annotType = 0;
    QList<G_PointPair> m_points;
    IG_Annot *m_annot = nullptr;
};
