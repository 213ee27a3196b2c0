#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"

#include <QRect>
#include <QVector>

class IG_Annot;
class QPainter;

// Selection of one annotation and its control points.
class G_AnnotationHandler
{
public:
    virtual ~G_AnnotationHandler() = default;
    IG_Annot *CurrentAnnot() const { return m_currentAnnot; }
    void SetCurrentAnnot(IG_Annot *annot) { m_currentAnnot = annot; }
    // Small squares in the module colour's host counterpart (white fill, blue frame).
    void DrawControlPoints(QPainter *painter, const QVector<QRect> &rects);

    virtual bool Filter(IG_Annot *annot);
    virtual void OnSelected();
    virtual void OnDeselected();
    // Index of the control point under a scene point, -1 when none.
    virtual int CtrlPointIndex(const CCA_Point &point);
    // Index of the control point of the running drag, -1 when none.
    virtual int CtrlPointIndex();
    // Scene rectangles of the current annotation's eight control points.
    virtual QVector<QRect> GetCtrlPoints();
    virtual IG_Annot *HitTest(const CCA_Point &point);
    virtual void DoMove(int dx, int dy);
    virtual void DoResize(int ctrlIndex, const CCA_Point &point);

private:
    IG_Annot *m_currentAnnot = nullptr;
};
