#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QPluginLoader;

namespace ExtensionSystem {

class IPlugin;

// Loads every plug-in of a folder whose metadata IID is "com.olmet.OFD.PcApp", then calls
// Initialize on each and ExtensionsInitialized on each, in load order. Shutdown runs
// AboutToShutdown, deletes the instances in reverse order and unloads the libraries.
class PluginManager : public QObject
{
    Q_OBJECT
public:
    explicit PluginManager(QObject *parent = nullptr);
    ~PluginManager() override;

    // Answers how many plug-ins were loaded; errors() tells what failed.
    int LoadPlugins(const QString &folder, const QStringList &arguments = QStringList());
    QList<IPlugin *> Plugins() const;
    // The library file of each plug-in, in the order of Plugins().
    QStringList PluginFiles() const;
    QStringList Errors() const { return m_errors; }
    void Shutdown();

private:
    void Unload(int index);

    QList<QPluginLoader *> m_loaders;
    QList<IPlugin *> m_plugins;
    QStringList m_errors;
};

} // namespace ExtensionSystem
