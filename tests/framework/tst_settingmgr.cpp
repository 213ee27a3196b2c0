#include "uiframework/g_settingmgr.h"

#include <QSettings>
#include <QtTest>

class tst_SettingMgr : public QObject
{
    Q_OBJECT

private slots:
    // Before the store is first opened: its location is fixed then.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void writtenValueReadsBackAndPersists()
    {
        G_SettingMgr &settings = G_SettingMgr::Instance();
        settings.SetConfigValue("annot.annotlink.color", "#ff00ff00");
        QCOMPARE(settings.ConfigValue("annot.annotlink.color", "#ff000000").toString(), QStringLiteral("#ff00ff00"));
        settings.Sync();

        // Another reader of the same organisation and application sees it: it is on disk.
        QSettings reader(QStringLiteral("annotlink"), QStringLiteral("ofdreader"));
        QCOMPARE(reader.value("annot.annotlink.color").toString(), QStringLiteral("#ff00ff00"));
        QVERIFY2(reader.fileName().contains(QStringLiteral(".qttest")), qPrintable(reader.fileName()));

        settings.RemoveConfigValue("annot.annotlink.color");
        QCOMPARE(settings.ConfigValue("annot.annotlink.color", 1), QVariant(1));
        QVERIFY(!settings.ConfigValue("annot.annotlink.color").isValid());
    }
};

QTEST_GUILESS_MAIN(tst_SettingMgr)
#include "tst_settingmgr.moc"
