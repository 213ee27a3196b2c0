// The least a plug-in can be: the floor that the link plug-in's load time is measured against.

#include "extensionsystem/iplugin.h"

#include <QtPlugin>

class EmptyPlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.olmet.OFD.PcApp" FILE "emptyplugin.json")
public:
    bool Initialize(const QStringList &, QString *) override { return true; }
    void ExtensionsInitialized() override {}
};

#include "emptyplugin.moc"
