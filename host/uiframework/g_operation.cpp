#include "g_operation.h"

#include "g_deferreddelete.h"
#include "g_docview.h"
#include "g_operationinterceptor.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>

#include <cmath>

namespace {

// Per name a stack of prototypes: the newest registration serves, and removing it brings
// the previous one back (a test can stand in for a host operation for a while).
using Registry = QHash<QString, QList<G_Operation *>>;
Q_GLOBAL_STATIC(Registry, s_registry)

QJsonValue ToJson(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<CCA_Point>()) {
        const CCA_Point p = value.value<CCA_Point>();
        return QJsonArray{p.x, p.y};
    }
    if (value.userType() == qMetaTypeId<CCA_GPoint>()) {
        const CCA_GPoint p = value.value<CCA_GPoint>();
        return QJsonArray{double(p.x), double(p.y)};
    }
    return QJsonValue::fromVariant(value);
}

} // namespace

G_Operation::G_Operation() = default;

G_Operation::~G_Operation()
{
    if (m_registered)
        UnregisterFromGlobal(this);
    // Deleted directly after DeleteLater: the queued delete must not run a second time.
    if (m_deleteScheduled)
        G_DeferredDelete::Cancel(this);
}

int G_Operation::AuthorityType() const
{
    return 0;
}

QByteArray G_Operation::ListenerParamsJson() const
{
    QJsonObject object;
    for (const QString &key : m_param.Keys())
        object.insert(key, ToJson(m_param.Value(key)));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool G_Operation::ParseParamJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QJsonValue value = it.value();
        if (value.isBool()) {
            m_param.Add(it.key(), value.toBool());
        } else if (value.isDouble()) {
            const double number = value.toDouble();
            if (number == std::floor(number) && std::fabs(number) <= 2147483647.0)
                m_param.Add(it.key(), int(number));
            else
                m_param.Add(it.key(), float(number));
        } else if (value.isString()) {
            m_param.Add(it.key(), value.toString());
        } else if (value.isArray() && value.toArray().size() == 2 && value.toArray().at(0).isDouble()
                   && value.toArray().at(1).isDouble()) {
            const double x = value.toArray().at(0).toDouble();
            const double y = value.toArray().at(1).toDouble();
            if (x == std::floor(x) && y == std::floor(y) && std::fabs(x) <= 2147483647.0
                && std::fabs(y) <= 2147483647.0)
                m_param.Add(it.key(), CCA_Point(int(x), int(y)));
            else
                m_param.Add(it.key(), CCA_GPoint(float(x), float(y)));
        }
    }
    return true;
}

void G_Operation::ResetParams()
{
    m_param.Clear();
}

bool G_Operation::RegisterToGlobal()
{
    const char *name = Name();
    if (!name || !*name || s_registry.isDestroyed())
        return false;
    QList<G_Operation *> &stack = (*s_registry)[QString::fromLatin1(name)];
    stack.removeAll(this);
    stack.append(this);
    m_registered = true;
    return true;
}

G_Operation *G_Operation::GlobalPrototype(const QString &name)
{
    if (s_registry.isDestroyed())
        return nullptr;
    const QList<G_Operation *> stack = s_registry->value(name);
    return stack.isEmpty() ? nullptr : stack.last();
}

QStringList G_Operation::GlobalNames()
{
    if (s_registry.isDestroyed())
        return QStringList();
    QStringList names = s_registry->keys();
    names.sort();
    return names;
}

// The name is not asked: this also runs from the destructor, where Name() is gone.
void G_Operation::UnregisterFromGlobal(const G_Operation *prototype)
{
    if (!prototype || s_registry.isDestroyed())
        return;
    for (auto it = s_registry->begin(); it != s_registry->end();) {
        it->removeAll(const_cast<G_Operation *>(prototype));
        if (it->isEmpty())
            it = s_registry->erase(it);
        else
            ++it;
    }
    const_cast<G_Operation *>(prototype)->m_registered = false;
}

void G_Operation::CopyFrom(const G_Operation &other)
{
    if (&other == this)
        return;
    m_param = other.m_param;
    m_uiContext = other.m_uiContext;
    m_docView = other.m_docView;
}

IG_Document *G_Operation::GDocument() const
{
    return m_docView ? m_docView->GDocument() : nullptr;
}

int G_Operation::PerformAction()
{
    m_status = 0;
    // Interceptors may come and go while one of them runs (a modal dialog runs the loop),
    // so each is checked against the live list before it is called.
    QList<G_OperationInterceptor *> matching;
    for (G_OperationInterceptor *interceptor : G_OperationInterceptor::All()) {
        if (interceptor->IsIntercept(this))
            matching.append(interceptor);
    }
    bool proceed = true;
    for (G_OperationInterceptor *interceptor : qAsConst(matching)) {
        if (!G_OperationInterceptor::All().contains(interceptor))
            continue;
        if (!interceptor->BeforeDoActionHandle(this) || !interceptor->DoActionHandle(this)) {
            proceed = false;
            break;
        }
    }
    if (proceed)
        m_status = DoAction();
    for (G_OperationInterceptor *interceptor : qAsConst(matching)) {
        if (G_OperationInterceptor::All().contains(interceptor))
            interceptor->NotifyHandle(this);
    }
    return m_status;
}

int G_Operation::ExecuteAction()
{
    m_status = DoAction();
    return m_status;
}

void G_Operation::DeleteLater()
{
    if (m_deleteScheduled)
        return;
    m_deleteScheduled = true;
    // May delete at once when there is no application object: nothing may follow it here.
    G_DeferredDelete::Schedule(this);
}

void G_Operation::FlushPendingDeletes()
{
    G_DeferredDelete::Flush();
}
