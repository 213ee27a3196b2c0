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
        QTest::newRow("sample document") << QString();
        QTest::newRow("helloworld.ofd") << QStringLiteral(ANNOTLINK_SHARED_DIR "/fixtures/ofd/helloworld.ofd");
        QTest::newRow("missing file") << QStringLiteral("/nonexistent/none.ofd");
    }

    void startsAndQuitsCleanly()
    {
        QFETCH(QString, file);
        if (file.contains(QLatin1String("fixtures")) && !QFileInfo::exists(file))
            QSKIP("the shared fixtures are not here");
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("window.png"));
        QStringList arguments = {QStringLiteral("--quit-after-ms"), QStringLiteral("300"),
                                 QStringLiteral("--screenshot"), picture};
        if (!file.isEmpty())
            arguments << file;
        QString output;
        QCOMPARE(Run(arguments, &output), 0);
        QVERIFY2(QFileInfo(picture).size() > 0, qPrintable(output));

        // The module, when it has been built, is loaded from the plug-in folder.
        const QStringList modules = QDir(QStringLiteral(ANNOTLINK_PLUGIN_DIR)).entryList({QStringLiteral("*annotlink*")});
        if (!modules.isEmpty() && file.isEmpty())
            QVERIFY2(output.contains(QLatin1String("loaded plug-in")), qPrintable(output));
    }

    // A damaged file in the plug-in folder is passed over with its reason in the log.
    void damagedPluginIsPassedOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: the module cut in half
        QTest::newRow("truncated module") << QStringLiteral("libannotlink.so") << QByteArray();
        QTest::newRow("empty file") << QStringLiteral("libempty.so") << QByteArray("");
        QTest::newRow("text") << QStringLiteral("libtext.so") << QByteArray("not a library\n");
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
