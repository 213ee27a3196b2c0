#include "operations/namedoperation.h"

#include "uiframework/g_uicontext.h"

G_Operation *CreateNamedOperation(G_UIContext *context, const QString &name)
{
    return context ? context->CreateOperationByName(name, QString()) : nullptr;
}
