#include "gp_changehandler.h"

#include "g_docview.h"

G_Operation *GP_ChangeHandler::Clone() const
{
    auto *copy = new GP_ChangeHandler;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_ChangeHandler::Name() const
{
    return "t_changehandler";
}

int GP_ChangeHandler::DoAction()
{
    G_DocView *view = DocView();
    const QString name = Param().GetQString(QStringLiteral("name"));
    if (!view || name.isEmpty() || !view->SetCurrentToolHandler(name))
        return 0;
    InitHandler();
    return 1;
}

// Runs after the tool became current; the plain switch has nothing to prepare.
void GP_ChangeHandler::InitHandler()
{
}
