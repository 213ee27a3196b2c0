#include "operations/gp_linkchangehandler.h"

#include "uiframework/g_docview.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_uicontext.h"

GP_LinkChangeHandler::GP_LinkChangeHandler()
{
    Param().Add(QStringLiteral("name"), QStringLiteral("ga_link"));
}

G_Operation *GP_LinkChangeHandler::Clone() const
{
    GP_LinkChangeHandler *copy = new GP_LinkChangeHandler;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkChangeHandler::Name() const
{
    return "ga_link";
}

int GP_LinkChangeHandler::AuthorityType() const
{
    return 1;
}

int GP_LinkChangeHandler::DoAction()
{
    G_DocView *view = DocView();
    if (!view || Param().GetBool(QStringLiteral("abort"), false))
        return 0;
    const bool annotMode = view->AnnotStatus();
    G_UIContext *context = UIContext();

    // Links are drawn as annotations, so they are shown whatever the mode.
    RunOperation(context, QStringLiteral("t_showannot"),
                 [](G_Operation &show) { show.Param().Add(QStringLiteral("isVisible"), true); });
    if (!annotMode) {
        RunOperation(
            context, QStringLiteral("t_toolbarbtnstate"),
            [](G_Operation &button) {
                button.Param().Add(QStringLiteral("btnName"), QStringLiteral("t_annot"));
                button.Param().Add(QStringLiteral("checked"), false);
            },
            G_RunMode::Execute);
    }

    if (view->ToolHandler(QStringLiteral("ga_link")) == view->CurrentToolHandler())
        return 1;
    GP_ChangeHandler::DoAction();
    return 1;
}
