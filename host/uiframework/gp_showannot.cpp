#include "gp_showannot.h"

#include "g_docview.h"

G_Operation *GP_ShowAnnot::Clone() const
{
    auto *copy = new GP_ShowAnnot;
    copy->CopyFrom(*this);
    return copy;
}

int GP_ShowAnnot::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    view->SetAnnotsVisible(Param().GetBool(QStringLiteral("isVisible"), true));
    return 1;
}
