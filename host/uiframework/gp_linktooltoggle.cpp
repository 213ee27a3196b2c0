#include "gp_linktooltoggle.h"

#include "g_docview.h"
#include "g_runoperation.h"
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
    const std::optional<int> result =
        RunOperation(context, linkToolCurrent ? QStringLiteral("t_handtool") : QStringLiteral("ga_link"),
                     [view](G_Operation &next) { next.SetDocView(view); });
    return result.value_or(0) ? 1 : 0;
}
