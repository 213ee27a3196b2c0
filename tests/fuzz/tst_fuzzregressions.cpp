#include "fuzztargets.h"

#include <QDir>
#include <QtTest>

#include <functional>

using FuzzTarget = std::function<int(const uint8_t *, size_t)>;
Q_DECLARE_METATYPE(FuzzTarget)

// Inputs the fuzzers once crashed on, or that pin a fault found otherwise; each must now
// run through its target without a crash or a sanitizer report.
class tst_FuzzRegressions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void replay_data()
    {
        QTest::addColumn<FuzzTarget>("target");
        QTest::addColumn<QString>("path");
        const QList<QPair<QString, FuzzTarget>> targets = {
            {QStringLiteral("package"), FuzzPackage},     {QStringLiteral("xmlpart"), FuzzXmlPart},
            {QStringLiteral("paste"), FuzzPaste},         {QStringLiteral("textcodec"), FuzzTextCodec},
            {QStringLiteral("actionjson"), FuzzActionJson},
        };
        const QDir data(QStringLiteral(ANNOTLINK_SOURCE_DIR "/tests/fuzz/data"));
        for (const auto &target : targets) {
            const QDir folder(data.filePath(target.first));
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                QTest::newRow(qPrintable(target.first + '/' + name)) << target.second << folder.filePath(name);
        }
    }

    void replay()
    {
        QFETCH(FuzzTarget, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(target(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), 0);
    }
};

QTEST_MAIN(tst_FuzzRegressions)
#include "tst_fuzzregressions.moc"
