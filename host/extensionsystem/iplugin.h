#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class G_EventMgr;

namespace ExtensionSystem {

class IPlugin : public QObject
{
    Q_OBJECT
public:
    enum ShutdownFlag { SynchronousShutdown, AsynchronousShutdown };

    IPlugin();
    ~IPlugin() override;

    virtual bool Initialize(const QStringList &arguments, QString *errorString) = 0;
    virtual void ExtensionsInitialized() = 0;
    virtual bool DelayedInitialize();
    virtual ShutdownFlag AboutToShutdown();
    virtual G_EventMgr *PluginEventMgr();
};

} // namespace ExtensionSystem

#define ExtensionSystem_IPlugin_iid "com.olmet.OFD.PcApp"
