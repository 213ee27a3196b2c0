#include "tool/ga_link.h"

#include "tool/linkannotmodifycommand.h"
#include "tool/linkclipboardrecord.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_contextmenu.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_operation.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"
#include "uiframework/gr_pagegraphicitem.h"

#include <QColor>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QHash>
#include <QPainter>
#include <QPointF>
#include <QRegion>
#include <QUndoStack>

#include <cmath>

namespace {

const QColor kLinkColor(20, 168, 240, 255);

// Outline layers reach this many scene pixels beyond their page, and stay below this size.
const int kOutlineLayerMargin = 2;
const qint64 kMaxOutlineLayerPixels = 12 * 1000 * 1000;

// New rectangles keep this distance (mm) from every page edge.
const float kPageMargin = 2.0f;

G_MenuItemState MenuItem(bool enabled)
{
    G_MenuItemState state;
    state.flags = G_MenuItemState::Visible | (enabled ? unsigned(G_MenuItemState::Enabled) : 0u);
    return state;
}

} // namespace

GA_Link::GA_Link()
{
    m_outlineLayers.setMaxCost(96 * 1024 * 1024);
}

GA_Link::~GA_Link() = default;

void GA_Link::PaintAfterPage(QPainter *painter, GR_PageGraphicItem *item)
{
    G_DocView *view = DocView();
    if (!view || !painter || !item || item->DocView() != view)
        return;

    // Aliased, a one-pixel line on whole scene pixels fills them with the link colour;
    // antialiased it would tint two pixels half and show the colour nowhere.
    if (m_creating) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(kLinkColor, 1, Qt::SolidLine));
        painter->setBrush(Qt::NoBrush);
        const QPoint first = GQ_ToQPoint(view->ScenePointFromDocPoint(m_start, m_pressPage));
        const QPoint second = GQ_ToQPoint(view->ScenePointFromDocPoint(m_end, m_pressPage));
        const QRectF band{QPointF(first), QPointF(second)};
        painter->drawRects(&band, 1);
        painter->restore();
    }

    const int pageIndex = item->PageIndex();
    IG_Page *page = pageIndex >= 0 && view->GDocument() ? view->GDocument()->GetPage(pageIndex) : nullptr;
    if (page)
        PaintOutlines(painter, pageIndex, page);

    // Handles would suggest a resize that rotated views do not offer.
    if (m_selected && CurrentAnnot() && view->GetRotate() == 0)
        DrawControlPoints(painter, GetCtrlPoints());
}

// The outlines are opaque and aliased, all in one colour, so a layer of them over
// transparency lands on exactly the pixels that drawing them one by one would fill.
void GA_Link::PaintOutlines(QPainter *painter, int pageIndex, IG_Page *page)
{
    G_DocView *view = DocView();
    const auto outline = [this, pageIndex](const IG_Annot *annot) { return Outline(annot->Boundary(), pageIndex); };
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(kLinkColor);
    painter->setBrush(Qt::NoBrush);

    const QTransform toDevice = painter->transform();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QRect area = view->PageRect(pageIndex).adjusted(-kOutlineLayerMargin, -kOutlineLayerMargin,
                                                          kOutlineLayerMargin, kOutlineLayerMargin);
    const bool layered = view->PageCacheEnabled() && toDevice.type() <= QTransform::TxTranslate
        && toDevice.dx() == std::floor(toDevice.dx()) && toDevice.dy() == std::floor(toDevice.dy())
        && qint64(area.width() * ratio) * qint64(area.height() * ratio) <= kMaxOutlineLayerPixels;
    const auto paintExposed = [&]() {
        CCA_ArrayTemplate<IG_Annot *> meeting;
        page->AnnotsInRect(meeting, view->ExposedPageArea(painter, pageIndex, 3));
        for (IG_Annot *annot : meeting)
            if (annot && annot->Type() == G_AnnotType_Link)
                painter->drawRect(outline(annot));
        painter->restore();
    };
    if (!layered) {
        paintExposed();
        return;
    }

    OutlineLayer *layer = m_outlineLayers.object(pageIndex);
    const uint64_t revision = page->AnnotsRevision();
    const QTransform pageToScene = view->PageTransform(pageIndex);
    if (layer && (layer->pageToScene != pageToScene || layer->area != area || layer->image.devicePixelRatio() != ratio
                  || (layer->revision != revision && !UpdateOutlineLayer(layer, pageIndex, page))))
        layer = nullptr;
    if (!layer) {
        layer = new OutlineLayer;
        layer->revision = revision;
        layer->ownRevision = page->AnnotsOwnRevision();
        layer->pageToScene = pageToScene;
        layer->area = area;
        layer->image = QImage((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        layer->image.setDevicePixelRatio(ratio);
        layer->image.fill(Qt::transparent);
        QPainter layerPainter(&layer->image);
        layerPainter.setRenderHint(QPainter::Antialiasing, false);
        layerPainter.setPen(kLinkColor);
        layerPainter.setBrush(Qt::NoBrush);
        layerPainter.translate(-area.topLeft());
        for (int i = 0; i < page->AnnotCount(); ++i) {
            IG_Annot *annot = page->AnnotAt(i);
            if (!annot || annot->Type() != G_AnnotType_Link)
                continue;
            const QRect r = outline(annot);
            // An aliased one-pixel pen fills the rectangle's right and bottom edges too.
            if (area.contains(r.adjusted(0, 0, 1, 1)))
                layerPainter.drawRect(r);
            else
                layer->outside.push_back(r);
        }
        layerPainter.end();
        // A layer the cache cannot hold is gone again: draw this frame afresh.
        if (!m_outlineLayers.insert(pageIndex, layer, int(layer->image.sizeInBytes()))) {
            paintExposed();
            return;
        }
    }
    painter->drawImage(area.topLeft(), layer->image);
    for (const QRect &r : layer->outside)
        painter->drawRect(r);
    painter->restore();
}

QRect GA_Link::Outline(const CCA_GRect &boundary, int pageIndex) const
{
    const CCA_Rect r = DocView()->SceneRectFromDocRect(boundary, pageIndex);
    return QRect(r.left - 1, r.top - 1, r.right - r.left + 2, r.bottom - r.top + 2);
}

// Outlines are drawn again only where the page's own changes were; false when the layer
// must be drawn whole.
bool GA_Link::UpdateOutlineLayer(OutlineLayer *layer, int pageIndex, IG_Page *page) const
{
    const uint64_t revision = page->AnnotsRevision();
    const uint64_t ownRevision = page->AnnotsOwnRevision();
    std::vector<CCA_GRect> areas;
    if (!layer->outside.empty() || !page->AnnotsChangedOnlyIn(layer->revision, layer->ownRevision, areas))
        return false;
    QRegion region;
    for (const CCA_GRect &area : areas)
        region += Outline(area, pageIndex).adjusted(-1, -1, 2, 2); // the pen fills right and bottom edges too
    if (!region.isEmpty()) {
        // Every link whose outline can reach into the region.
        const QRectF mm = DocView()->PageTransform(pageIndex).inverted().mapRect(
            QRectF(region.boundingRect()).adjusted(-2, -2, 2, 2));
        CCA_ArrayTemplate<IG_Annot *> meeting;
        page->AnnotsInRect(meeting, CCA_GRect(float(mm.left()), float(mm.top()), float(mm.right()), float(mm.bottom())));
        QPainter layerPainter(&layer->image);
        layerPainter.translate(-layer->area.topLeft());
        layerPainter.setClipRegion(region);
        layerPainter.setCompositionMode(QPainter::CompositionMode_Source);
        layerPainter.fillRect(region.boundingRect(), Qt::transparent);
        layerPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        layerPainter.setRenderHint(QPainter::Antialiasing, false);
        layerPainter.setPen(kLinkColor);
        layerPainter.setBrush(Qt::NoBrush);
        for (IG_Annot *annot : meeting) {
            if (!annot || annot->Type() != G_AnnotType_Link)
                continue;
            const QRect r = Outline(annot->Boundary(), pageIndex);
            if (!layer->area.contains(r.adjusted(0, 0, 1, 1)))
                return false;
            layerPainter.drawRect(r);
        }
    }
    layer->revision = revision;
    layer->ownRevision = ownRevision;
    return true;
}

G_ToolHandler *GA_Link::Clone() const
{
    return new GA_Link();
}

CCA_String GA_Link::Name() const
{
    return CCA_String("ga_link");
}

void GA_Link::OnActivate()
{
    if (G_DocView *view = DocView())
        view->SetCursor(G_Cursor_Cross);
}

void GA_Link::CancelCreation()
{
    m_creating = false;
    m_start = m_end = m_second = CCA_GPoint();
    m_pressPage = -1;
}

int GA_Link::OnLButtonDown(unsigned flags, const CCA_Point &point)
{
    G_DocView *view = DocView();
    IG_Annot *hit = nullptr;
    // The press takes annotations of every subtype; the other handlers only links.
    IG_Page *page = AnnotUnder(point, "", hit);
    if (!page)
        return 0;

    if (hit) {
        CancelCreation();
        if (IsSelectable(hit)) {
            SetCurrentAnnot(hit);
            m_before = LinkGeometryState::FromAnnot(hit);
            GA_Common::OnSelected();
            GA_Common::OnLButtonDown(flags, point);
            if (view->GetRotate() != 0 && m_dragMode == DragResize)
                m_dragMode = DragMove;
            m_selected = true;
        }
        return 0;
    }

    const QRect pageRect = PageRectMM(page->PageIndex());
    m_start = view->DocPointFromScenePoint(point, &m_pressPage);
    if (kPageMargin <= m_start.x && kPageMargin <= m_start.y
        && m_start.x <= pageRect.width() - kPageMargin && m_start.y <= pageRect.height() - kPageMargin) {
        m_creating = true;
        m_end = m_start;
        m_selected = false;
        SetCurrentAnnot(nullptr);
    } else {
        CancelCreation();
        m_selected = false;
    }
    return 0;
}

int GA_Link::OnMouseMove(unsigned flags, const CCA_Point &point)
{
    IG_Annot *hit = nullptr;
    IG_Page *page = AnnotUnder(point, "Link", hit);
    if (!page)
        return 0;
    G_DocView *view = DocView();
    if (hit && !(m_selected && hit == CurrentAnnot()))
        view->SetCursor(G_Cursor_Move);
    else if (!hit && m_dragMode == DragNone)
        view->SetCursor(G_Cursor_Cross);

    if (m_selected) {
        GA_Common::OnMouseMove(flags, point);
        return 0;
    }

    if (m_pressPage >= 0 && page->PageIndex() == m_pressPage) {
        if (view->VisibleSceneRect().contains(GQ_ToQPoint(point), false))
            m_end = view->DocPointFromScenePointByPageIndex(point, m_pressPage);
        m_end = ClampToPage(m_end, m_pressPage);
        if (m_creating)
            view->Refresh();
    }
    return 0;
}

int GA_Link::OnLButtonUp(unsigned flags, const CCA_Point &point)
{
    G_DocView *view = DocView();
    if (!view)
        return 0;

    if (m_selected) {
        RecordResize();
        GA_Common::OnLButtonUp(flags, point);
        view->Refresh();
        return 0;
    }

    if (!m_creating)
        return 0;
    m_creating = false;

    const int pageIndex = view->PageIndexByPoint(GQ_ToQPoint(point), true, false);
    if (pageIndex >= 0 && pageIndex == m_pressPage
        && view->VisibleSceneRect().contains(GQ_ToQPoint(point), false)) {
        int docPage = -1;
        m_end = ClampToPage(view->DocPointFromScenePoint(point, &docPage), m_pressPage);
    }
    // Off the page the corner of the last move stands.
    m_second = m_end;

    const QPointF start(m_start.x, m_start.y);
    const QPointF second(m_second.x, m_second.y);
    if ((start == QPointF(0, 0) && second == QPointF(0, 0)) || start == second) {
        view->Refresh();
        return 0;
    }

    RunPropertyOperation(false, nullptr);
    view->Refresh();
    SetCurrentAnnot(nullptr);
    return 0;
}

int GA_Link::OnLButtonDblClk(unsigned /*flags*/, const CCA_Point &point)
{
    IG_Annot *hit = SelectableLinkAt(point);
    if (!hit)
        return 0;
    SetCurrentAnnot(hit);
    RunPropertyOperation(true, hit);
    return 0;
}

int GA_Link::OnRButtonUp(unsigned /*flags*/, const CCA_Point &point)
{
    G_DocView *view = DocView();
    G_UIContext *context = UIContext();
    IG_Annot *hit = context ? SelectableLinkAt(point) : nullptr;
    if (!hit)
        return 0;
    SetCurrentAnnot(hit);
    GA_Common::OnSelected();
    view->Refresh();

    auto *param = new G_OperationParam;
    param->Add("pageIndex", hit->Page() ? hit->Page()->PageIndex() : 0);
    param->Add("annotID", int(hit->ID()));
    param->Add("ispoint", true);
    param->Add("capoint", point);
    param->Add("edit", true);
    qDebug() << "GA_Link::OnRButtonUp" << point.x << point.y;

    // Paste is offered only for a link record copied from this very document.
    const bool pasteable = LinkClipboardRecord::FromClipboard().IsFromDocument(view->GDocument());
    const bool writable = !hit->IsReadOnly();
    QHash<QString, G_MenuItemState> states;
    states.insert("d_annotlinkcopy", MenuItem(true));
    states.insert("d_annotlinkproperty", MenuItem(true));
    states.insert("d_annotlinkpaste", MenuItem(pasteable));
    states.insert("d_annotlinkcut", MenuItem(writable));
    states.insert("d_annotlinkdel", MenuItem(writable));

    if (G_ContextMenu *menu = context->ContextMenu())
        menu->PopupMenu("annotlinkmenu", states, param);
    else
        delete param;
    return 0;
}

int GA_Link::OnKeyDown(int key, unsigned /*repeatCount*/, unsigned /*modifiers*/)
{
    if (key == Qt::Key_Escape) {
        RunOperation(UIContext(), "tt_link");
        return 1;
    }
    IG_Annot *annot = CurrentAnnot();
    if (!annot)
        return 1;
    if (annot->IsReadOnly())
        return 0;

    G_DocView *view = DocView();
    switch (key) {
    case Qt::Key_Delete: {
        const int pageIndex = annot->Page() ? annot->Page()->PageIndex() : 0;
        const QString pageAndAnnotID = QString("%1:%2").arg(pageIndex).arg(annot->ID());
        RunOperation(UIContext(), "d_delannot",
                     [&](G_Operation &operation) { operation.Param().Add("pageAndAnnotID", pageAndAnnotID); });
        m_dragMode = DragNone;
        if (view) {
            view->SetCursor(m_cursorId);
            if (G_UIContext *context = UIContext())
                context->FireEvent(new G_DocumentChangedEvent(view, G_Event_DocumentChanged, 0));
        }
        break;
    }
    case Qt::Key_Left:
        DoMove(-1, 0);
        break;
    case Qt::Key_Up:
        DoMove(0, -1);
        break;
    case Qt::Key_Right:
        DoMove(1, 0);
        break;
    case Qt::Key_Down:
        DoMove(0, 1);
        break;
    default:
        break;
    }
    return 0;
}

int GA_Link::ShortCutActivated(int key, Qt::KeyboardModifiers modifiers)
{
    IG_Annot *annot = CurrentAnnot();
    const int unhandled = annot ? 1 : 0;
    if (modifiers != Qt::ControlModifier)
        return unhandled;
    G_DocView *view = DocView();

    auto fillLink = [annot, view](G_Operation &operation) {
        G_OperationParam &param = operation.Param();
        const int pageIndex = annot->Page() ? annot->Page()->PageIndex() : 0;
        const CCA_Rect scene = view->SceneRectFromDocRect(annot->Boundary(), pageIndex);
        param.Add("pageIndex", pageIndex);
        param.Add("annotID", int(annot->ID()));
        param.Add("ispoint", true);
        param.Add("capoint", CCA_Point(scene.left + 5, scene.top + 5));
    };
    switch (key) {
    case Qt::Key_C:
        if (!annot || !view)
            return unhandled;
        RunOperation(UIContext(), "d_annotlinkcopy", fillLink);
        return 1;
    case Qt::Key_X:
        if (!annot || !view || annot->IsReadOnly())
            return 0;
        RunOperation(UIContext(), "d_annotlinkcut", fillLink);
        return 1;
    case Qt::Key_V: {
        if (!view)
            return unhandled;
        const QPoint point = PastePoint();
        if (annot)
            qDebug() << "GA_Link::ShortCutActivated" << " 2 " << point;
        RunOperation(UIContext(), "d_annotlinkpaste", [&point](G_Operation &operation) {
            G_OperationParam &param = operation.Param();
            param.Add("pageindex", -1);
            param.Add("ispoint", true);
            param.Add("capoint", GQ_ToCAPoint(point));
        });
        return unhandled;
    }
    default:
        return unhandled;
    }
}

QPoint GA_Link::PastePoint() const
{
    G_DocView *view = DocView();
    const QPoint mouse = view->ScenePointFromGlobalPoint(QCursor::pos());
    if (view->PageIndexByPoint(mouse, true, false) != -1)
        return mouse;
    const QRect visible = GQ_ToQRect(view->SceneRectFromDocRect(view->CurrentPageVisibleRectMM(),
                                                                view->CurrentPageIndex()));
    return QPoint(visible.x() + visible.width() / 2, visible.y() + visible.height() / 2);
}

IG_Page *GA_Link::AnnotUnder(const CCA_Point &point, const char *subTypeFilter, IG_Annot *&top) const
{
    top = nullptr;
    G_DocView *view = DocView();
    IG_Document *document = view ? view->GDocument() : nullptr;
    if (!document)
        return nullptr;
    const int pageIndex = view->PageIndexByPoint(GQ_ToQPoint(point), true, false);
    if (pageIndex < 0)
        return nullptr;
    IG_Page *page = document->GetPage(pageIndex);
    if (!page)
        return nullptr;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    int docPage = -1;
    const CCA_GPoint docPoint = view->DocPointFromScenePoint(point, &docPage);
    CCA_ArrayTemplate<IG_Annot *> hits;
    page->AnnotsAtPoint(hits, docPoint, 2.0f, view->GetZoom() / 100, 1, CCA_String(subTypeFilter),
                        OMSharedPtr<const OMJson>());
    if (!hits.IsEmpty())
        top = hits[hits.GetUpperBound()];
    return page;
}

IG_Annot *GA_Link::SelectableLinkAt(const CCA_Point &point) const
{
    IG_Annot *hit = nullptr;
    AnnotUnder(point, "Link", hit);
    return IsSelectable(hit) ? hit : nullptr;
}

bool GA_Link::IsSelectable(const IG_Annot *annot)
{
    IG_Appearance *appearance = annot ? annot->Appearance() : nullptr;
    IG_PageObject *object = appearance ? appearance->PageObject(0) : nullptr;
    return object && object->Type() != G_PageObj_Text;
}

QRect GA_Link::PageRectMM(int pageIndex) const
{
    G_DocView *view = DocView();
    int index = pageIndex;
    const CCA_GRect rect = view->DocRectFromSceneRect(GQ_ToCARect(view->PageRect(pageIndex)), &index);
    return QRect(QPoint(int(rect.left), int(rect.top)), QPoint(int(rect.right), int(rect.bottom)));
}

CCA_GPoint GA_Link::ClampToPage(CCA_GPoint point, int pageIndex) const
{
    const QRect pageRect = PageRectMM(pageIndex);
    if (point.x < kPageMargin)
        point.x = kPageMargin;
    if (point.y < kPageMargin)
        point.y = kPageMargin;
    if (point.x > pageRect.width() - kPageMargin)
        point.x = pageRect.width() - kPageMargin;
    if (point.y > pageRect.height() - kPageMargin)
        point.y = pageRect.height() - kPageMargin;
    return point;
}

void GA_Link::RecordResize()
{
    G_DocView *view = DocView();
    IG_Annot *annot = CurrentAnnot();
    if (!annot)
        return;
    const CCA_GRect now = annot->Boundary();
    const CCA_GRect pressed = m_pressRect;
    const float sx = (now.right - now.left) / (pressed.right - pressed.left);
    const float sy = (now.bottom - now.top) / (pressed.bottom - pressed.top);

    view->CreateUndoStack();
    QUndoStack *stack = view->UndoStack();
    if (!stack)
        return;
    const QString date = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
    // Plain moves are the base class's business and stay out of the history.
    if (m_dragMode != DragResize || (sx == 0 && sy == 0))
        return;

    annot->SetLastModDate(GQ_ToCAS(date));
    m_after = LinkGeometryState::FromAnnot(annot);
    stack->push(new LinkAnnotModifyCommand(view->UIContext(), int(annot->ID()), m_before, m_after));
    if (G_UIContext *context = UIContext())
        context->FireEvent(new G_AnnotationEvent(view->GDocument(), annot, G_Event_Annotation));
}

void GA_Link::RunPropertyOperation(bool edit, IG_Annot *annot)
{
    RunOperation(UIContext(), "d_annotlinkproperty", [this, edit, annot](G_Operation &operation) {
        G_OperationParam &param = operation.Param();
        if (edit) {
            param.Add("pageIndex", annot->Page() ? annot->Page()->PageIndex() : 0);
            param.Add("annotID", int(annot->ID()));
            param.Add("edit", true);
        } else {
            param.Add("pressIndex", m_pressPage);
            param.Add("first", m_start);
            param.Add("second", m_second);
            param.Add("edit", false);
        }
    });
}
