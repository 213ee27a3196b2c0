#include "g_actionhandler.h"

#include "g_docview.h"
#include "g_uicontext.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ofd_utf8.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

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

// A name without an extension gets the format as one, so that the system knows what opens it.
QString EmbeddedName(const QString &name, const QString &fallbackStem, const QString &format)
{
    QString safe = SafeFileName(name);
    if (safe.isEmpty())
        safe = fallbackStem;
    const QString suffix = SafeFileName(format).toLower();
    if (!suffix.isEmpty() && !safe.contains(QLatin1Char('.')))
        safe += QLatin1Char('.') + suffix;
    return safe;
}

// Characters that do not show, or that turn the text around ("\u202e"), hide what a name is.
bool IsHiddenCharacter(uint ucs4)
{
    const QChar::Category category = QChar::category(ucs4);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

bool HasHiddenCharacters(const QString &text)
{
    const QVector<uint> points = text.toUcs4();
    return std::any_of(points.begin(), points.end(), IsHiddenCharacter);
}

// The name as a desktop reads it: hidden characters gone, trailing dots and spaces
// dropped (Windows ignores them), in lower case.
QString NormalisedFileName(const QString &fileName)
{
    QString name;
    for (uint point : fileName.toUcs4()) {
        if (!IsHiddenCharacter(point))
            name += QString::fromUcs4(&point, 1);
    }
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    while (!name.isEmpty() && (name.endsWith(QLatin1Char('.')) || name.back().isSpace()))
        name.chop(1);
    return name.toCaseFolded();
}

// "notes.txt", then "notes (2).txt", "notes (3).txt", ...
QString NumberedName(const QString &name, int number)
{
    if (number < 2)
        return name;
    const int dot = name.indexOf(QLatin1Char('.'), 1);
    const QString tag = QStringLiteral(" (%1)").arg(number);
    return dot < 0 ? name + tag : name.left(dot) + tag + name.mid(dot);
}

// A new file that nothing else could have prepared: never an existing name, never through a
// link. `taken` tells that the name was in use.
bool WriteNewFile(const QString &path, const QByteArray &data, bool *taken)
{
    QFile file;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    *taken = fd < 0 && errno == EEXIST;
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
#else
    file.setFileName(path);
    *taken = QFileInfo::exists(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
#endif
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    if (!written)
        QFile::remove(path);
    return written;
}

bool IsAllowedScheme(const QString &scheme)
{
    static const QStringList allowed = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                                        QStringLiteral("ftp"), QStringLiteral("file")};
    return allowed.contains(scheme.toLower());
}

} // namespace

G_ActionHandler::G_ActionHandler(G_UIContext *context)
    : m_context(context)
{
}

// The private folder and what was opened from it go with the handler.
G_ActionHandler::~G_ActionHandler() = default;

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
        const QUrl url = UrlFromURIText(OFD_FromUtf8(uriAction->URI()));
        if (!url.isValid())
            return false;
        return url.isLocalFile() ? OpenLocalFile(url) : OpenUrl(url);
    }
    case G_ActionType_GotoA: {
        auto *attachAction = dynamic_cast<G_ActionGotoA *>(action);
        if (!attachAction || !document)
            return false;
        const int index = document->AttachmentIndexByID(attachAction->AttachID());
        G_AttachmentInfo info;
        if (index < 0 || !document->AttachmentInfo(index, info))
            return false;
        const QString name = EmbeddedName(OFD_FromUtf8(info.name),
                                          QStringLiteral("attachment-%1").arg(attachAction->AttachID()),
                                          OFD_FromUtf8(info.format));
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
        const QString name = EmbeddedName(OFD_FromUtf8(info.filePath), QStringLiteral("media-%1").arg(resourceID),
                                          OFD_FromUtf8(info.format));
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
    if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0) {
        // Another host's share would be reached over the network, with the user's credentials.
        if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return QUrl();
        url.setHost(QString());
        if (!url.isLocalFile() || !IsOpenableFileName(url.toLocalFile()))
            return QUrl();
    } else if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0 && url.hasQuery()) {
        // Fields such as "attach" would have the mail program send the user's files.
        static const QStringList kept = {QStringLiteral("to"), QStringLiteral("cc"), QStringLiteral("bcc"),
                                         QStringLiteral("subject"), QStringLiteral("body")};
        QUrlQuery query;
        for (const auto &item : QUrlQuery(url).queryItems(QUrl::FullyEncoded)) {
            if (kept.contains(QUrl::fromPercentEncoding(item.first.toUtf8()).toLower()))
                query.addQueryItem(item.first, item.second);
        }
        if (query.isEmpty())
            url.setQuery(QString());
        else
            url.setQuery(query);
    }
    return url;
}

bool G_ActionHandler::IsOpenableFileName(const QString &fileName)
{
    static const QStringList refused = QStringLiteral(
        "exe com bat cmd msi scr pif cpl ps1 vbs vbe js jse wsf wsh hta lnk reg jar sh bash csh zsh ksh run bin "
        "desktop appimage deb rpm py pl rb app command so dll dylib chm url jnlp pyw msc scf library-ms msp psm1 vb "
        "ws inf gadget application appref-ms settingcontent-ms xbap").split(QLatin1Char(' '));
    const QString name = NormalisedFileName(fileName);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && refused.contains(name.mid(dot + 1)))
        return false;
    const QFileInfo info(fileName);
    // An existing local file with the execute bit is a program whatever its name says.
    return !(info.exists() && info.isFile() && info.isExecutable());
}

bool G_ActionHandler::IsOpenableLocalFile(const QString &path)
{
    // A name that hides characters could not be shown to the user truthfully.
    if (path.isEmpty() || HasHiddenCharacters(path))
        return false;
    const QFileInfo info(path);
    // Directories, devices, pipes and sockets are not files to open.
    if (!info.exists() || !info.isFile())
        return false;
    const QString real = info.canonicalFilePath();
    for (const char *tree : {"/proc/", "/sys/", "/dev/"}) {
        if (real.isEmpty() || real.startsWith(QLatin1String(tree)))
            return false;
    }
    return IsOpenableFileName(path) && IsOpenableFileName(real);
}

QString G_ActionHandler::EmbeddedFolder()
{
    if (!m_embedded) {
        // Per user: the runtime folder when the session has one, otherwise the cache.
        const QString base = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")
            ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
            : QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (base.isEmpty() || !QDir().mkpath(base))
            return QString();
        auto folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/ofdreader-embedded-XXXXXX"));
        if (!folder->isValid()
            || !QFile::setPermissions(folder->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
            return QString();
        m_embedded = std::move(folder);
    }
    return m_embedded->path();
}

bool G_ActionHandler::OpenEmbeddedFile(const QString &fileName, const QByteArray &data)
{
    if (data.isEmpty() || fileName.isEmpty() || !IsOpenableFileName(fileName))
        return false;
    const QString folder = EmbeddedFolder();
    if (folder.isEmpty())
        return false;
    // A file opened before may still be in use: each opening gets a file of its own.
    for (int number = 1; number <= 1000; ++number) {
        const QString path = folder + QLatin1Char('/') + NumberedName(fileName, number);
        bool taken = false;
        if (WriteNewFile(path, data, &taken))
            return OpenUrl(QUrl::fromLocalFile(path));
        if (!taken)
            return false;
    }
    return false;
}

bool G_ActionHandler::OpenLocalFile(const QUrl &url)
{
    const QString path = url.toLocalFile();
    if (!m_context || !IsOpenableLocalFile(path))
        return false;
    // The file that would really open, links followed.
    const QString real = QFileInfo(path).canonicalFilePath();
    const int answer = m_context->ShowMessageBox(
        QCoreApplication::translate("G_ActionHandler", "Open file"),
        QCoreApplication::translate("G_ActionHandler", "This link opens the file \"%1\" on this computer. Open it?").arg(QDir::toNativeSeparators(real)),
        QMessageBox::Open | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Open && OpenUrl(QUrl::fromLocalFile(real));
}

bool G_ActionHandler::OpenUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
