#include "clipboard/gpi_linkannotpaste.h"

#include "tool/linkclipboardrecord.h"
#include "operations/interceptname.h"

#include "uiframework/g_docview.h"
#include "uiframework/g_operation.h"
#include "uiframework/gq_convert.h"

#include <QCursor>

namespace {

// Each paste at an unmoved cursor lands this far right of and below the previous one.
const float kCascadeStep = 3.0f;

} // namespace

bool GPI_LinkAnnotPaste::IsIntercept(G_Operation *operation)
{
    return IsInterceptName(operation, "d_annotlinkpaste");
}

bool GPI_LinkAnnotPaste::DoActionHandle(G_Operation *operation)
{
    if (!operation)
        return false;
    if (G_DocView *view = operation->DocView()) {
        const QPoint cursor = QCursor::pos();
        if (cursor != m_lastCursorPos) {
            const QPoint scene = view->ScenePointFromGlobalPoint(cursor);
            m_pageIndex = view->PageIndexByPoint(scene, true, false);
            CCA_GPoint point;
            if (m_pageIndex != -1) {
                point = view->DocPointFromScenePoint(GQ_ToCAPoint(scene), &m_pageIndex);
            } else {
                // Off the pages (over a toolbar, say): the middle of the current page.
                m_pageIndex = view->CurrentPageIndex();
                const QRect page = view->PageRect(m_pageIndex);
                const CCA_Point centre(page.x() + page.width() / 2, page.y() + page.height() / 2);
                point = view->DocPointFromScenePoint(centre, &m_pageIndex);
            }
            m_lastCursorPos = cursor;
            m_left = point.x;
            m_top = point.y;
            m_edgeFlag = false;
        } else if (m_edgeFlag) {
            // The last copy was pulled back onto the page: the next one lands on it again.
            m_edgeFlag = false;
        } else if (!IsNextOverPageEdge(view)) {
            m_left += kCascadeStep;
            m_top += kCascadeStep;
        }
        operation->Param().Add(QStringLiteral("pageindex"), m_pageIndex);
        operation->Param().Add(QStringLiteral("left"), m_left);
        operation->Param().Add(QStringLiteral("top"), m_top);
    }
    // The host must not run it a second time.
    operation->ExecuteAction();
    return false;
}

void GPI_LinkAnnotPaste::NotifyHandle(G_Operation *operation)
{
    if (!operation || operation->Status() == 0)
        return;
    m_edgeFlag = operation->Param().GetBool(QStringLiteral("iswelt"), false);
    if (m_edgeFlag)
        operation->Param().Add(QStringLiteral("iswelt"), false);
}

bool GPI_LinkAnnotPaste::IsNextOverPageEdge(const G_DocView *view) const
{
    const LinkClipboardRecord record = LinkClipboardRecord::FromClipboard();
    float w = 0, h = 0;
    if (!record.IsFromDocument(view->GDocument()) || !record.IsLink() || m_pageIndex < 0 || !record.Size(&w, &h))
        return false;
    int pageIndex = m_pageIndex;
    const CCA_GRect page = view->DocRectFromSceneRect(GQ_ToCARect(view->PageRect(pageIndex)), &pageIndex);
    return m_left + w + kCascadeStep >= page.right || m_top + h + kCascadeStep >= page.bottom;
}
