#include "pluginmanager.h"

#include "iplugin.h"

#include "uiframework/g_operation.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QLibrary>
#include <QPluginLoader>

namespace ExtensionSystem {

PluginManager::PluginManager(QObject *parent) : QObject(parent)
{
}

PluginManager::~PluginManager()
{
    Shutdown();
}

int PluginManager::LoadPlugins(const QString &folder, const QStringList &arguments)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        m_errors.append(tr("Plug-in folder %1 does not exist.").arg(QDir::toNativeSeparators(folder)));
        return 0;
    }
    const int first = m_plugins.size();
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &fileName : files) {
        // Other files (resources, notes) may sit next to the plug-ins.
        if (!QLibrary::isLibrary(fileName))
            continue;
        const QString path = dir.absoluteFilePath(fileName);
        auto *loader = new QPluginLoader(path, this);
        const QJsonObject metaData = loader->metaData();
        if (metaData.isEmpty()) {
            m_errors.append(tr("%1 is not a plug-in: %2").arg(fileName, loader->errorString()));
            delete loader;
            continue;
        }
        const QString iid = metaData.value(QStringLiteral("IID")).toString();
        if (iid != QLatin1String(ExtensionSystem_IPlugin_iid)) {
            m_errors.append(tr("%1 is a plug-in for \"%2\", not for \"%3\".")
                                .arg(fileName, iid, QLatin1String(ExtensionSystem_IPlugin_iid)));
            delete loader;
            continue;
        }
        QObject *instance = loader->instance();
        auto *plugin = qobject_cast<IPlugin *>(instance);
        if (!plugin) {
            m_errors.append(instance ? tr("%1 does not implement the plug-in interface.").arg(fileName)
                                     : tr("%1 could not be loaded: %2").arg(fileName, loader->errorString()));
            loader->unload();
            delete loader;
            continue;
        }
        m_loaders.append(loader);
        m_plugins.append(plugin);
    }

    for (int i = first; i < m_plugins.size();) {
        QString error;
        if (m_plugins.at(i)->Initialize(arguments, &error)) {
            ++i;
            continue;
        }
        m_errors.append(tr("%1 failed to initialize: %2")
                            .arg(QFileInfo(m_loaders.at(i)->fileName()).fileName(), error));
        Unload(i);
    }
    for (int i = first; i < m_plugins.size(); ++i)
        m_plugins.at(i)->ExtensionsInitialized();
    for (int i = first; i < m_plugins.size(); ++i)
        m_plugins.at(i)->DelayedInitialize();
    return m_plugins.size() - first;
}

QList<IPlugin *> PluginManager::Plugins() const
{
    return m_plugins;
}

QStringList PluginManager::PluginFiles() const
{
    QStringList files;
    for (const QPluginLoader *loader : m_loaders)
        files.append(loader->fileName());
    return files;
}

void PluginManager::Shutdown()
{
    for (int i = m_plugins.size() - 1; i >= 0; --i)
        m_plugins.at(i)->AboutToShutdown();
    for (int i = m_plugins.size() - 1; i >= 0; --i)
        Unload(i);
}

void PluginManager::Unload(int index)
{
    // Operations a plug-in created and released are still queued for deletion; their code
    // goes away with the library.
    G_Operation::FlushPendingDeletes();
    delete m_plugins.takeAt(index);
    QPluginLoader *loader = m_loaders.takeAt(index);
    loader->unload();
    delete loader;
}

} // namespace ExtensionSystem
