#include "readerwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("annotlink"));
    QApplication::setApplicationName(QStringLiteral("ofdreader"));
    // The host's dialogs draw their own title bar; its close buttons carry the class "closeBtn".
    app.setStyleSheet(QStringLiteral(
        "QPushButton[class=\"closeBtn\"]{border:none;background:transparent;image:url(:/reader/img/close.svg);}"
        "QPushButton[class=\"closeBtn\"]:hover{image:url(:/reader/img/close-hover.svg);}"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Reads OFD documents."));
    parser.addHelpOption();
    const QCommandLineOption quitAfter(QStringLiteral("quit-after-ms"),
                                       QStringLiteral("Quit after <ms> milliseconds (for smoke tests)."),
                                       QStringLiteral("ms"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to <file> before quitting."),
                                        QStringLiteral("file"));
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The OFD document to open."));
    parser.process(app);

    int quitAfterMs = -1;
    if (parser.isSet(quitAfter)) {
        bool ok = false;
        quitAfterMs = parser.value(quitAfter).toInt(&ok);
        if (!ok || quitAfterMs < 0) {
            qWarning("ofdreader: --quit-after-ms needs a number of milliseconds");
            return 2;
        }
    }

    ReaderWindow window(ReaderWindow::DefaultPluginFolder());
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        window.OpenFile(files.first(), true);
    else if (QFileInfo::exists(QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT)))
        window.OpenFile(QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT), true);
    window.show();

    if (quitAfterMs >= 0) {
        const QString picture = parser.value(screenshot);
        QTimer::singleShot(quitAfterMs, &app, [&window, picture] {
            if (!picture.isEmpty())
                window.grab().save(picture);
            QApplication::quit();
        });
    }
    return app.exec();
}
