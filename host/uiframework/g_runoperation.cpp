#include "g_runoperation.h"

#include "g_operation.h"
#include "g_uicontext.h"

std::optional<int> RunOperation(G_UIContext *context, const QString &name,
                                const std::function<void(G_Operation &)> &fill, G_RunMode how,
                                const std::function<void(G_Operation &)> &done)
{
    G_Operation *operation = context ? context->CreateOperationByName(name, QString()) : nullptr;
    if (!operation)
        return std::nullopt;
    if (fill)
        fill(*operation);
    const int result = how == G_RunMode::Perform ? operation->PerformAction() : operation->ExecuteAction();
    if (done)
        done(*operation);
    operation->DeleteLater();
    return result;
}
