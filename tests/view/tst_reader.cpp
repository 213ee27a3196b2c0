#include "omofdapi/g_action.h"
#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_page.h"
#include "omofdapi/ig_pageobject.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Starts the reader as a user would, headless, and lets it quit by itself.
class tst_Reader : public QObject
{
    Q_OBJECT

private slots:
    void startsAndQuitsCleanly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("verbose");
        QTest::newRow("sample document") << QString() << false;
        QTest::newRow("sample document, verbose") << QString() << true;
        QTest::newRow("helloworld.ofd") << QStringLiteral(ANNOTLINK_SHARED_DIR "/fixtures/ofd/helloworld.ofd") << false;
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/none.ofd") << false;
    }

    void startsAndQuitsCleanly()
    {
        QFETCH(QString, file);
        QFETCH(bool, verbose);
        if (file.contains(QLatin1String("fixtures")) && !QFileInfo::exists(file))
            QSKIP("the shared fixtures are not here");
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("window.png"));
        QStringList arguments = {QStringLiteral("--quit-after-ms"), QStringLiteral("300"),
                                 QStringLiteral("--screenshot"), picture};
        if (verbose)
            arguments << QStringLiteral("--verbose");
        if (!file.isEmpty())
            arguments << file;
        QString output;
        QCOMPARE(Run(arguments, &output), 0);
        QVERIFY2(QFileInfo(picture).size() > 0, qPrintable(output));

        // The module, when it has been built, is loaded from the plug-in folder; the trace
        // that says so shows only when asked for.
        const QStringList modules = QDir(QStringLiteral(ANNOTLINK_PLUGIN_DIR)).entryList({QStringLiteral("*annotlink*")});
        if (!modules.isEmpty() && file.isEmpty())
            QVERIFY2(output.contains(QLatin1String("loaded plug-in")) == verbose, qPrintable(output));
    }

    void refusesUnknownLanguage()
    {
        QCOMPARE(Run({QStringLiteral("--lang"), QStringLiteral("fr"), QStringLiteral("--quit-after-ms"),
                      QStringLiteral("0")},
                     nullptr),
                 2);
    }

    // The demo makes one link of each action kind with the link tool and its dialog; the
    // file it saves holds them beside the sample's own link.
    void demoSavesFourLinks()
    {
        if (QDir(QStringLiteral(ANNOTLINK_PLUGIN_DIR)).entryList({QStringLiteral("*annotlink*")}).isEmpty())
            QSKIP("the module has not been built");
        QTemporaryDir dir;
        QString output;
        QCOMPARE(Run({QStringLiteral("--demo"), dir.path()}, &output), 0);
        QVERIFY2(QFileInfo(dir.filePath(QStringLiteral("page-1.png"))).size() > 0, qPrintable(output));
        QCOMPARE(output.count(QLatin1String("demo: made a link")), 4);

        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(dir.filePath(QStringLiteral("demo.ofd")), &error);
        QVERIFY2(document, qPrintable(error));
        IG_Page *page = document->GetPage(0);
        QVERIFY(page);
        if (!page->IsAnnotsLoaded())
            page->LoadAnnots();
        QMap<int, int> kinds; // action type -> links
        int toPageThree = 0;
        for (int i = 0; i < page->AnnotCount(); ++i) {
            IG_Annot *annot = page->AnnotAt(i);
            IG_PageObject *object = annot && annot->Appearance() ? annot->Appearance()->PageObject(0) : nullptr;
            QVERIFY(object && object->Actions().GetSize() == 1);
            G_Action *action = object->Actions()[0];
            ++kinds[action->Type()];
            if (auto *jump = dynamic_cast<G_ActionGoto *>(action))
                toPageThree += jump->Dest().pageIndex == 2;
        }
        // The sample's own link goes to page 2.
        const QMap<int, int> expected = {{G_ActionType_Goto, 2}, {G_ActionType_URI, 1}, {G_ActionType_GotoA, 1},
                                         {G_ActionType_Sound, 1}};
        QCOMPARE(kinds, expected);
        QCOMPARE(toPageThree, 1);
    }

    // A damaged file in the plug-in folder is passed over with its reason in the log.
    void damagedPluginIsPassedOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: the module cut in half
        QTest::newRow("truncated module") << QStringLiteral("libannotlink.so") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("libempty.so") << QByteArray("");
        QTest::newRow("ELF header only") << QStringLiteral("libheader.so") << QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(57, '\xff');
    }

    void damagedPluginIsPassedOver()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        if (bytes.isNull()) {
            const QStringList modules = QDir(QStringLiteral(ANNOTLINK_PLUGIN_DIR)).entryList({QStringLiteral("*annotlink*")});
            if (modules.isEmpty())
                QSKIP("the module has not been built");
            QFile module(QStringLiteral(ANNOTLINK_PLUGIN_DIR "/") + modules.first());
            QVERIFY(module.open(QIODevice::ReadOnly));
            bytes = module.read(module.size() / 2);
        }
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString output;
        QCOMPARE(Run({QStringLiteral("--quit-after-ms"), QStringLiteral("300")}, &output, dir.path()), 0);
        QVERIFY2(output.contains(QRegularExpression(QStringLiteral("ofdreader:.*") + QRegularExpression::escape(name))),
                 qPrintable(output));
    }

private:
    int Run(const QStringList &arguments, QString *output, const QString &pluginFolder = QString())
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!pluginFolder.isEmpty())
            environment.insert(QStringLiteral("OFDREADER_PLUGIN_PATH"), pluginFolder);
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(OFDREADER_PATH), arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        if (output)
            *output = QString::fromLocal8Bit(process.readAll());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }
};

QTEST_GUILESS_MAIN(tst_Reader)
#include "tst_reader.moc"
