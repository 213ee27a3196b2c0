#include "gp_linktooltoggle.h"

#include "g_docview.h"
#include "g_toolhandler.h"
#include "g_uicontext.h"

G_Operation *GP_LinkToolToggle::Clone() const
{
    auto *copy = new GP_LinkToolToggle;
    copy->CopyFrom(*this);
    return copy;
}

int GP_LinkToolToggle::DoAction()
{
    G_DocView *view = DocView();
    G_UIContext *context = UIContext();
    if (!view || !context)
        return 0;
    const G_ToolHandler *current = view->CurrentToolHandler();
    const bool linkToolCurrent = current && current->Name() == "ga_link";
    G_Operation *next = context->CreateOperationByName(
        linkToolCurrent ? QStringLiteral("t_handtool") : QStringLiteral("ga_link"), QString());
    if (!next)
        return 0;
    next->SetDocView(view);
    const int result = next->PerformAction();
    next->DeleteLater();
    return result ? 1 : 0;
}
