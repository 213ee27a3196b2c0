#include "extensionsystem/iplugin.h"
#include "extensionsystem/pluginmanager.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_PluginManager : public QObject
{
    Q_OBJECT

private slots:
    void init() { QCoreApplication::instance()->setProperty("pluginLog", QStringList()); }
    void loadsInitializesAndShutsDownInOrder()
    {
        ExtensionSystem::PluginManager manager;
        QCOMPARE(manager.LoadPlugins(TEST_PLUGIN_DIR), 2);
        QCOMPARE(manager.Plugins().size(), 2);
        QVERIFY(manager.PluginFiles().at(0).contains(QStringLiteral("alphaplugin")));
        QCOMPARE(manager.Plugins().at(0)->metaObject()->className(), "AlphaPlugin");
        QVERIFY(!manager.Plugins().at(0)->PluginEventMgr());
        QCOMPARE(Log(), (QStringList{"alpha:construct", "beta:construct", "alpha:Initialize", "beta:Initialize",
                                     "alpha:ExtensionsInitialized", "beta:ExtensionsInitialized"}));

        QCoreApplication::instance()->setProperty("pluginLog", QStringList());
        manager.Shutdown();
        QCOMPARE(Log(), (QStringList{"beta:AboutToShutdown", "alpha:AboutToShutdown", "beta:destroy", "alpha:destroy"}));
        QVERIFY(manager.Plugins().isEmpty());
    }

    void failedInitializeIsUnloaded()
    {
        ExtensionSystem::PluginManager manager;
        QCOMPARE(manager.LoadPlugins(TEST_PLUGIN_DIR, {"fail-alpha"}), 1);
        QVERIFY(manager.PluginFiles().at(0).contains(QStringLiteral("betaplugin")));
        QVERIFY(manager.Errors().join('\n').contains(QStringLiteral("refused by request")));
        QCOMPARE(Log(), (QStringList{"alpha:construct", "beta:construct", "alpha:Initialize", "alpha:destroy",
                                     "beta:Initialize", "beta:ExtensionsInitialized"}));
    }

    // The folder also holds a plug-in for another IID, a plain shared library and a text file
    // named like a library; none is loaded and each gets an error.
    void nonPluginFilesAreReported()
    {
        ExtensionSystem::PluginManager manager;
        manager.LoadPlugins(TEST_PLUGIN_DIR);
        const QStringList errors = manager.Errors();
        QCOMPARE(errors.size(), 3);
        QVERIFY2(errors.filter(QStringLiteral("otheriidplugin")).size() == 1, qPrintable(errors.join('\n')));
        QVERIFY2(errors.filter(QStringLiteral("com.example.Other")).size() == 1, qPrintable(errors.join('\n')));
        QVERIFY2(errors.filter(QStringLiteral("notaplugin")).size() == 1, qPrintable(errors.join('\n')));
        QVERIFY2(errors.filter(QStringLiteral("libfake.so")).size() == 1, qPrintable(errors.join('\n')));
    }

    void missingFolder()
    {
        ExtensionSystem::PluginManager manager;
        QTemporaryDir dir;
        QCOMPARE(manager.LoadPlugins(dir.path() + QStringLiteral("/none")), 0);
        QCOMPARE(manager.Errors().size(), 1);
    }

private:
    static QStringList Log() { return QCoreApplication::instance()->property("pluginLog").toStringList(); }
};

QTEST_GUILESS_MAIN(tst_PluginManager)
#include "tst_pluginmanager.moc"
