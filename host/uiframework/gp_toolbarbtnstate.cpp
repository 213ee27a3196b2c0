#include "gp_toolbarbtnstate.h"

#include "g_uicontext.h"

G_Operation *GP_ToolbarBtnState::Clone() const
{
    auto *copy = new GP_ToolbarBtnState;
    copy->CopyFrom(*this);
    return copy;
}

int GP_ToolbarBtnState::DoAction()
{
    G_UIContext *context = UIContext();
    const QString name = Param().GetQString(QStringLiteral("btnName"));
    if (!context || name.isEmpty())
        return 0;
    context->SetToolbarButtonState(name, Param().GetBool(QStringLiteral("checked")));
    return 1;
}
