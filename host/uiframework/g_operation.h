#pragma once

#include "g_operationparam.h"

#include <QByteArray>
#include <QString>

class G_DocView;
class G_UIContext;
class IG_Document;

// A named command. Prototypes are registered once; every run works on a clone.
class G_Operation
{
public:
    G_Operation();
    G_Operation(const G_Operation &) = delete;
    G_Operation &operator=(const G_Operation &) = delete;

    virtual G_Operation *Clone() const = 0;
    virtual ~G_Operation();
    virtual const char *Name() const = 0;
    // 0 needs nothing; 1 needs an open document; 2 needs a document that may be changed.
    virtual int AuthorityType() const;
    virtual QByteArray ListenerParamsJson() const;
    virtual bool ParseParamJson(const QByteArray &json);
    virtual void ResetParams();
    virtual int DoAction() = 0;

    // Registers this object as the prototype for Name(); the registry does not own it.
    bool RegisterToGlobal();
    static G_Operation *GlobalPrototype(const QString &name);
    static QStringList GlobalNames();
    static void UnregisterFromGlobal(const G_Operation *prototype);

    void CopyFrom(const G_Operation &other);
    G_OperationParam &Param() { return m_param; }
    const G_OperationParam &Param() const { return m_param; }

    G_UIContext *UIContext() const { return m_uiContext; }
    void SetUIContext(G_UIContext *context) { m_uiContext = context; }
    G_DocView *DocView() const { return m_docView; }
    void SetDocView(G_DocView *view) { m_docView = view; }
    IG_Document *GDocument() const;

    // Interceptors around DoAction; answers the status word.
    int PerformAction();
    // DoAction alone.
    int ExecuteAction();
    // The result of the last DoAction of this object (0 before any run).
    int Status() const { return m_status; }
    // Deletes the object from the event loop.
    void DeleteLater();
    bool IsDeleteScheduled() const { return m_deleteScheduled; }
    // Deletes every operation still waiting for DeleteLater (before a plug-in is unloaded).
    static void FlushPendingDeletes();

private:
    G_OperationParam m_param;
    G_UIContext *m_uiContext = nullptr;
    G_DocView *m_docView = nullptr;
    int m_status = 0;
    bool m_deleteScheduled = false;
    bool m_registered = false;
};
