#include "gt_handtool.h"

#include "g_docview.h"
#include "g_operation.h"
#include "g_runoperation.h"
#include "g_uicontext.h"
#include "gq_convert.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "omofdapi/ig_pageobject.h"

#include <QCoreApplication>
#include <QScrollBar>

#include <cmath>
#include <limits>

namespace {

const int kClickSlop = 4;           // pixels a click may wander before it is a drag
const float kLinkTolerance = 2.0f;  // pixels around a link that still hit it
const qreal kGlyphSlop = 0.3;       // millimetres around a glyph that still hit it

// A link's actions ride on the first object of its appearance.
const G_Action *FirstAction(IG_Annot *link)
{
    IG_Appearance *appearance = link->Appearance();
    IG_PageObject *object = appearance ? appearance->PageObject(0) : nullptr;
    if (!object)
        return nullptr;
    const CCA_ArrayTemplate<G_Action *> actions = object->Actions();
    return actions.IsEmpty() ? nullptr : actions[0];
}

QString FileNameOf(const CCA_String &path)
{
    const QString text = GQ_ToQStringFromUtf8(path);
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

QString DescribeAction(const G_Action *action, IG_Document *document)
{
    if (!action || !document)
        return QString();
    if (const auto *jump = dynamic_cast<const G_ActionGoto *>(action)) {
        int page = jump->Dest().pageIndex;
        if (page < 0 || page >= document->PageCount())
            page = document->PageIndexByID(jump->Dest().pageID);
        return page >= 0 ? QCoreApplication::translate("GT_HandTool", "Page %1").arg(page + 1) : QString();
    }
    if (const auto *uri = dynamic_cast<const G_ActionURI *>(action))
        return GQ_ToQStringFromUtf8(uri->URI());
    if (const auto *attachment = dynamic_cast<const G_ActionGotoA *>(action)) {
        G_AttachmentInfo info;
        const int index = document->AttachmentIndexByID(attachment->AttachID());
        if (index < 0 || !document->AttachmentInfo(index, info))
            return QString();
        QString name = GQ_ToQStringFromUtf8(info.name);
        if (!info.format.IsEmpty())
            name += QLatin1Char('.') + GQ_ToQStringFromUtf8(info.format);
        return name;
    }
    uint32_t resourceID = 0;
    if (const auto *sound = dynamic_cast<const G_ActionSound *>(action))
        resourceID = sound->ResourceID();
    else if (const auto *movie = dynamic_cast<const G_ActionMovie *>(action))
        resourceID = movie->ResourceID();
    G_MultiMediaInfo info;
    if (resourceID == 0 || !document->MultiMediaInfo(resourceID, info))
        return QString();
    return FileNameOf(info.filePath);
}

} // namespace

G_ToolHandler *GT_HandTool::Clone() const
{
    return new GT_HandTool;
}

CCA_String GT_HandTool::Name() const
{
    return CCA_String("t_handtool");
}

void GT_HandTool::OnActivate()
{
    m_drag = DragNone;
    if (DocView())
        DocView()->SetCursor(G_Cursor_OpenHand);
}

void GT_HandTool::OnDeactivate()
{
    m_drag = DragNone;
    m_glyphPage = nullptr;
    m_glyphs.clear();
}

IG_Annot *GT_HandTool::LinkAt(const CCA_Point &point, int *pageIndex) const
{
    G_DocView *view = DocView();
    if (!view)
        return nullptr;
    const int index = view->PageIndexByPoint(QPoint(point.x, point.y), false, false);
    IG_Page *page = view->Page(index);
    if (!page || !view->AnnotsVisible())
        return nullptr;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    CCA_ArrayTemplate<IG_Annot *> hits;
    const CCA_GPoint doc = view->DocPointFromScenePointByPageIndex(point, index);
    page->AnnotsAtPoint(hits, doc, kLinkTolerance, view->GetZoom() / 100.0f, 1, CCA_String("Link"),
                        OMSharedPtr<const OMJson>());
    if (hits.IsEmpty())
        return nullptr;
    if (pageIndex)
        *pageIndex = index;
    return hits[hits.GetUpperBound()];
}

QString GT_HandTool::LinkToolTip(const CCA_Point &point, QRect *sceneArea) const
{
    G_DocView *view = DocView();
    int page = -1;
    IG_Annot *link = LinkAt(point, &page);
    if (!view || !link)
        return QString();
    const QString text = DescribeAction(FirstAction(link), view->GDocument());
    if (!text.isEmpty() && sceneArea)
        *sceneArea = GQ_ToQRect(view->SceneRectFromDocRect(link->Boundary(), page));
    return text;
}

void GT_HandTool::RunLinkAction(int pageIndex, IG_Annot *link)
{
    G_UIContext *context = UIContext();
    if (!context || !link)
        return;
    RunOperation(context, QStringLiteral("d_linkaction"), [&](G_Operation &operation) {
        operation.SetDocView(DocView());
        operation.Param().Add(QStringLiteral("pageIndex"), pageIndex);
        operation.Param().Add(QStringLiteral("annotID"), int(link->ID()));
    });
}

IG_Annot *GT_HandTool::PressLink(const CCA_Point &point)
{
    int page = -1;
    IG_Annot *link = LinkAt(point, &page);
    m_pressPage = link ? page : -1;
    m_pressLinkID = link ? link->ID() : 0;
    return link;
}

void GT_HandTool::ReleaseLink(const CCA_Point &point)
{
    int page = -1;
    IG_Annot *link = LinkAt(point, &page);
    if (link && page == m_pressPage && link->ID() == m_pressLinkID)
        RunLinkAction(page, link);
}

int GT_HandTool::OnLButtonDown(unsigned, const CCA_Point &point)
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    m_moved = false;
    m_pressViewport = view->mapFromScene(QPointF(point.x, point.y));
    m_pressScroll = QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    if (PressLink(point)) {
        m_drag = DragLink;
        return 0;
    }
    const int page = view->PageIndexByPoint(QPoint(point.x, point.y), false, false);
    const int glyph = page >= 0 ? GlyphAt(page, view->DocPointFromScenePointByPageIndex(point, page)) : -1;
    if (glyph >= 0) {
        m_drag = DragSelect;
        m_pressPage = page;
        m_anchorGlyph = glyph;
        view->SetSelectHighLightText({});
        view->SetCursor(G_Cursor_IBeam);
        return 0;
    }
    if (!view->SelectHighLightText().isEmpty())
        view->SetSelectHighLightText({});
    m_drag = DragPan;
    view->SetCursor(G_Cursor_ClosedHand);
    return 0;
}

int GT_HandTool::OnMouseMove(unsigned, const CCA_Point &point)
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    const QPoint viewportPoint = view->mapFromScene(QPointF(point.x, point.y));
    if (m_drag != DragNone && (viewportPoint - m_pressViewport).manhattanLength() > kClickSlop)
        m_moved = true;
    switch (m_drag) {
    case DragLink:
        // A link pressed and dragged away scrolls like the page around it.
        if (m_moved) {
            m_drag = DragPan;
            view->SetCursor(G_Cursor_ClosedHand);
            Pan(point);
        }
        break;
    case DragPan:
        Pan(point);
        break;
    case DragSelect:
        if (m_moved) {
            const int focus = NearestGlyph(view->DocPointFromScenePointByPageIndex(point, m_pressPage));
            if (focus >= 0)
                SelectGlyphs(m_anchorGlyph, focus);
        }
        break;
    default:
        UpdateHoverCursor(point);
        break;
    }
    return 0;
}

int GT_HandTool::OnLButtonUp(unsigned, const CCA_Point &point)
{
    G_DocView *view = DocView();
    const int drag = m_drag;
    m_drag = DragNone;
    if (!view)
        return 0;
    if (drag == DragLink && !m_moved) {
        ReleaseLink(point);
    } else if (drag == DragSelect && m_moved) {
        const int focus = NearestGlyph(view->DocPointFromScenePointByPageIndex(point, m_pressPage));
        if (focus >= 0)
            SelectGlyphs(m_anchorGlyph, focus);
    }
    m_anchorGlyph = -1;
    UpdateHoverCursor(point);
    return 0;
}

const QVector<G_PageGlyph> &GT_HandTool::Glyphs(int pageIndex)
{
    IG_Page *page = DocView() ? DocView()->Page(pageIndex) : nullptr;
    const int objects = page ? page->PageObjectCount() : -1;
    if (page != m_glyphPage || pageIndex != m_glyphPageIndex || objects != m_glyphObjectCount) {
        m_glyphs = G_TextLayout::PageGlyphs(page);
        m_glyphPage = page;
        m_glyphPageIndex = pageIndex;
        m_glyphObjectCount = page ? page->PageObjectCount() : -1;
    }
    return m_glyphs;
}

int GT_HandTool::GlyphAt(int pageIndex, const CCA_GPoint &point)
{
    const QVector<G_PageGlyph> &glyphs = Glyphs(pageIndex);
    const QPointF at(point.x, point.y);
    for (int i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].box.adjusted(-kGlyphSlop, -kGlyphSlop, kGlyphSlop, kGlyphSlop).contains(at))
            return i;
    }
    return -1;
}

int GT_HandTool::NearestGlyph(const CCA_GPoint &point) const
{
    int best = -1;
    qreal bestDistance = std::numeric_limits<qreal>::max();
    for (int i = 0; i < m_glyphs.size(); ++i) {
        const QRectF &box = m_glyphs[i].box;
        const qreal dx = std::max({box.left() - point.x, qreal(0), point.x - box.right()});
        const qreal dy = std::max({box.top() - point.y, qreal(0), point.y - box.bottom()});
        const qreal distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// One rectangle per line, the union of the line's selected glyphs.
void GT_HandTool::SelectGlyphs(int from, int to)
{
    G_DocView *view = DocView();
    if (!view || from < 0 || to < 0 || from >= m_glyphs.size() || to >= m_glyphs.size())
        return;
    if (from > to)
        std::swap(from, to);
    G_HighLightItem item;
    item.pageIndex = m_glyphPageIndex;
    QRectF line;
    int lineIndex = m_glyphs[from].line;
    auto flush = [&]() {
        G_HighLightItem::Rect rect;
        rect.left = float(line.left());
        rect.top = float(line.top());
        rect.right = float(line.right());
        rect.bottom = float(line.bottom());
        item.rects << rect;
    };
    for (int i = from; i <= to; ++i) {
        const G_PageGlyph &glyph = m_glyphs[i];
        if (glyph.line != lineIndex) {
            flush();
            item.text += QLatin1Char('\n');
            line = QRectF();
            lineIndex = glyph.line;
        }
        line = line.isNull() ? glyph.box : line.united(glyph.box);
        item.text += glyph.text;
    }
    flush();
    view->SetSelectHighLightText({item});
}

void GT_HandTool::Pan(const CCA_Point &point)
{
    G_DocView *view = DocView();
    const QPoint now = view->mapFromScene(QPointF(point.x, point.y));
    const QPoint delta = now - m_pressViewport;
    // The scene point moves with the scroll; keep the press in viewport terms.
    view->horizontalScrollBar()->setValue(m_pressScroll.x() - delta.x());
    view->verticalScrollBar()->setValue(m_pressScroll.y() - delta.y());
    m_pressViewport = now;
    m_pressScroll = QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
}

void GT_HandTool::UpdateHoverCursor(const CCA_Point &point)
{
    G_DocView *view = DocView();
    if (!view)
        return;
    if (LinkAt(point, nullptr)) {
        view->SetCursor(G_Cursor_PointingHand);
        return;
    }
    const int page = view->PageIndexByPoint(QPoint(point.x, point.y), false, false);
    if (page >= 0 && GlyphAt(page, view->DocPointFromScenePointByPageIndex(point, page)) >= 0)
        view->SetCursor(G_Cursor_IBeam);
    else
        view->SetCursor(G_Cursor_OpenHand);
}
