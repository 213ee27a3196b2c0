#include "g_docview.h"

#include "g_annotationhandler.h"
#include "g_docviewrender.h"
#include "g_event.h"
#include "g_pagerenderer.h"
#include "g_toolhandler.h"
#include "g_uicontext.h"
#include "g_viewhistory.h"
#include "gt_handtool.h"
#include "gq_convert.h"
#include "gr_pagegraphicitem.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionGraphicsItem>
#include <QToolTip>
#include <QUndoStack>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const int kPageGap = 12;             // scene pixels between and around pages
const double kPixelsPerMMAt100 = 96.0 / 25.4;
const float kMinZoom = 10;
const float kMaxZoom = 6400;
const QSizeF kFallbackPageMM(210, 297);
// Pages outside these sizes are shown at them, so that every page fits the scene at any zoom.
const double kMinPageMM = 1e-3;
const double kMaxPageMM = 1e5;
const qint64 kMaxCachedPagePixels = 12 * 1000 * 1000;
const int kContentCacheBytes = 256 * 1024 * 1024;

enum MouseKind { MousePress, MouseRelease, MouseDoubleClick, MouseMove };

unsigned MouseFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    unsigned flags = 0;
    if (modifiers & Qt::ControlModifier)
        flags |= G_Mouse_Ctrl;
    if (modifiers & Qt::ShiftModifier)
        flags |= G_Mouse_Shift;
    if (modifiers & Qt::AltModifier)
        flags |= G_Mouse_Alt;
    if (buttons & Qt::LeftButton)
        flags |= G_Mouse_LButton;
    return flags;
}

CCA_Point ToScenePoint(const QPointF &point)
{
    return CCA_Point(GQ_RoundCoordinate(point.x()), GQ_RoundCoordinate(point.y()));
}

QPoint ToSceneQPoint(const QPointF &point)
{
    return QPoint(GQ_RoundCoordinate(point.x()), GQ_RoundCoordinate(point.y()));
}

// Zoom factors computed from a file's numbers may be far outside float's range.
float ClampedZoom(double percent)
{
    return float(std::clamp(percent, double(kMinZoom), double(kMaxZoom)));
}

// Whole-pixel shifts only: there a rectangle fills whole pixels, whatever the antialiasing.
bool IsPixelAligned(const QTransform &transform)
{
    return transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx())
        && transform.dy() == std::floor(transform.dy());
}

bool IsModifierKey(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr;
}

// The keys a view takes from the application's shortcuts so that its tool gets them.
bool IsToolShortcut(const QKeyEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    const int key = event->key();
    return key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_V;
}

Qt::CursorShape CursorShape(int id)
{
    switch (id) {
    case G_Cursor_IBeam: return Qt::IBeamCursor;
    case G_Cursor_SizeVer: return Qt::SizeVerCursor;
    case G_Cursor_SizeHor: return Qt::SizeHorCursor;
    case G_Cursor_SizeBDiag: return Qt::SizeBDiagCursor;
    case G_Cursor_SizeFDiag: return Qt::SizeFDiagCursor;
    case G_Cursor_Move: return Qt::SizeAllCursor;
    case G_Cursor_PointingHand: return Qt::PointingHandCursor;
    case G_Cursor_ClosedHand: return Qt::ClosedHandCursor;
    case G_Cursor_OpenHand: return Qt::OpenHandCursor;
    case G_Cursor_Cross: return Qt::CrossCursor;
    default: return Qt::ArrowCursor;
    }
}

// The scene's one item: every page in it. A scene of an item per page cost more to fill,
// walk on every frame and tear down than the few pages a frame shows.
class PagesItem : public QGraphicsItem
{
public:
    PagesItem(G_DocView *view, const QRectF &bounds) : m_view(view), m_bounds(bounds)
    {
        setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    }
    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *) override
    {
        m_view->PaintExposedPages(painter, option->exposedRect);
    }

private:
    G_DocView *m_view;
    QRectF m_bounds;
};

} // namespace

G_DocView::G_DocView(G_UIContext *context, IG_Document *document, QWidget *parent)
    : QGraphicsView(parent), m_context(context), m_document(document), m_scene(nullptr)
{
    // Made here, not in the initialiser list: its ChildAdded event reaches event() at once.
    m_scene = new QGraphicsScene(this);
    m_scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(m_scene);
    m_contentCache.setMaxCost(kContentCacheBytes);
    m_pageCache.setMaxCost(kContentCacheBytes / 2);
    m_history = new G_ViewHistory(this);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    setDragMode(QGraphicsView::NoDrag);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // drawBackground covers every pixel: a fill of the viewport before it would be overdrawn.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    Relayout();
    if (G_ToolHandler::GlobalPrototype(QStringLiteral("t_handtool")))
        SetCurrentToolHandler(QStringLiteral("t_handtool"));
    if (m_context && m_context->EventMgr()) {
        m_eventContext = m_context;
        m_eventListener = m_context->EventMgr()->AddListener([this](const G_Event &event) { OnEvent(event); });
    }
}

// Commands may own annotations that are out of their pages: they go first.
G_DocView::~G_DocView()
{
    if (m_eventContext)
        m_eventContext->EventMgr()->RemoveListener(m_eventListener);
    delete m_undoStack;
    m_undoStack = nullptr;
    m_currentHandler = nullptr;
    const QList<G_ToolHandler *> handlers = m_handlers.values();
    m_handlers.clear();
    for (G_ToolHandler *handler : handlers) {
        handler->OnDestroy();
        delete handler;
    }
    qDeleteAll(m_pageItems);
    m_pageItems.clear();
}

QList<GR_PageGraphicItem *> G_DocView::PageItems() const
{
    QList<GR_PageGraphicItem *> items;
    for (int i = 0; i < m_pageItems.size(); ++i)
        items << PageItem(i);
    return items;
}

// Made when first painted or asked for: most pages of a long document never are.
GR_PageGraphicItem *G_DocView::PageItem(int index) const
{
    if (index < 0 || index >= m_pageItems.size())
        return nullptr;
    if (!m_pageItems[index])
        m_pageItems[index] = new GR_PageGraphicItem(const_cast<G_DocView *>(this), index);
    return m_pageItems[index];
}

// Each page is painted as an item of its own was: under its own saved state, when its rectangle
// on the device, widened by two pixels for antialiasing, meets what is exposed, and, when the
// painter clips (as rendering a part of the scene does), meets the clip.
void G_DocView::PaintExposedPages(QPainter *painter, const QRectF &exposed)
{
    const QTransform toDevice = painter->transform();
    const QRect exposedOnDevice = toDevice.mapRect(exposed).toAlignedRect();
    const QRectF clip = painter->hasClipping() ? painter->clipBoundingRect() : QRectF();
    // Those two pixels and one of rounding, in scene pixels: pages farther from the exposed rows
    // are passed over without a look. Rotated or sheared frames look at every page.
    const double scale = std::min(std::fabs(toDevice.m11()), std::fabs(toDevice.m22()));
    const bool upright = toDevice.type() <= QTransform::TxScale && scale > 0;
    const double margin = upright ? 3 / scale : 0;
    // A scene rendered whole exposes every page; its clip tells which it shows.
    const QRectF rows = painter->hasClipping() ? exposed & clip : exposed;
    const int count = m_pageRects.size();
    int i = 0;
    if (upright)
        i = int(std::lower_bound(m_pageRects.cbegin(), m_pageRects.cend(), rows.top() - margin,
                                 [](const QRect &r, double y) { return r.bottom() + 1 < y; })
                - m_pageRects.cbegin());
    for (; i < count; ++i) {
        const QRect &rect = m_pageRects[i];
        if (upright && !m_pagesStacked && rect.top() - margin > rows.bottom())
            break;
        if (!toDevice.mapRect(QRectF(rect)).toAlignedRect().adjusted(-2, -2, 2, 2).intersects(exposedOnDevice)
            || (painter->hasClipping() && !clip.intersects(QRectF(rect))))
            continue;
        painter->save();
        PaintPageItem(painter, PageItem(i));
        painter->restore();
    }
}

IG_Page *G_DocView::Page(int index) const
{
    if (!m_document || index < 0 || index >= m_document->PageCount())
        return nullptr;
    return m_document->GetPage(index);
}

int G_DocView::PageCount() const
{
    return m_document ? m_document->PageCount() : 0;
}

int G_DocView::CurrentPageIndex() const
{
    const QPointF centre = mapToScene(viewport()->rect().center());
    return PageIndexByPoint(ToSceneQPoint(centre), true, true);
}

void G_DocView::SetAnnotsVisible(bool visible)
{
    m_annotsVisible = visible;
    Refresh();
}

void G_DocView::SetSelectHighLightText(const QList<G_HighLightItem> &selection)
{
    m_selection = selection;
    Refresh();
    emit SelectionChanged();
}

QUndoStack *G_DocView::CreateUndoStack()
{
    if (!m_undoStack)
        m_undoStack = new QUndoStack(this);
    return m_undoStack;
}

void G_DocView::SetZoom(float percent)
{
    m_zoomMode = G_Zoom_Custom;
    ApplyZoom(percent, viewport()->rect().center());
}

void G_DocView::SetRotate(int degrees)
{
    int normalised = ((degrees % 360) + 360) % 360;
    normalised = (normalised + 45) / 90 * 90 % 360;
    if (normalised == m_rotate)
        return;
    const int page = CurrentPageIndex();
    m_rotate = normalised;
    Relayout();
    if (m_zoomMode != G_Zoom_Custom)
        ApplyZoomMode();
    if (page >= 0)
        GoToPage(page);
}

void G_DocView::SetZoomMode(int mode)
{
    m_zoomMode = (mode >= G_Zoom_Custom && mode <= G_Zoom_FitVisible) ? mode : G_Zoom_Custom;
    ApplyZoomMode();
}

double G_DocView::PixelsPerMM() const
{
    return kPixelsPerMMAt100 * m_zoom / 100.0;
}

QSizeF G_DocView::PageSizeMM(int pageIndex) const
{
    IG_Page *page = Page(pageIndex);
    if (!page)
        return kFallbackPageMM;
    const CCA_GRect box = page->PageBox();
    if (!(box.Width() > 0) || !(box.Height() > 0))
        return kFallbackPageMM;
    return QSizeF(std::clamp(double(box.Width()), kMinPageMM, kMaxPageMM),
                  std::clamp(double(box.Height()), kMinPageMM, kMaxPageMM));
}

// Each page is as many whole pixels as it needs to hold its exact size, so that the page
// rectangle, taken back to millimetres, covers the whole page.
void G_DocView::Relayout()
{
    m_contentCache.clear();
    m_pageCache.clear();
    qDeleteAll(m_pageItems);
    m_pageItems.clear();
    m_pageRects.clear();

    const double ppm = PixelsPerMM();
    const int count = PageCount();
    QVector<QSize> sizes;
    sizes.reserve(count);
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        QSizeF mm = PageSizeMM(i);
        if (m_rotate == 90 || m_rotate == 270)
            mm.transpose();
        const QSize size(int(std::ceil(mm.width() * ppm)), int(std::ceil(mm.height() * ppm)));
        sizes << size;
        widest = std::max(widest, size.width());
    }
    // Pages that would reach beyond the scene's range are stacked at its end.
    qint64 y = kPageGap;
    m_pagesStacked = false;
    m_pageRects.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QSize &size = sizes[i];
        const int top = int(std::min<qint64>(y, GQ_MaxSceneCoordinate - kPageGap - size.height()));
        m_pagesStacked = m_pagesStacked || top < y;
        m_pageRects << QRect(kPageGap + (widest - size.width()) / 2, top, size.width(), size.height());
        y = top + size.height() + kPageGap;
    }
    m_scene->clear();
    m_scene->setSceneRect(0, 0, widest + 2 * kPageGap, std::max<qint64>(y, 2 * kPageGap));
    m_pageItems = QVector<GR_PageGraphicItem *>(count, nullptr);
    if (count > 0)
        m_scene->addItem(new PagesItem(this, m_scene->sceneRect()));
    UpdateCurrentPage();
    Refresh();
}

QTransform G_DocView::PageTransform(int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= m_pageRects.size())
        return QTransform();
    const QRect rect = m_pageRects[pageIndex];
    const QSizeF mm = PageSizeMM(pageIndex);
    const double ppm = PixelsPerMM();
    const double width = mm.width() * ppm, height = mm.height() * ppm;
    switch (m_rotate) {
    case 90:
        return QTransform(0, ppm, -ppm, 0, rect.left() + height, rect.top());
    case 180:
        return QTransform(-ppm, 0, 0, -ppm, rect.left() + width, rect.top() + height);
    case 270:
        return QTransform(0, -ppm, ppm, 0, rect.left(), rect.top() + width);
    default:
        return QTransform(ppm, 0, 0, ppm, rect.left(), rect.top());
    }
}

CCA_GPoint G_DocView::DocVectorFromSceneVector(float dx, float dy) const
{
    const double ppm = PixelsPerMM();
    switch (m_rotate) {
    case 90:
        return CCA_GPoint(float(dy / ppm), float(-dx / ppm));
    case 180:
        return CCA_GPoint(float(-dx / ppm), float(-dy / ppm));
    case 270:
        return CCA_GPoint(float(-dy / ppm), float(dx / ppm));
    default:
        return CCA_GPoint(float(dx / ppm), float(dy / ppm));
    }
}

void G_DocView::ApplyZoom(float percent, const QPoint &viewportAnchor)
{
    if (!std::isfinite(percent))
        return;
    const float zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    // Keep the document point under the anchor where it is on the screen.
    const QPointF anchorScene = mapToScene(viewportAnchor);
    const int page = PageIndexByPoint(ToSceneQPoint(anchorScene), true, true);
    const QPointF anchorDoc = page >= 0 ? PageTransform(page).inverted().map(anchorScene) : QPointF();
    const bool changed = zoom != m_zoom;
    m_zoom = zoom;
    if (changed)
        Relayout();
    if (page >= 0) {
        const QPointF moved = PageTransform(page).map(anchorDoc);
        ScrollToScenePoint(ToSceneQPoint(moved - QPointF(viewportAnchor)));
    }
    if (changed)
        emit ZoomChanged(m_zoom);
}

void G_DocView::ApplyZoomMode()
{
    if (m_applyingZoomMode || m_zoomMode == G_Zoom_Custom || PageCount() == 0)
        return;
    m_applyingZoomMode = true;
    const int page = std::max(0, CurrentPageIndex());
    QSizeF mm = PageSizeMM(page);
    if (m_rotate == 90 || m_rotate == 270)
        mm.transpose();
    // Room as if the vertical scroll bar were shown, so that fitting does not oscillate.
    const QSize room = maximumViewportSize();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const double width = std::max(1, room.width() - scrollBar - 2 * kPageGap - 1);
    const double height = std::max(1, room.height() - 2 * kPageGap - 1);
    const double fitWidth = width / (mm.width() * kPixelsPerMMAt100) * 100;
    const double fitHeight = height / (mm.height() * kPixelsPerMMAt100) * 100;
    double zoom = m_zoom;
    double contentLeft = -1;
    switch (m_zoomMode) {
    case G_Zoom_ActualSize:
        zoom = 100;
        break;
    case G_Zoom_FitWidth:
        zoom = fitWidth;
        break;
    case G_Zoom_FitHeight:
        zoom = fitHeight;
        break;
    case G_Zoom_FitPage:
        zoom = std::min(fitWidth, fitHeight);
        break;
    case G_Zoom_FitVisible: {
        // The width of what is drawn on the page, the whole page when it is blank.
        IG_Page *p = Page(page);
        QRectF content;
        if (p && m_rotate == 0) {
            if (!p->IsParsed())
                p->Parse();
            for (int i = 0; i < p->PageObjectCount(); ++i) {
                IG_PageObject *object = p->PageObjectAt(i);
                if (object && object->IsVisible() && !object->Boundary().IsEmpty())
                    content |= GQ_ToQRectF(object->Boundary());
            }
        }
        if (content.width() > 0) {
            zoom = width / (content.width() * kPixelsPerMMAt100) * 100;
            contentLeft = content.left();
        } else {
            zoom = fitWidth;
        }
        break;
    }
    default:
        break;
    }
    // The top of what is being read stays where it is.
    ApplyZoom(ClampedZoom(zoom), QPoint(0, 0));
    if (contentLeft >= 0) {
        const QPointF left = PageTransform(page).map(QPointF(contentLeft, 0));
        horizontalScrollBar()->setValue(ToSceneQPoint(left).x() - kPageGap);
    }
    m_applyingZoomMode = false;
}

void G_DocView::GoToPage(int pageIndex)
{
    if (m_pageRects.isEmpty())
        return;
    pageIndex = std::clamp(pageIndex, 0, int(m_pageRects.size()) - 1);
    const QRect rect = m_pageRects[pageIndex];
    const QRect visible = VisibleSceneRect();
    int x = visible.left();
    if (rect.right() < visible.left() || rect.left() > visible.right())
        x = rect.left() - kPageGap;
    ScrollToScenePoint(QPoint(x, rect.top() - kPageGap));
    UpdateCurrentPage();
}

void G_DocView::GoToPage(G_DocView *view, int pageIndex, const CCA_GRect &rect, bool toTop)
{
    if (!view || pageIndex < 0 || pageIndex >= view->m_pageRects.size())
        return;
    const QRect scene = GQ_ToQRect(view->SceneRectFromDocRect(rect, pageIndex));
    if (toTop) {
        const QRect visible = view->VisibleSceneRect();
        int x = visible.left();
        if (scene.left() < visible.left() || scene.right() > visible.right())
            x = scene.left() - kPageGap;
        view->ScrollToScenePoint(QPoint(x, scene.top() - kPageGap));
    } else {
        view->ensureVisible(QRectF(scene), kPageGap, kPageGap);
    }
    view->UpdateCurrentPage();
}

void G_DocView::GoToDest(const G_Dest &dest)
{
    int page = dest.pageIndex;
    if (dest.pageID != 0 && m_document) {
        const int byID = m_document->PageIndexByID(dest.pageID);
        if (byID >= 0)
            page = byID;
    }
    if (page < 0 || page >= m_pageRects.size())
        return;
    m_history->Record();
    switch (dest.type) {
    case G_Dest_Fit:
        SetZoomMode(G_Zoom_FitPage);
        GoToPage(page);
        break;
    case G_Dest_FitH: {
        SetZoomMode(G_Zoom_FitWidth);
        const CCA_Point top = ScenePointFromDocPoint(CCA_GPoint(0, dest.top), page);
        ScrollToScenePoint(QPoint(VisibleSceneRect().left(), top.y));
        break;
    }
    case G_Dest_FitV: {
        SetZoomMode(G_Zoom_FitHeight);
        const CCA_Point left = ScenePointFromDocPoint(CCA_GPoint(dest.left, 0), page);
        ScrollToScenePoint(QPoint(left.x, m_pageRects[page].top() - kPageGap));
        break;
    }
    case G_Dest_FitR: {
        const double width = std::fabs(dest.right - dest.left) * kPixelsPerMMAt100 / 100;
        const double height = std::fabs(dest.bottom - dest.top) * kPixelsPerMMAt100 / 100;
        if (width > 0 && height > 0) {
            const QSize room = viewport()->size();
            SetZoom(ClampedZoom(std::min(room.width() / width, room.height() / height)));
        }
        const CCA_GRect rect(std::min(dest.left, dest.right), std::min(dest.top, dest.bottom),
                             std::max(dest.left, dest.right), std::max(dest.top, dest.bottom));
        const QRect scene = GQ_ToQRect(SceneRectFromDocRect(rect, page));
        centerOn(QRectF(scene).center());
        UpdateCurrentPage();
        break;
    }
    default: {
        if (dest.zoom > 0)
            SetZoom(ClampedZoom(dest.zoom * 100.0));
        const CCA_Point corner = ScenePointFromDocPoint(CCA_GPoint(dest.left, dest.top), page);
        ScrollToScenePoint(QPoint(corner.x, corner.y));
        break;
    }
    }
}

CCA_GRect G_DocView::CurrentPageVisibleRectMM() const
{
    int page = CurrentPageIndex();
    if (page < 0)
        return CCA_GRect();
    QRect visible = VisibleSceneRect();
    const QRect onPage = visible.intersected(m_pageRects.value(page));
    if (!onPage.isEmpty())
        visible = onPage;
    return DocRectFromSceneRect(GQ_ToCARect(visible), &page);
}

QRect G_DocView::VisibleSceneRect() const
{
    const QPointF topLeft = mapToScene(QPoint(0, 0));
    return QRect(ToSceneQPoint(topLeft), viewport()->size());
}

QRect G_DocView::PageRect(int pageIndex) const
{
    return m_pageRects.value(pageIndex);
}

// Pages are stacked top to bottom without overlapping, so a binary search over their
// bottoms finds the only page that can hold the point, and the nearest page lies among
// those whose vertical distance alone is not larger than the best found.
int G_DocView::PageIndexByPoint(const QPoint &point, bool widen, bool nearest) const
{
    const int margin = widen ? kPageGap / 2 : 0;
    const int count = m_pageRects.size();
    if (count == 0)
        return -1;
    const auto below = std::lower_bound(m_pageRects.cbegin(), m_pageRects.cend(), point.y(),
                                        [margin](const QRect &r, int y) { return r.bottom() + margin < y; });
    const int first = int(below - m_pageRects.cbegin());
    if (first < count && m_pageRects[first].adjusted(-margin, -margin, margin, margin).contains(point))
        return first;
    if (!nearest)
        return -1;
    const auto distance = [&](int i) {
        const QRect &r = m_pageRects[i];
        const qint64 dx = std::max({r.left() - point.x(), 0, point.x() - r.right()});
        const qint64 dy = std::max({r.top() - point.y(), 0, point.y() - r.bottom()});
        return dx * dx + dy * dy;
    };
    const auto verticalOnly = [&](int i) {
        const QRect &r = m_pageRects[i];
        const qint64 dy = std::max({r.top() - point.y(), 0, point.y() - r.bottom()});
        return dy * dy;
    };
    int low = std::min(first, count - 1), high = low;
    qint64 bound = distance(low);
    while (low > 0 && verticalOnly(low - 1) <= bound)
        bound = std::min(bound, distance(--low));
    while (high < count - 1 && verticalOnly(high + 1) <= bound)
        bound = std::min(bound, distance(++high));
    int best = low;
    qint64 bestDistance = -1;
    for (int i = low; i <= high; ++i) {
        const qint64 d = distance(i);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

CCA_GPoint G_DocView::DocPointFromScenePoint(const CCA_Point &point, int *pageIndex) const
{
    const int page = PageIndexByPoint(QPoint(point.x, point.y), true, true);
    if (pageIndex)
        *pageIndex = page;
    return page >= 0 ? DocPointFromScenePointByPageIndex(point, page) : CCA_GPoint();
}

// Points on the page's pixels, its far edges included, stay on the page: the pixel grid
// rounds the page up by less than a pixel, and that sliver belongs to the page's edge.
CCA_GPoint G_DocView::DocPointFromScenePointByPageIndex(const CCA_Point &point, int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= m_pageRects.size())
        return CCA_GPoint();
    const QPointF doc = PageTransform(pageIndex).inverted().map(QPointF(point.x, point.y));
    double x = doc.x(), y = doc.y();
    const QRect rect = m_pageRects[pageIndex];
    if (point.x >= rect.left() && point.x <= rect.left() + rect.width() && point.y >= rect.top()
        && point.y <= rect.top() + rect.height()) {
        const QSizeF mm = PageSizeMM(pageIndex);
        x = std::clamp(x, 0.0, mm.width());
        y = std::clamp(y, 0.0, mm.height());
    }
    return CCA_GPoint(float(x), float(y));
}

CCA_Point G_DocView::ScenePointFromDocPoint(const CCA_GPoint &point, int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= m_pageRects.size())
        return CCA_Point();
    return ToScenePoint(PageTransform(pageIndex).map(QPointF(point.x, point.y)));
}

QPoint G_DocView::ScenePointFromGlobalPoint(const QPoint &global) const
{
    const QPointF scene = mapToScene(viewport()->mapFromGlobal(global));
    return ToSceneQPoint(scene);
}

CCA_GRect G_DocView::DocRectFromSceneRect(const CCA_Rect &rect, int *pageIndex) const
{
    int page = pageIndex ? *pageIndex : -1;
    if (page < 0 || page >= m_pageRects.size()) {
        const QPoint centre(int((qint64(rect.left) + rect.right) / 2), int((qint64(rect.top) + rect.bottom) / 2));
        page = PageIndexByPoint(centre, true, true);
        if (pageIndex)
            *pageIndex = page;
    }
    if (page < 0)
        return CCA_GRect();
    const CCA_GPoint a = DocPointFromScenePointByPageIndex(CCA_Point(rect.left, rect.top), page);
    const CCA_GPoint b = DocPointFromScenePointByPageIndex(CCA_Point(rect.right, rect.bottom), page);
    return CCA_GRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

CCA_Rect G_DocView::SceneRectFromDocRect(const CCA_GRect &rect, int pageIndex) const
{
    if (pageIndex < 0 || pageIndex >= m_pageRects.size())
        return CCA_Rect();
    const CCA_Point a = ScenePointFromDocPoint(CCA_GPoint(rect.left, rect.top), pageIndex);
    const CCA_Point b = ScenePointFromDocPoint(CCA_GPoint(rect.right, rect.bottom), pageIndex);
    return CCA_Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

G_ToolHandler *G_DocView::CurrentToolHandler() const
{
    return m_currentHandler;
}

G_ToolHandler *G_DocView::ToolHandler(const QString &name)
{
    if (G_ToolHandler *handler = m_handlers.value(name, nullptr))
        return handler;
    const G_ToolHandler *prototype = G_ToolHandler::GlobalPrototype(name);
    if (!prototype)
        return nullptr;
    G_ToolHandler *clone = prototype->Clone();
    if (!clone)
        return nullptr;
    clone->SetDocView(this);
    m_handlers.insert(name, clone);
    return clone;
}

bool G_DocView::SetCurrentToolHandler(const QString &name)
{
    G_ToolHandler *handler = ToolHandler(name);
    if (!handler)
        return false;
    if (handler == m_currentHandler)
        return true;
    G_ToolHandler *previous = m_currentHandler;
    if (previous) {
        previous->OnDeactivate();
        if (auto *render = dynamic_cast<G_DocViewRender *>(previous))
            render->ResetViewRender();
    }
    m_currentHandler = handler;
    SetCursor(G_Cursor_Arrow);
    handler->OnActivate();
    emit ToolChanged(name);
    Refresh();
    return true;
}

void G_DocView::Refresh()
{
    viewport()->update();
}

// Whatever changed the annotations (a tool, a dialog, an undo or a redo) says so with an
// event, so the view repaints without knowing who did it. The annotation itself may
// already be gone, so it is not looked at.
void G_DocView::OnEvent(const G_Event &event)
{
    if (const auto *annotEvent = dynamic_cast<const G_AnnotationEvent *>(&event)) {
        if (!annotEvent->Document() || annotEvent->Document() == m_document)
            Refresh();
    } else if (const auto *changed = dynamic_cast<const G_DocumentChangedEvent *>(&event)) {
        if (!changed->DocView() || changed->DocView() == this)
            Refresh();
    }
}

void G_DocView::SetCursor(int cursorId)
{
    m_cursorId = cursorId;
    viewport()->setCursor(CursorShape(cursorId));
}

void G_DocView::ForgetAnnot(IG_Annot *annot)
{
    if (!annot)
        return;
    for (G_ToolHandler *handler : std::as_const(m_handlers)) {
        auto *annotHandler = dynamic_cast<G_AnnotationHandler *>(handler);
        if (annotHandler && annotHandler->CurrentAnnot() == annot)
            annotHandler->SetCurrentAnnot(nullptr);
    }
    Refresh();
}

void G_DocView::SetPageCacheEnabled(bool enabled)
{
    m_pageCacheEnabled = enabled;
    m_contentCache.clear();
    m_pageCache.clear();
    Refresh();
}

void G_DocView::ForgetAnnots(const std::vector<IG_Annot *> &annots)
{
    QList<G_AnnotationHandler *> holders;
    QSet<const IG_Annot *> held;
    for (G_ToolHandler *handler : std::as_const(m_handlers)) {
        auto *annotHandler = dynamic_cast<G_AnnotationHandler *>(handler);
        if (annotHandler && annotHandler->CurrentAnnot()) {
            holders << annotHandler;
            held.insert(annotHandler->CurrentAnnot());
        }
    }
    for (IG_Annot *annot : annots) {
        if (held.isEmpty())
            break;
        if (!held.remove(annot))
            continue;
        for (G_AnnotationHandler *holder : std::as_const(holders))
            if (holder->CurrentAnnot() == annot)
                holder->SetCurrentAnnot(nullptr);
    }
    Refresh();
}

void G_DocView::ScrollToScenePoint(const QPoint &point)
{
    horizontalScrollBar()->setValue(point.x());
    verticalScrollBar()->setValue(point.y());
    UpdateCurrentPage();
}

void G_DocView::PaintPageItem(QPainter *painter, GR_PageGraphicItem *item)
{
    if (!painter || !item)
        return;
    const int index = item->PageIndex();
    const QRect rect = PageRect(index);
    painter->fillRect(rect, Qt::white);
    auto *render = dynamic_cast<G_DocViewRender *>(m_currentHandler);
    if (render) {
        painter->save();
        render->PaintBeforePage(painter, item);
        painter->restore();
    }
    if (IG_Page *page = Page(index)) {
        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
        painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                                | QPainter::SmoothPixmapTransform);
        if (!m_annotsVisible || !PaintPageImage(painter, index)) {
            PaintContent(painter, index);
            if (m_annotsVisible) {
                const CCA_GRect area = ExposedPageArea(painter, index, 2);
                G_PageRenderer(painter, PageTransform(index) * painter->transform()).PaintAnnots(page, &area);
            }
        }
        painter->restore();

        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 120, 215, 80));
        for (const G_HighLightItem &selected : std::as_const(m_selection)) {
            if (selected.pageIndex != index)
                continue;
            for (const G_HighLightItem::Rect &r : selected.rects) {
                const CCA_Rect scene = SceneRectFromDocRect(CCA_GRect(r.left, r.top, r.right, r.bottom), index);
                painter->drawRect(GQ_ToQRect(scene));
            }
        }
        painter->restore();
    }
    if (render) {
        painter->save();
        render->PaintAfterPage(painter, item);
        painter->restore();
    }
}

// Content is drawn once per zoom into an image and reused while the page keeps its
// objects; null when the page is too large for that or the painter does more than shift.
QImage *G_DocView::ContentImage(QPainter *painter, int pageIndex)
{
    IG_Page *page = Page(pageIndex);
    const QRect rect = PageRect(pageIndex);
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize pixels = (QSizeF(rect.size()) * ratio).toSize();
    if (!m_pageCacheEnabled || qint64(pixels.width()) * pixels.height() > kMaxCachedPagePixels
        || painter->transform().type() > QTransform::TxTranslate)
        return nullptr;
    if (!page->IsParsed())
        page->Parse();
    QImage *image = m_contentCache.object(pageIndex);
    const int objects = page->PageObjectCount();
    if (!image || image->size() != pixels || image->text(QStringLiteral("objects")).toInt() != objects) {
        image = new QImage(pixels, QImage::Format_RGB32); // the page is opaque: blits are plain copies
        image->fill(Qt::white);
        image->setText(QStringLiteral("objects"), QString::number(objects));
        QPainter imagePainter(image);
        imagePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                                    | QPainter::SmoothPixmapTransform);
        G_PageRenderer(&imagePainter, PageToImage(pageIndex)).PaintContent(page);
        imagePainter.end();
        image->setDevicePixelRatio(ratio);
        if (!m_contentCache.insert(pageIndex, image, int(image->sizeInBytes())))
            return nullptr;
    }
    return image;
}

// An image of a page without objects is plain white, and on whole pixels it lands exactly on
// the page's white fill; off them its smoothed edges would tint the pixels around the page.
bool G_DocView::HasNoContent(QPainter *painter, IG_Page *page) const
{
    if (!page || !IsPixelAligned(painter->transform()))
        return false;
    if (!page->IsParsed())
        page->Parse();
    return page->PageObjectCount() == 0;
}

QTransform G_DocView::PageToImage(int pageIndex) const
{
    const QRect rect = PageRect(pageIndex);
    const qreal ratio = viewport()->devicePixelRatioF();
    return PageTransform(pageIndex) * QTransform::fromTranslate(-rect.left(), -rect.top())
        * QTransform::fromScale(ratio, ratio);
}

void G_DocView::PaintContent(QPainter *painter, int pageIndex)
{
    if (HasNoContent(painter, Page(pageIndex)))
        return;
    if (QImage *image = ContentImage(painter, pageIndex))
        painter->drawImage(PageRect(pageIndex).topLeft(), *image);
    else
        G_PageRenderer(painter, PageTransform(pageIndex) * painter->transform()).PaintContent(Page(pageIndex));
}

// The annotations go onto a copy of the content image, kept until the content or any of
// the page's annotations changes; a frame then costs one image.
bool G_DocView::PaintPageImage(QPainter *painter, int pageIndex)
{
    IG_Page *page = Page(pageIndex);
    if (!page)
        return false;
    const bool blank = HasNoContent(painter, page);
    QImage *content = blank ? nullptr : ContentImage(painter, pageIndex);
    if (!blank && !content)
        return false;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    // A blank page is its white fill: an image of it would only cost fresh memory.
    if (blank && page->AnnotCount() == 0) {
        m_pageCache.remove(pageIndex);
        return true;
    }
    if (!content && !(content = ContentImage(painter, pageIndex)))
        return false;
    // A page without annotations needs no copy of its content: on a large page the copy's
    // fresh memory costs more than the drawing.
    if (page->AnnotCount() == 0) {
        m_pageCache.remove(pageIndex);
        painter->drawImage(PageRect(pageIndex).topLeft(), *content);
        return true;
    }
    const uint64_t revision = page->AnnotsRevision();
    const uint64_t ownRevision = page->AnnotsOwnRevision();
    PageImage *cached = m_pageCache.object(pageIndex);
    if (cached && cached->contentKey == content->cacheKey() && cached->annotsRevision != revision
        && !UpdatePageImage(cached, *content, page, pageIndex))
        cached = nullptr;
    if (!cached || cached->contentKey != content->cacheKey()) {
        cached = new PageImage{content->copy(), content->cacheKey(), revision, ownRevision,
                               AnnotsWithinPage(page, pageIndex)};
        DrawAnnotsInto(cached, page, pageIndex, nullptr, nullptr, nullptr);
        if (!m_pageCache.insert(pageIndex, cached, int(cached->image.sizeInBytes())))
            return false;
    }
    if (!cached->annotsWithinPage)
        return false;
    painter->drawImage(PageRect(pageIndex).topLeft(), cached->image);
    return true;
}

// Only what the page's own changes touched is drawn again: the content put back there,
// then every annotation that can reach it, clipped to it. Clipping leaves the pixels inside
// as a full drawing makes them, so the image stays equal to a fresh one.
bool G_DocView::UpdatePageImage(PageImage *cached, const QImage &content, IG_Page *page, int pageIndex)
{
    const uint64_t revision = page->AnnotsRevision();
    const uint64_t ownRevision = page->AnnotsOwnRevision();
    std::vector<CCA_GRect> areas;
    if (!page->AnnotsChangedOnlyIn(cached->annotsRevision, cached->ownRevision, areas))
        return false;
    const float reach = G_PageRenderer::kStrokeReachMM;
    const QTransform toImage = PageToImage(pageIndex);
    QRegion region;
    QRectF reached; // what the redrawn areas cover, in page millimetres
    for (const CCA_GRect &a : areas) {
        const QRectF mm(a.left - reach, a.top - reach, a.right - a.left + 2 * reach, a.bottom - a.top + 2 * reach);
        region += toImage.mapRect(mm).toAlignedRect().adjusted(-1, -1, 1, 1).intersected(content.rect());
        reached |= mm;
    }
    // The renderer widens this by the stroke reach again: whatever can draw into the region.
    const CCA_GRect cull(float(reached.left()), float(reached.top()), float(reached.right()), float(reached.bottom()));
    cached->annotsRevision = revision;
    cached->ownRevision = ownRevision;
    if (!region.isEmpty())
        DrawAnnotsInto(cached, page, pageIndex, &content, &region, &cull);
    // Every link's new place is among the areas, so a page that held its links still does
    // when the areas lie within it; only a page that did not needs the whole walk.
    const QSizeF size = PageSizeMM(pageIndex);
    const bool areasWithin = std::all_of(areas.begin(), areas.end(),
                                         [&size](const CCA_GRect &area) { return WithinPage(area, size); });
    cached->annotsWithinPage = cached->annotsWithinPage && areasWithin ? true : AnnotsWithinPage(page, pageIndex);
    return true;
}

// Draws in the image's own pixels, whatever its pixel ratio; with `region`, `content` is
// put back there first and only annotations meeting `cull` are drawn.
void G_DocView::DrawAnnotsInto(PageImage *cached, IG_Page *page, int pageIndex, const QImage *content,
                               const QRegion *region, const CCA_GRect *cull)
{
    const qreal ratio = cached->image.devicePixelRatio();
    cached->image.setDevicePixelRatio(1);
    {
        QPainter imagePainter(&cached->image);
        if (region && content) {
            imagePainter.setClipRegion(*region);
            imagePainter.setCompositionMode(QPainter::CompositionMode_Source);
            imagePainter.drawImage(cached->image.rect(), *content, content->rect());
            imagePainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        imagePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                                    | QPainter::SmoothPixmapTransform);
        G_PageRenderer(&imagePainter, PageToImage(pageIndex)).PaintAnnots(page, cull);
    }
    cached->image.setDevicePixelRatio(ratio);
}

// Qt's dasher skips the dashes of a segment that lies outside the paint device, and with
// them shifts the pattern a little; a link reaching past its page would get other dashes
// in a page-sized image than on the screen, so such pages are drawn live.
bool G_DocView::AnnotsWithinPage(IG_Page *page, int pageIndex) const
{
    const QSizeF size = PageSizeMM(pageIndex);
    for (int i = 0; i < page->AnnotCount(); ++i) {
        const IG_Annot *annot = page->AnnotAt(i);
        if (annot && annot->IsVisible() && !WithinPage(annot->Boundary(), size))
            return false;
    }
    return true;
}

bool G_DocView::WithinPage(const CCA_GRect &boundary, const QSizeF &pageSize)
{
    CCA_GRect box = boundary;
    box.Normalize();
    return box.left >= 0 && box.top >= 0 && box.right <= pageSize.width() && box.bottom <= pageSize.height();
}

// Page millimetres of what the painter can still change on the page, widened by `pixels`.
CCA_GRect G_DocView::ExposedPageArea(QPainter *painter, int pageIndex, int pixels) const
{
    QRectF exposed = QRectF(PageRect(pageIndex)).intersected(QRectF(VisibleSceneRect()));
    if (painter->hasClipping())
        exposed = exposed.intersected(painter->clipBoundingRect());
    exposed.adjust(-pixels, -pixels, pixels, pixels);
    const QRectF mm = PageTransform(pageIndex).inverted().mapRect(exposed);
    return CCA_GRect(float(mm.left()), float(mm.top()), float(mm.right()), float(mm.bottom()));
}

G_ToolHandler *G_DocView::ActiveHandler()
{
    if (!m_currentHandler && G_ToolHandler::GlobalPrototype(QStringLiteral("t_handtool")))
        SetCurrentToolHandler(QStringLiteral("t_handtool"));
    return m_currentHandler;
}

void G_DocView::UpdateCurrentPage()
{
    const int page = CurrentPageIndex();
    if (page != m_currentPage) {
        m_currentPage = page;
        emit CurrentPageChanged(page);
    }
}

void G_DocView::DispatchMouse(QMouseEvent *event, int kind)
{
    event->accept();
    G_ToolHandler *handler = ActiveHandler();
    if (!handler)
        return;
    const CCA_Point point = ToScenePoint(mapToScene(event->pos()));
    const unsigned flags = MouseFlags(event->modifiers(), event->buttons());
    const Qt::MouseButton button = event->button();
    switch (kind) {
    case MousePress:
        if (button == Qt::LeftButton)
            handler->OnLButtonDown(flags, point);
        else if (button == Qt::MiddleButton)
            handler->OnMButtonDown(flags, point);
        else if (button == Qt::RightButton)
            handler->OnRButtonDown(flags, point);
        break;
    case MouseRelease:
        if (button == Qt::LeftButton)
            handler->OnLButtonUp(flags, point);
        else if (button == Qt::MiddleButton)
            handler->OnMButtonUp(flags, point);
        else if (button == Qt::RightButton)
            handler->OnRButtonUp(flags, point);
        break;
    case MouseDoubleClick:
        if (button == Qt::LeftButton)
            handler->OnLButtonDblClk(flags, point);
        else if (button == Qt::MiddleButton)
            handler->OnMButtonDblClk(flags, point);
        else if (button == Qt::RightButton)
            handler->OnRButtonDblClk(flags, point);
        break;
    default:
        handler->OnMouseMove(flags, point);
        break;
    }
}

void G_DocView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    DispatchMouse(event, MousePress);
}

void G_DocView::mouseReleaseEvent(QMouseEvent *event)
{
    DispatchMouse(event, MouseRelease);
}

void G_DocView::mouseDoubleClickEvent(QMouseEvent *event)
{
    DispatchMouse(event, MouseDoubleClick);
}

void G_DocView::mouseMoveEvent(QMouseEvent *event)
{
    DispatchMouse(event, MouseMove);
}

void G_DocView::wheelEvent(QWheelEvent *event)
{
    const QPoint position = event->position().toPoint();
    const int delta = event->angleDelta().y();
    if (G_ToolHandler *handler = ActiveHandler()) {
        const unsigned flags = MouseFlags(event->modifiers(), event->buttons());
        if (handler->OnWheel(flags, delta, ToScenePoint(mapToScene(position)))) {
            event->accept();
            return;
        }
    }
    if (event->modifiers() & Qt::ControlModifier) {
        event->accept();
        if (delta == 0)
            return;
        m_zoomMode = G_Zoom_Custom;
        ApplyZoom(float(m_zoom * std::pow(1.1, delta / 120.0)), position);
        return;
    }
    QGraphicsView::wheelEvent(event);
}

// Keys go to the tool first; what it leaves scrolls the view, unless an annotation is
// selected, whose arrow keys belong to the tool.
void G_DocView::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    // Back and forward through followed links, as browsers do, whatever the tool.
    if (event->modifiers() == Qt::AltModifier && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        if (key == Qt::Key_Left)
            m_history->GoBack();
        else
            m_history->GoForward();
        event->accept();
        return;
    }
    G_ToolHandler *handler = ActiveHandler();
    if ((event->modifiers() & Qt::ControlModifier) && !IsModifierKey(key)) {
        if (handler)
            handler->ShortCutActivated(key, event->modifiers());
        event->accept();
        return;
    }
    int handled = 0;
    if (handler)
        handled = handler->OnKeyDown(key, unsigned(std::max(1, event->count())), unsigned(event->modifiers()));
    if (handled) {
        event->accept();
        return;
    }
    auto *annotHandler = dynamic_cast<G_AnnotationHandler *>(handler);
    if (annotHandler && annotHandler->CurrentAnnot()) {
        event->accept();
        return;
    }
    switch (key) {
    case Qt::Key_Home:
        GoToPage(0);
        break;
    case Qt::Key_End:
        GoToPage(PageCount() - 1);
        break;
    default:
        QGraphicsView::keyPressEvent(event);
        break;
    }
}

void G_DocView::keyReleaseEvent(QKeyEvent *event)
{
    if (G_ToolHandler *handler = ActiveHandler())
        handler->OnKeyUp(event->key(), unsigned(std::max(1, event->count())), unsigned(event->modifiers()));
    QGraphicsView::keyReleaseEvent(event);
}

void G_DocView::enterEvent(QEvent *event)
{
    if (G_ToolHandler *handler = ActiveHandler()) {
        const QPoint position = viewport()->mapFromGlobal(QCursor::pos());
        handler->OnEnter(0, ToScenePoint(mapToScene(position)));
    }
    QGraphicsView::enterEvent(event);
}

void G_DocView::leaveEvent(QEvent *event)
{
    if (m_currentHandler) {
        const QPoint position = viewport()->mapFromGlobal(QCursor::pos());
        m_currentHandler->OnLeave(0, ToScenePoint(mapToScene(position)));
    }
    QGraphicsView::leaveEvent(event);
}

void G_DocView::focusInEvent(QFocusEvent *event)
{
    if (m_currentHandler)
        m_currentHandler->OnWinActiveEvent(true);
    QGraphicsView::focusInEvent(event);
}

void G_DocView::focusOutEvent(QFocusEvent *event)
{
    if (m_currentHandler)
        m_currentHandler->OnWinActiveEvent(false);
    QGraphicsView::focusOutEvent(event);
}

void G_DocView::drawBackground(QPainter *painter, const QRectF &rect)
{
    // Pages lie top to bottom (but for any stacked at the scene's end): only those from the
    // first reaching the rectangle, with its shadow three pixels lower, are looked at.
    const int count = m_pageRects.size();
    const int first = int(std::lower_bound(m_pageRects.cbegin(), m_pageRects.cend(), rect.top(),
                                           [](const QRect &r, double y) { return r.bottom() + 4 < y; })
                          - m_pageRects.cbegin());
    const auto beyond = [&](const QRect &page) { return !m_pagesStacked && page.top() > rect.bottom(); };

    const QColor background(0xd4, 0xd7, 0xdc);
    // On whole pixels each page exposed fills its rectangle opaque: the background is laid
    // beside the pages only, and only the strips of their shadows beside them show.
    const bool aligned = IsPixelAligned(painter->transform());
    const QRect whole = rect.toAlignedRect();
    if (aligned && QRectF(whole) == rect) {
        QRegion uncovered(whole);
        for (int i = first; i < count && !beyond(m_pageRects[i]); ++i)
            if (m_pageRects[i].intersects(whole))
                uncovered -= m_pageRects[i];
        for (const QRect &part : uncovered)
            painter->fillRect(part, background);
    } else {
        painter->fillRect(rect, background);
    }
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 50));
    for (int i = first; i < count && !beyond(m_pageRects[i]); ++i) {
        const QRect &page = m_pageRects[i];
        const QRect shadow = page.translated(3, 3);
        if (!rect.intersects(shadow))
            continue;
        if (!aligned) {
            painter->drawRect(shadow);
            continue;
        }
        // Blending a page-sized rectangle under the page costs as much as the page itself.
        for (const QRect &strip : QRegion(shadow).subtracted(QRegion(page)))
            painter->drawRect(strip);
    }
    painter->restore();
    if (auto *render = dynamic_cast<G_DocViewRender *>(m_currentHandler)) {
        painter->save();
        render->PaintSceneStart(painter);
        painter->restore();
    }
}

void G_DocView::drawForeground(QPainter *painter, const QRectF &)
{
    if (auto *render = dynamic_cast<G_DocViewRender *>(m_currentHandler)) {
        painter->save();
        render->PaintSceneEnd(painter);
        painter->restore();
    }
}

bool G_DocView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && IsToolShortcut(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (m_currentHandler && m_currentHandler->OnWinEvent(event))
        return true;
    return QGraphicsView::event(event);
}

// Tool tips name what is under the pointer, as far as the tool knows; the scene's items have none.
bool G_DocView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QGraphicsView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const auto *hand = dynamic_cast<GT_HandTool *>(m_currentHandler);
    QRect area;
    const QString text = hand ? hand->LinkToolTip(ToScenePoint(mapToScene(help->pos())), &area) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport(), mapFromScene(QRectF(area)).boundingRect());
    }
    return true;
}

void G_DocView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    if (m_zoomMode != G_Zoom_Custom)
        ApplyZoomMode();
    UpdateCurrentPage();
}

void G_DocView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    UpdateCurrentPage();
}
