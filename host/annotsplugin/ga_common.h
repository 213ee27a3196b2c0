#pragma once

#include "uiframework/g_annotationhandler.h"
#include "uiframework/g_docviewrender.h"
#include "uiframework/g_toolhandler.h"

#include "ombase/cca_path.h"

#include <vector>

// Base of the annotation tools: selects an annotation, moves it (drag mode 1) or resizes it
// by one of its eight control points (drag mode 2) while the left button is held.
class GA_Common : public G_AnnotationHandler, public G_ToolHandler, public G_DocViewRender
{
public:
    enum DragMode { DragNone = 0, DragMove = 1, DragResize = 2 };

    GA_Common();
    ~GA_Common() override;

    // Sets the drag mode from the press (control point: resize; inside: move) and keeps
    // the current annotation's boundary as the press rectangle.
    int OnLButtonDown(unsigned flags, const CCA_Point &point) override;
    int OnLButtonUp(unsigned flags, const CCA_Point &point) override;
    // While a drag runs: moves or resizes the current annotation, never off its page.
    int OnMouseMove(unsigned flags, const CCA_Point &point) override;

    void OnSelected() override;
    void OnDeselected() override;
    int CtrlPointIndex(const CCA_Point &point) override;
    int CtrlPointIndex() override;
    QVector<QRect> GetCtrlPoints() override;
    IG_Annot *HitTest(const CCA_Point &point) override;
    // Moves the current annotation by dx, dy scene pixels.
    void DoMove(int dx, int dy) override;
    // Moves control point `ctrlIndex` (0 top-left, clockwise to 7 left) to a scene point.
    void DoResize(int ctrlIndex, const CCA_Point &point) override;

    int DragModeValue() const { return m_dragMode; }
    void SetDragMode(int mode) { m_dragMode = mode; }
    CCA_GRect PressRect() const { return m_pressRect; }
    int CursorIdValue() const { return m_cursorId; }

protected:
    int m_dragMode = DragNone;
    CCA_GRect m_pressRect;
    int m_cursorId = 0;
    CCA_Point m_pressPoint;
    CCA_Point m_lastPoint;
    int m_ctrlIndex = -1;

private:
    // An appearance object as it was at the press, so that a resize scales from it.
    struct ObjectSnapshot
    {
        CCA_GRect boundary;
        CCA_Path path;
        CCA_Matrix ctm;
    };

    int AnnotPageIndex() const;
    bool SceneRectContains(const CCA_Point &point, int margin) const;
    void TakeSnapshot();
    // The press rectangle with control point `ctrlIndex` moved to a scene point.
    CCA_GRect ResizedRect(int ctrlIndex, const CCA_Point &point) const;
    void ApplyResize(const CCA_GRect &rect);
    CCA_GRect ClampedIntoPage(CCA_GRect rect) const;
    static int CursorForCtrlPoint(int ctrlIndex);

    std::vector<ObjectSnapshot> m_pressObjects;
};
