#include "core/icore.h"
#include "extensionsystem/iplugin.h"
#include "uiframework/g_operation.h"
#include "uiframework/g_operationinterceptor.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"

#include "testoperation.h"

#include <QDir>
#include <QLibrary>
#include <QPluginLoader>
#include <QPointer>
#include <QtTest>

namespace {

QStringList Without(QStringList names, const QStringList &taken)
{
    for (const QString &name : taken)
        names.removeAll(name);
    names.sort();
    return names;
}

} // namespace

class tst_AnnotLinkPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_path = QDir(QStringLiteral(ANNOTLINK_PLUGIN_DIR)).filePath(QStringLiteral("libannotlink.so"));
        QVERIFY2(QFile::exists(m_path), qPrintable(m_path));
        m_loader.setFileName(m_path);
        QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    }

    void cleanupTestCase()
    {
        delete m_loader.instance();
        m_loader.unload();
    }

    void instanceLivesUntilDeleted()
    {
        QLibrary library(m_path);
        using InstanceFunction = QObject *(*)();
        auto instance = reinterpret_cast<InstanceFunction>(library.resolve("qt_plugin_instance"));
        QVERIFY(instance);

        QPointer<QObject> first = instance();
        QVERIFY(first);
        QCOMPARE(instance(), first.data());
        QCOMPARE(m_loader.instance(), first.data());
        first->setObjectName(QStringLiteral("first"));

        delete first.data();
        QVERIFY(!first);
        QObject *second = instance();
        QVERIFY(second);
        QVERIFY2(second->objectName().isEmpty(), "the deleted instance came back");
        QCOMPARE(instance(), second);
        QCOMPARE(m_loader.instance(), second);
    }

    void registersNineOperationsTheToolAndThreeInterceptors()
    {
        const QStringList operationsBefore = G_Operation::GlobalNames();
        const QStringList toolsBefore = G_ToolHandler::GlobalNames();
        const QList<G_OperationInterceptor *> interceptorsBefore = G_OperationInterceptor::All();

        ExtensionSystem::IPlugin *plugin = Plugin();
        QVERIFY(plugin);
        QString error;
        QVERIFY(plugin->Initialize(QStringList{QStringLiteral("-unused")}, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(G_Operation::GlobalNames(), operationsBefore);
        plugin->ExtensionsInitialized();

        QCOMPARE(Without(G_Operation::GlobalNames(), operationsBefore),
                 (QStringList{"d_addlink", "d_annotlinkcopy", "d_annotlinkcut", "d_annotlinkdel", "d_annotlinkpaste",
                              "d_annotlinkproperty", "d_linkaction", "ga_link", "tt_deletealllink"}));
        QCOMPARE(Without(G_ToolHandler::GlobalNames(), toolsBefore), QStringList{QStringLiteral("ga_link")});
        QCOMPARE(QString::fromUtf8(G_ToolHandler::GlobalPrototype(QStringLiteral("ga_link"))->Name().c_str()),
                 QStringLiteral("ga_link"));
        QCOMPARE(G_Operation::GlobalPrototype(QStringLiteral("ga_link"))->Param().GetQString(QStringLiteral("name")),
                 QStringLiteral("ga_link"));

        QList<G_OperationInterceptor *> added = G_OperationInterceptor::All();
        for (G_OperationInterceptor *interceptor : interceptorsBefore)
            added.removeAll(interceptor);
        QCOMPARE(added.size(), 3);
        // Names match after the last '/' and in any case, and only whole.
        const QList<QByteArray> served = {"tt_deletealllink", "d_annotlinkproperty", "d_annotlinkpaste",
                                          "a/b/D_AnnotLinkProperty", "TT_DeleteAllLink", "x/D_ANNOTLINKPASTE"};
        const QList<QByteArray> others = {"tt_deletealllink/", "tt_deletealllinks", "d_annotlinkproperty/x", "",
                                          "d_annotlinkcopy"};
        for (const QByteArray &name : served + others) {
            TestOperation probe(name);
            int matches = 0;
            for (G_OperationInterceptor *interceptor : added)
                matches += interceptor->IsIntercept(&probe) ? 1 : 0;
            QVERIFY2(matches == int(served.contains(name)), name.constData());
        }

        // Deleting the plug-in deletes every object it made; the host drops them from its lists.
        delete plugin;
        QCOMPARE(G_Operation::GlobalNames(), operationsBefore);
        QCOMPARE(G_ToolHandler::GlobalNames(), toolsBefore);
        QCOMPARE(G_OperationInterceptor::All(), interceptorsBefore);
    }

    void pluginEventMgrFollowsTheContext()
    {
        ExtensionSystem::IPlugin *plugin = Plugin();
        QVERIFY(plugin);
        Core::ICore::SetUIContext(nullptr);
        QCOMPARE(plugin->PluginEventMgr(), static_cast<G_EventMgr *>(nullptr));
        G_UIContext context;
        Core::ICore::SetUIContext(&context);
        QCOMPARE(plugin->PluginEventMgr(), context.EventMgr());
        Core::ICore::SetUIContext(nullptr);
    }

private:
    ExtensionSystem::IPlugin *Plugin() { return qobject_cast<ExtensionSystem::IPlugin *>(m_loader.instance()); }

    QString m_path;
    QPluginLoader m_loader;
};

QTEST_MAIN(tst_AnnotLinkPlugin)
#include "tst_annotlinkplugin.moc"
