#include "ga_common.h"

#include "uiframework/g_docview.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_page.h"

#include <algorithm>
#include <cmath>

namespace {

const int kCtrlPointSize = 8;        // pixels
const int kHitMargin = 2;            // pixels around the boundary that still grab it
const float kHitTolerance = 2.0f;    // pixels, for the page's hit test
const float kMinSizeMM = 1.0f;
const float kSnapMM = 1e-3f;

} // namespace

GA_Common::GA_Common() = default;

GA_Common::~GA_Common() = default;

int GA_Common::AnnotPageIndex() const
{
    IG_Annot *annot = CurrentAnnot();
    IG_Page *page = annot ? annot->Page() : nullptr;
    return page ? page->PageIndex() : -1;
}

bool GA_Common::SceneRectContains(const CCA_Point &point, int margin) const
{
    G_DocView *view = DocView();
    const int page = AnnotPageIndex();
    if (!view || page < 0)
        return false;
    const CCA_Rect rect = view->SceneRectFromDocRect(CurrentAnnot()->Boundary(), page);
    return point.x >= rect.left - margin && point.x <= rect.right + margin && point.y >= rect.top - margin
        && point.y <= rect.bottom + margin;
}

int GA_Common::CursorForCtrlPoint(int ctrlIndex)
{
    switch (ctrlIndex) {
    case 0:
    case 4:
        return G_Cursor_SizeFDiag;
    case 2:
    case 6:
        return G_Cursor_SizeBDiag;
    case 1:
    case 5:
        return G_Cursor_SizeVer;
    case 3:
    case 7:
        return G_Cursor_SizeHor;
    default:
        return G_Cursor_Arrow;
    }
}

int GA_Common::OnLButtonDown(unsigned, const CCA_Point &point)
{
    m_pressPoint = point;
    m_lastPoint = point;
    m_dragMode = DragNone;
    m_ctrlIndex = -1;
    m_pressObjects.clear();
    IG_Annot *annot = CurrentAnnot();
    G_DocView *view = DocView();
    if (!annot || !view || AnnotPageIndex() < 0)
        return 0;
    m_pressRect = annot->Boundary();
    const int ctrlIndex = CtrlPointIndex(point);
    if (ctrlIndex >= 0) {
        m_dragMode = DragResize;
        m_ctrlIndex = ctrlIndex;
        m_cursorId = CursorForCtrlPoint(ctrlIndex);
        TakeSnapshot();
    } else if (SceneRectContains(point, kHitMargin)) {
        m_dragMode = DragMove;
        m_cursorId = G_Cursor_Move;
    }
    if (m_dragMode != DragNone)
        view->SetCursor(m_cursorId);
    return 0;
}

int GA_Common::OnLButtonUp(unsigned, const CCA_Point &point)
{
    m_lastPoint = point;
    m_dragMode = DragNone;
    m_ctrlIndex = -1;
    m_pressObjects.clear();
    return 0;
}

int GA_Common::OnMouseMove(unsigned, const CCA_Point &point)
{
    IG_Annot *annot = CurrentAnnot();
    G_DocView *view = DocView();
    const int page = AnnotPageIndex();
    if (!annot || !view || page < 0)
        return 0;
    if (m_dragMode == DragNone) {
        // Hovering the selection shows what a press would do; elsewhere the tool decides.
        const int ctrlIndex = CtrlPointIndex(point);
        if (ctrlIndex >= 0) {
            m_cursorId = CursorForCtrlPoint(ctrlIndex);
            view->SetCursor(m_cursorId);
        } else if (SceneRectContains(point, kHitMargin)) {
            m_cursorId = G_Cursor_Move;
            view->SetCursor(m_cursorId);
        }
        return 0;
    }
    m_lastPoint = point;
    if (m_dragMode == DragMove) {
        const CCA_GPoint delta =
            view->DocVectorFromSceneVector(float(point.x - m_pressPoint.x), float(point.y - m_pressPoint.y));
        CCA_GRect moved = m_pressRect;
        moved.Offset(delta.x, delta.y);
        annot->SetBoundary(ClampedIntoPage(moved));
    } else if (m_dragMode == DragResize && m_ctrlIndex >= 0) {
        ApplyResize(ResizedRect(m_ctrlIndex, point));
    }
    view->SetCursor(m_cursorId);
    view->Refresh();
    return 0;
}

void GA_Common::OnSelected()
{
    if (DocView())
        DocView()->Refresh();
}

void GA_Common::OnDeselected()
{
    SetCurrentAnnot(nullptr);
    m_dragMode = DragNone;
    m_ctrlIndex = -1;
    m_pressObjects.clear();
    if (DocView())
        DocView()->Refresh();
}

int GA_Common::CtrlPointIndex(const CCA_Point &point)
{
    const QVector<QRect> rects = GetCtrlPoints();
    for (int i = 0; i < rects.size(); ++i) {
        if (rects[i].contains(point.x, point.y))
            return i;
    }
    return -1;
}

int GA_Common::CtrlPointIndex()
{
    return m_dragMode == DragResize ? m_ctrlIndex : -1;
}

QVector<QRect> GA_Common::GetCtrlPoints()
{
    G_DocView *view = DocView();
    const int page = AnnotPageIndex();
    if (!view || page < 0)
        return {};
    const CCA_Rect r = view->SceneRectFromDocRect(CurrentAnnot()->Boundary(), page);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const QPoint centres[8] = {{r.left, r.top},     {cx, r.top},      {r.right, r.top}, {r.right, cy},
                               {r.right, r.bottom}, {cx, r.bottom},   {r.left, r.bottom}, {r.left, cy}};
    QVector<QRect> rects;
    rects.reserve(8);
    for (const QPoint &c : centres)
        rects << QRect(c.x() - kCtrlPointSize / 2, c.y() - kCtrlPointSize / 2, kCtrlPointSize, kCtrlPointSize);
    return rects;
}

IG_Annot *GA_Common::HitTest(const CCA_Point &point)
{
    G_DocView *view = DocView();
    if (!view)
        return nullptr;
    const int index = view->PageIndexByPoint(QPoint(point.x, point.y), true, false);
    IG_Page *page = view->Page(index);
    if (!page)
        return nullptr;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    CCA_ArrayTemplate<IG_Annot *> hits;
    page->AnnotsAtPoint(hits, view->DocPointFromScenePointByPageIndex(point, index), kHitTolerance,
                        view->GetZoom() / 100.0f, 1, CCA_String(), OMSharedPtr<const OMJson>());
    for (int i = hits.GetUpperBound(); i >= 0; --i) {
        if (Filter(hits[i]))
            return hits[i];
    }
    return nullptr;
}

void GA_Common::DoMove(int dx, int dy)
{
    IG_Annot *annot = CurrentAnnot();
    G_DocView *view = DocView();
    if (!annot || !view || AnnotPageIndex() < 0)
        return;
    const CCA_GPoint delta = view->DocVectorFromSceneVector(float(dx), float(dy));
    CCA_GRect moved = annot->Boundary();
    moved.Offset(delta.x, delta.y);
    annot->SetBoundary(ClampedIntoPage(moved));
    view->Refresh();
}

void GA_Common::DoResize(int ctrlIndex, const CCA_Point &point)
{
    IG_Annot *annot = CurrentAnnot();
    if (!annot || !DocView() || AnnotPageIndex() < 0 || ctrlIndex < 0 || ctrlIndex > 7)
        return;
    if (m_dragMode != DragResize) {
        m_pressRect = annot->Boundary();
        TakeSnapshot();
    }
    ApplyResize(ResizedRect(ctrlIndex, point));
    DocView()->Refresh();
}

void GA_Common::TakeSnapshot()
{
    m_pressObjects.clear();
    IG_Annot *annot = CurrentAnnot();
    IG_Appearance *appearance = annot ? annot->Appearance() : nullptr;
    if (!appearance)
        return;
    for (int i = 0; i < appearance->PageObjectCount(); ++i) {
        ObjectSnapshot snapshot;
        if (IG_PageObject *object = appearance->PageObject(i)) {
            snapshot.boundary = object->Boundary();
            snapshot.path = object->Path();
            snapshot.ctm = object->CTM();
        }
        m_pressObjects.push_back(snapshot);
    }
}

// The edges are moved in scene space, where the control points are, so that a rotated
// view resizes the edge under the pointer.
CCA_GRect GA_Common::ResizedRect(int ctrlIndex, const CCA_Point &point) const
{
    G_DocView *view = DocView();
    const int page = AnnotPageIndex();
    IG_Page *pageObject = CurrentAnnot() ? CurrentAnnot()->Page() : nullptr;
    if (!view || page < 0 || !pageObject)
        return m_pressRect;
    const CCA_GRect box = pageObject->PageBox();
    CCA_GPoint at = view->DocPointFromScenePointByPageIndex(point, page);
    at.x = std::clamp(at.x, box.left, box.right);
    at.y = std::clamp(at.y, box.top, box.bottom);

    const QTransform toScene = view->PageTransform(page);
    const QRectF press = toScene.mapRect(QRectF(m_pressRect.left, m_pressRect.top, m_pressRect.Width(),
                                                m_pressRect.Height()));
    const QPointF target = toScene.map(QPointF(at.x, at.y));
    qreal left = press.left(), top = press.top(), right = press.right(), bottom = press.bottom();
    switch (ctrlIndex) {
    case 0: left = target.x(); top = target.y(); break;
    case 1: top = target.y(); break;
    case 2: right = target.x(); top = target.y(); break;
    case 3: right = target.x(); break;
    case 4: right = target.x(); bottom = target.y(); break;
    case 5: bottom = target.y(); break;
    case 6: left = target.x(); bottom = target.y(); break;
    case 7: left = target.x(); break;
    default: return m_pressRect;
    }
    const QRectF doc = toScene.inverted().mapRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
    CCA_GRect rect(float(doc.left()), float(doc.top()), float(doc.right()), float(doc.bottom()));

    // The round trip through scene space must not nudge the edges that stay.
    auto snap = [](float &value, float a, float b) {
        if (std::fabs(value - a) < kSnapMM)
            value = a;
        else if (std::fabs(value - b) < kSnapMM)
            value = b;
    };
    snap(rect.left, m_pressRect.left, m_pressRect.right);
    snap(rect.right, m_pressRect.left, m_pressRect.right);
    snap(rect.top, m_pressRect.top, m_pressRect.bottom);
    snap(rect.bottom, m_pressRect.top, m_pressRect.bottom);

    // Below the minimum the moving edge stops short of the one that stays.
    if (rect.Width() < kMinSizeMM) {
        if (rect.left == m_pressRect.left || rect.left == m_pressRect.right)
            rect.right = rect.left + kMinSizeMM;
        else
            rect.left = rect.right - kMinSizeMM;
    }
    if (rect.Height() < kMinSizeMM) {
        if (rect.top == m_pressRect.top || rect.top == m_pressRect.bottom)
            rect.bottom = rect.top + kMinSizeMM;
        else
            rect.top = rect.bottom - kMinSizeMM;
    }
    return ClampedIntoPage(rect);
}

// The appearance objects sit relative to the boundary; they are scaled with it so that
// the annotation looks the same, only larger or smaller.
void GA_Common::ApplyResize(const CCA_GRect &rect)
{
    IG_Annot *annot = CurrentAnnot();
    if (!annot)
        return;
    annot->SetBoundary(rect);
    IG_Appearance *appearance = annot->Appearance();
    if (!appearance)
        return;
    const float sx = m_pressRect.Width() > 0 ? rect.Width() / m_pressRect.Width() : 1.0f;
    const float sy = m_pressRect.Height() > 0 ? rect.Height() / m_pressRect.Height() : 1.0f;
    const int count = std::min(appearance->PageObjectCount(), int(m_pressObjects.size()));
    for (int i = 0; i < count; ++i) {
        IG_PageObject *object = appearance->PageObject(i);
        if (!object)
            continue;
        const ObjectSnapshot &was = m_pressObjects[size_t(i)];
        object->SetBoundary(CCA_GRect(was.boundary.left * sx, was.boundary.top * sy, was.boundary.right * sx,
                                      was.boundary.bottom * sy));
        if (was.ctm.IsIdentity()) {
            CCA_Path path = was.path;
            path.Transform(CCA_Matrix(sx, 0, 0, sy, 0, 0));
            object->SetPath(path);
        } else {
            const CCA_Matrix &m = was.ctm;
            object->SetCTM(CCA_Matrix(m.a * sx, m.b * sy, m.c * sx, m.d * sy, m.e * sx, m.f * sy));
        }
    }
}

CCA_GRect GA_Common::ClampedIntoPage(CCA_GRect rect) const
{
    IG_Page *page = CurrentAnnot() ? CurrentAnnot()->Page() : nullptr;
    if (!page)
        return rect;
    const CCA_GRect box = page->PageBox();
    if (rect.Width() >= box.Width())
        rect.Offset(box.left - rect.left, 0);
    else if (rect.left < box.left)
        rect.Offset(box.left - rect.left, 0);
    else if (rect.right > box.right)
        rect.Offset(box.right - rect.right, 0);
    if (rect.Height() >= box.Height())
        rect.Offset(0, box.top - rect.top);
    else if (rect.top < box.top)
        rect.Offset(0, box.top - rect.top);
    else if (rect.bottom > box.bottom)
        rect.Offset(0, box.bottom - rect.bottom);
    return rect;
}
