#include "g_viewhistory.h"

#include "g_docview.h"

#include <QScrollBar>

namespace {

const int kMaxPlaces = 100;

} // namespace

G_ViewHistory::G_ViewHistory(G_DocView *view) : QObject(view), m_view(view) {}

void G_ViewHistory::Record()
{
    const Position here = Current();
    if (here.pageIndex < 0)
        return;
    m_back.append(here);
    if (m_back.size() > kMaxPlaces)
        m_back.removeFirst();
    m_forward.clear();
    emit Changed();
}

void G_ViewHistory::GoBack()
{
    if (m_back.isEmpty())
        return;
    m_forward.append(Current());
    Show(m_back.takeLast());
    emit Changed();
}

void G_ViewHistory::GoForward()
{
    if (m_forward.isEmpty())
        return;
    m_back.append(Current());
    Show(m_forward.takeLast());
    emit Changed();
}

void G_ViewHistory::Clear()
{
    m_back.clear();
    m_forward.clear();
    emit Changed();
}

G_ViewHistory::Position G_ViewHistory::Current() const
{
    Position position;
    const QPoint corner(m_view->horizontalScrollBar()->value(), m_view->verticalScrollBar()->value());
    position.pageIndex = m_view->PageIndexByPoint(corner, true, true);
    if (position.pageIndex >= 0)
        position.docPoint = m_view->PageTransform(position.pageIndex).inverted().map(QPointF(corner));
    position.zoom = m_view->GetZoom();
    position.zoomMode = m_view->ZoomMode();
    return position;
}

void G_ViewHistory::Show(const Position &position)
{
    if (position.pageIndex < 0 || position.pageIndex >= m_view->PageCount())
        return;
    if (position.zoomMode != G_Zoom_Custom)
        m_view->SetZoomMode(position.zoomMode);
    else
        m_view->SetZoom(position.zoom);
    const QPointF corner = m_view->PageTransform(position.pageIndex).map(position.docPoint);
    m_view->ScrollToScenePoint(corner.toPoint());
}
