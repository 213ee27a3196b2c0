#include "gt_fullscreen.h"

#include "g_docview.h"

#include "omofdapi/ig_annot.h"

G_ToolHandler *GT_FullScreen::Clone() const
{
    return new GT_FullScreen;
}

CCA_String GT_FullScreen::Name() const
{
    return CCA_String("gt_fullscreen");
}

void GT_FullScreen::OnActivate()
{
    G_DocView *view = DocView();
    if (!view)
        return;
    QWidget *window = view->window();
    m_windowState = window->windowState();
    m_zoomMode = view->ZoomMode();
    m_zoom = view->GetZoom();
    m_active = true;
    const int page = view->CurrentPageIndex();
    window->showFullScreen();
    view->SetZoomMode(G_Zoom_FitPage);
    view->GoToPage(page);
    view->SetCursor(G_Cursor_Arrow);
}

void GT_FullScreen::OnDeactivate()
{
    G_DocView *view = DocView();
    if (!view || !m_active)
        return;
    m_active = false;
    m_pressed = false;
    const int page = view->CurrentPageIndex();
    view->window()->setWindowState(m_windowState);
    if (m_zoomMode == G_Zoom_Custom)
        view->SetZoom(m_zoom);
    else
        view->SetZoomMode(m_zoomMode);
    view->GoToPage(page);
}

int GT_FullScreen::OnLButtonDown(unsigned, const CCA_Point &point)
{
    m_pressed = true;
    PressLink(point);
    return 0;
}

int GT_FullScreen::OnLButtonUp(unsigned, const CCA_Point &point)
{
    if (!m_pressed)
        return 0;
    m_pressed = false;
    if (m_pressPage >= 0) {
        ReleaseLink(point);
        return 0;
    }
    Turn(1);
    return 0;
}

int GT_FullScreen::OnRButtonUp(unsigned, const CCA_Point &)
{
    Turn(-1);
    return 0;
}

int GT_FullScreen::OnMouseMove(unsigned, const CCA_Point &point)
{
    if (DocView())
        DocView()->SetCursor(LinkAt(point, nullptr) ? G_Cursor_PointingHand : G_Cursor_Arrow);
    return 0;
}

int GT_FullScreen::OnWheel(unsigned, int delta, const CCA_Point &)
{
    if (delta != 0)
        Turn(delta < 0 ? 1 : -1);
    return 1;
}

int GT_FullScreen::OnKeyDown(int key, unsigned, unsigned)
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    switch (key) {
    case Qt::Key_Escape:
        // Back to the hand tool, which ends full screen through OnDeactivate.
        if (!view->SetCurrentToolHandler(QStringLiteral("t_handtool")))
            OnDeactivate();
        return 1;
    case Qt::Key_PageDown:
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Turn(1);
        return 1;
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Up:
        Turn(-1);
        return 1;
    case Qt::Key_Home:
        view->GoToPage(0);
        return 1;
    case Qt::Key_End:
        view->GoToPage(view->PageCount() - 1);
        return 1;
    default:
        return 0;
    }
}

void GT_FullScreen::Turn(int pages)
{
    G_DocView *view = DocView();
    if (!view || view->PageCount() == 0)
        return;
    const int target = view->CurrentPageIndex() + pages;
    if (target >= 0 && target < view->PageCount())
        view->GoToPage(target);
}
