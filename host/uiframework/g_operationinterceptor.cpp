#include "g_operationinterceptor.h"

namespace {
using InterceptorList = QList<G_OperationInterceptor *>;
Q_GLOBAL_STATIC(InterceptorList, s_interceptors)
} // namespace

G_OperationInterceptor::G_OperationInterceptor()
{
    s_interceptors->append(this);
}

G_OperationInterceptor::~G_OperationInterceptor()
{
    if (!s_interceptors.isDestroyed())
        s_interceptors->removeAll(this);
}

bool G_OperationInterceptor::DoActionHandle(G_Operation *)
{
    return true;
}

bool G_OperationInterceptor::BeforeDoActionHandle(G_Operation *)
{
    return true;
}

void G_OperationInterceptor::NotifyHandle(G_Operation *)
{
}

const QList<G_OperationInterceptor *> &G_OperationInterceptor::All()
{
    static const QList<G_OperationInterceptor *> empty;
    return s_interceptors.isDestroyed() ? empty : *s_interceptors;
}
