#include "g_actionhandler.h"

#include "g_docview.h"
#include "g_uicontext.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_document.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString FromUtf8(const CCA_String &text)
{
    return QString::fromUtf8(text.c_str(), text.GetLength());
}

// Keeps the last path component and drops characters no file system likes.
QString SafeFileName(const QString &name)
{
    QString base = name;
    base.replace(QLatin1Char('\\'), QLatin1Char('/'));
    base = base.section(QLatin1Char('/'), -1);
    base.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f<>:\"|?*]")));
    base = base.trimmed();
    while (base.startsWith(QLatin1Char('.')))
        base.remove(0, 1);
    return base;
}

QString EmbeddedName(const QString &name, const QString &fallbackStem, const QString &format)
{
    QString safe = SafeFileName(name);
    if (safe.isEmpty()) {
        safe = fallbackStem;
        const QString suffix = SafeFileName(format).toLower();
        if (!suffix.isEmpty())
            safe += QLatin1Char('.') + suffix;
    }
    return safe;
}

bool IsAllowedScheme(const QString &scheme)
{
    static const QStringList allowed = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                                        QStringLiteral("ftp"), QStringLiteral("file")};
    return allowed.contains(scheme.toLower());
}

} // namespace

int G_ActionHandler::DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType)
{
    int done = 0;
    for (G_Action *action : actions) {
        if (action && DoAction(action, document))
            ++done;
    }
    qDebug() << "G_ActionHandler::DoActions" << eventType << actions.GetSize() << done;
    return done;
}

bool G_ActionHandler::DoAction(G_Action *action, IG_Document *document)
{
    switch (action->Type()) {
    case G_ActionType_Goto: {
        auto *gotoAction = dynamic_cast<G_ActionGoto *>(action);
        G_DocView *view = m_context ? m_context->CurrentDocView() : nullptr;
        if (!gotoAction || !view || (document && view->GDocument() != document))
            return false;
        G_Dest dest = gotoAction->Dest();
        if (dest.pageIndex < 0 || dest.pageIndex >= view->PageCount()) {
            IG_Document *viewDocument = view->GDocument();
            const int index = viewDocument ? viewDocument->PageIndexByID(dest.pageID) : -1;
            if (index < 0 || index >= view->PageCount())
                return false;
            dest.pageIndex = index;
        }
        view->GoToDest(dest);
        return true;
    }
    case G_ActionType_URI: {
        auto *uriAction = dynamic_cast<G_ActionURI *>(action);
        if (!uriAction)
            return false;
        const QUrl url = UrlFromURIText(FromUtf8(uriAction->URI()));
        return url.isValid() && OpenUrl(url);
    }
    case G_ActionType_GotoA: {
        auto *attachAction = dynamic_cast<G_ActionGotoA *>(action);
        if (!attachAction || !document)
            return false;
        const int index = document->AttachmentIndexByID(attachAction->AttachID());
        G_AttachmentInfo info;
        if (index < 0 || !document->AttachmentInfo(index, info))
            return false;
        const QString name = EmbeddedName(FromUtf8(info.name),
                                          QStringLiteral("attachment-%1").arg(attachAction->AttachID()),
                                          FromUtf8(info.format));
        return OpenEmbeddedFile(name, document->AttachmentData(index));
    }
    case G_ActionType_Sound:
    case G_ActionType_Movie: {
        uint32_t resourceID = 0;
        if (auto *sound = dynamic_cast<G_ActionSound *>(action)) {
            resourceID = sound->ResourceID();
        } else if (auto *movie = dynamic_cast<G_ActionMovie *>(action)) {
            // An outside player cannot be stopped or paused from here.
            if (movie->GetOperator() != G_ActionMovie::Play)
                return false;
            resourceID = movie->ResourceID();
        } else {
            return false;
        }
        G_MultiMediaInfo info;
        if (!document || !document->MultiMediaInfo(resourceID, info))
            return false;
        const QString name = EmbeddedName(FromUtf8(info.filePath), QStringLiteral("media-%1").arg(resourceID),
                                          FromUtf8(info.format));
        return OpenEmbeddedFile(name, document->MultiMediaData(resourceID));
    }
    default:
        return false;
    }
}

QUrl G_ActionHandler::UrlFromURIText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QRegularExpression(QStringLiteral("\\s"))))
        return QUrl();
    static const QRegularExpression schemePattern(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    static const QRegularExpression hostPortPattern(QStringLiteral("^[^/:@]+:\\d+(/|$)"));
    const QRegularExpressionMatch scheme = schemePattern.match(trimmed);
    QUrl url;
    if (scheme.hasMatch() && !hostPortPattern.match(trimmed).hasMatch()) {
        if (!IsAllowedScheme(scheme.captured(1)))
            return QUrl();
        url = QUrl(trimmed, QUrl::StrictMode);
    } else {
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::StrictMode);
        if (url.host().isEmpty())
            return QUrl();
    }
    if (!url.isValid())
        return QUrl();
    if (url.isLocalFile() && !IsOpenableFileName(url.toLocalFile()))
        return QUrl();
    return url;
}

bool G_ActionHandler::IsOpenableFileName(const QString &fileName)
{
    static const QStringList refused = {
        QStringLiteral("exe"), QStringLiteral("com"), QStringLiteral("bat"), QStringLiteral("cmd"),
        QStringLiteral("msi"), QStringLiteral("scr"), QStringLiteral("pif"), QStringLiteral("cpl"),
        QStringLiteral("ps1"), QStringLiteral("vbs"), QStringLiteral("vbe"), QStringLiteral("js"),
        QStringLiteral("jse"), QStringLiteral("wsf"), QStringLiteral("wsh"), QStringLiteral("hta"),
        QStringLiteral("lnk"), QStringLiteral("reg"), QStringLiteral("jar"), QStringLiteral("sh"),
        QStringLiteral("bash"), QStringLiteral("csh"), QStringLiteral("zsh"), QStringLiteral("ksh"),
        QStringLiteral("run"), QStringLiteral("bin"), QStringLiteral("desktop"), QStringLiteral("appimage"),
        QStringLiteral("deb"), QStringLiteral("rpm"), QStringLiteral("py"), QStringLiteral("pl"),
        QStringLiteral("rb"), QStringLiteral("app"), QStringLiteral("command"), QStringLiteral("so"),
        QStringLiteral("dll"), QStringLiteral("dylib")};
    const QFileInfo info(fileName);
    if (refused.contains(info.suffix().toLower()))
        return false;
    // An existing local file with the execute bit is a program whatever its name says.
    return !(info.exists() && info.isFile() && info.isExecutable());
}

QString G_ActionHandler::TempFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QStringLiteral("/ofdreader-embedded");
}

bool G_ActionHandler::OpenEmbeddedFile(const QString &fileName, const QByteArray &data)
{
    if (data.isEmpty() || fileName.isEmpty() || !IsOpenableFileName(fileName))
        return false;
    const QString folder = TempFolder();
    if (!QDir().mkpath(folder))
        return false;
    const QString path = folder + QLatin1Char('/') + fileName;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(data);
    if (!file.commit())
        return false;
    // Never executable, whatever permissions a file of that name had before.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return OpenUrl(QUrl::fromLocalFile(path));
}

bool G_ActionHandler::OpenUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
