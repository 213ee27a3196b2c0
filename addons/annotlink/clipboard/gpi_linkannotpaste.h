#pragma once

#include "uiframework/g_operationinterceptor.h"

#include <QPoint>

class G_DocView;

// Proposes where "d_annotlinkpaste" puts the link: at the cursor, cascading while the
// cursor stays. One instance serves every view.
class GPI_LinkAnnotPaste : public G_OperationInterceptor
{
public:
    bool IsIntercept(G_Operation *operation) override;
    bool DoActionHandle(G_Operation *operation) override;
    void NotifyHandle(G_Operation *operation) override;

    QPoint LastCursorPos() const { return m_lastCursorPos; }
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    bool EdgeFlag() const { return m_edgeFlag; }
    int PageIndex() const { return m_pageIndex; }

private:
    // Whether the next copy, one cascade step on, would reach the page's right or bottom edge.
    bool IsNextOverPageEdge(const G_DocView *view) const;

    QPoint m_lastCursorPos = QPoint(-1, -1);
    float m_left = 0;
    float m_top = 0;
    bool m_edgeFlag = false;
    int m_pageIndex = -1;
};
