#include "readerapplication.h"
#include "readerdemo.h"
#include "readerwindow.h"

#include "uiframework/g_allocatorpolicy.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <cstring>

namespace {

const char *const kLanguages[] = {"zh_CN", "en"};

bool HasArgument(int argc, char *argv[], const char *name)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

// The offscreen platform warns of each window feature it lacks; the demo needs none of them.
QtMessageHandler g_defaultHandler = nullptr;
void QuietOffscreenHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_defaultHandler(type, context, message);
}

void InstallTranslator(QApplication &app, const QLocale &locale, const QString &name, const QString &folder)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(locale, name, QStringLiteral("_"), folder))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

int main(int argc, char *argv[])
{
    G_ApplyAllocatorPolicy();
    // The demo runs the same with a display or without one.
    if (HasArgument(argc, argv, "--demo")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_defaultHandler = qInstallMessageHandler(QuietOffscreenHandler);
    }
    ReaderApplication app(argc, argv);
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
    const QCommandLineOption language(QStringLiteral("lang"),
                                      QStringLiteral("Show the texts in <language>: zh_CN or en (default: the system's)."),
                                      QStringLiteral("language"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Show the debug trace."));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Make one link of each kind in the sample document without a "
                                                 "display, save it into <folder> with a picture of page 1, and quit."),
                                  QStringLiteral("folder"));
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.addOption(language);
    parser.addOption(verbose);
    parser.addOption(demo);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The OFD document to open."));
    parser.process(app);

    // Warnings and errors always show; QT_LOGGING_RULES still overrides this.
    if (!parser.isSet(verbose))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    int quitAfterMs = -1;
    if (parser.isSet(quitAfter)) {
        bool ok = false;
        quitAfterMs = parser.value(quitAfter).toInt(&ok);
        if (!ok || quitAfterMs < 0) {
            qWarning("ofdreader: --quit-after-ms needs a number of milliseconds");
            return 2;
        }
    }

    // The plug-ins translate their own texts for the default locale.
    QLocale locale = QLocale::system();
    if (parser.isSet(language)) {
        const QString name = parser.value(language);
        if (name != QLatin1String(kLanguages[0]) && name != QLatin1String(kLanguages[1])) {
            qWarning("ofdreader: --lang takes zh_CN or en");
            return 2;
        }
        locale = QLocale(name);
    }
    QLocale::setDefault(locale);
    InstallTranslator(app, locale, QStringLiteral("qtbase"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    InstallTranslator(app, locale, QStringLiteral("ofdreader"), QStringLiteral(":/i18n"));

    // The demo's remembered link style stays apart from the user's.
    if (parser.isSet(demo))
        QStandardPaths::setTestModeEnabled(true);

    ReaderWindow window(ReaderWindow::DefaultPluginFolder());
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(demo)) {
        if (!window.OpenFile(QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT), true))
            return 1;
    } else if (!files.isEmpty()) {
        window.OpenFile(files.first(), true);
    } else if (QFileInfo::exists(QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT))) {
        window.OpenFile(QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT), true);
    }
    window.show();

    if (parser.isSet(demo)) {
        int result = 1;
        QTimer::singleShot(0, &app, [&window, &result, folder = parser.value(demo)] {
            result = ReaderDemo(&window, folder).Run() ? 0 : 1;
            QApplication::quit();
        });
        app.exec();
        return result;
    }

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
