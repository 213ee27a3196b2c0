#include "operations/gp_addlink.h"

#include "uiframework/g_docview.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_uicontext.h"

#include <algorithm>

G_Operation *GP_AddLink::Clone() const
{
    GP_AddLink *copy = new GP_AddLink;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_AddLink::Name() const
{
    return "d_addlink";
}

int GP_AddLink::AuthorityType() const
{
    return 2;
}

int GP_AddLink::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    const QList<G_HighLightItem> items = view->SelectHighLightText();
    if (items.isEmpty())
        return 0;

    // The last item decides the page, and the last item with rectangles the area: a link
    // lies on one page.
    int pageIndex = 0;
    G_HighLightItem::Rect area;
    for (const G_HighLightItem &item : items) {
        pageIndex = item.pageIndex;
        if (item.rects.isEmpty())
            continue;
        area = item.rects.first();
        for (const G_HighLightItem::Rect &rect : item.rects) {
            area.left = std::min(area.left, rect.left);
            area.top = std::min(area.top, rect.top);
            area.right = std::max(area.right, rect.right);
            area.bottom = std::max(area.bottom, rect.bottom);
        }
    }

    RunOperation(UIContext(), QStringLiteral("d_annotlinkproperty"), [&](G_Operation &property) {
        property.Param().Add(QStringLiteral("pressIndex"), pageIndex);
        property.Param().Add(QStringLiteral("first"), CCA_GPoint(area.left, area.top));
        property.Param().Add(QStringLiteral("second"), CCA_GPoint(area.right, area.bottom));
        property.Param().Add(QStringLiteral("edit"), false);
    });
    return 1;
}
