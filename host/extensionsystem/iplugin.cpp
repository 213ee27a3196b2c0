#include "iplugin.h"

namespace ExtensionSystem {

IPlugin::IPlugin() = default;

IPlugin::~IPlugin() = default;

bool IPlugin::DelayedInitialize()
{
    return false;
}

IPlugin::ShutdownFlag IPlugin::AboutToShutdown()
{
    return SynchronousShutdown;
}

G_EventMgr *IPlugin::PluginEventMgr()
{
    return nullptr;
}

} // namespace ExtensionSystem
