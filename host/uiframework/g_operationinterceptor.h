#pragma once

#include <QList>

class G_Operation;

// Takes part in PerformAction from construction until destruction.
class G_OperationInterceptor
{
public:
    G_OperationInterceptor();
    G_OperationInterceptor(const G_OperationInterceptor &) = delete;
    G_OperationInterceptor &operator=(const G_OperationInterceptor &) = delete;
    virtual ~G_OperationInterceptor();

    virtual bool IsIntercept(G_Operation *operation) = 0;
    // False stops the run before DoAction.
    virtual bool DoActionHandle(G_Operation *operation);
    // Asked first; false stops the run before DoActionHandle.
    virtual bool BeforeDoActionHandle(G_Operation *operation);
    // After the run, also when DoActionHandle stopped it.
    virtual void NotifyHandle(G_Operation *operation);

    static const QList<G_OperationInterceptor *> &All();
};
