#include "ofd_packagepath.h"

#include <QStringList>

namespace {

// Segments that are all names: none empty, "." or "..".
bool IsPlain(const QChar *path, int size)
{
    int start = 0;
    while (start <= size) {
        int end = start;
        while (end < size && path[end] != QLatin1Char('/'))
            ++end;
        const int length = end - start;
        if (length == 0 || (path[start] == QLatin1Char('.') && (length == 1 || (length == 2 && path[start + 1] == QLatin1Char('.')))))
            return false;
        start = end + 1;
    }
    return true;
}

// A folder that needs no taking apart: the root, or plain names each ending in "/".
bool IsPlainFolder(const QString &folder)
{
    return folder.isEmpty() || (folder.endsWith(QLatin1Char('/')) && IsPlain(folder.constData(), folder.size() - 1));
}

// A relative location of plain names in printable ASCII without spaces or backslashes: one
// that trimming, turning separators and resolving leave as it is.
bool IsPlainAscii(std::string_view location)
{
    if (location.empty() || location.front() == '/')
        return false;
    size_t start = 0;
    for (size_t i = 0; i <= location.size(); ++i) {
        if (i < location.size() && location[i] != '/') {
            const char c = location[i];
            if (c <= ' ' || c > '~' || c == '\\')
                return false;
            continue;
        }
        const size_t length = i - start;
        if (length == 0 || (location[start] == '.' && (length == 1 || (length == 2 && location[start + 1] == '.'))))
            return false;
        start = i + 1;
    }
    return true;
}

} // namespace

QString OFD_PackagePath::Resolve(const QString &baseFolder, const QString &location)
{
    QString loc = location.trimmed();
    loc.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (loc.isEmpty())
        return QString();
    const bool absolute = loc.startsWith(QLatin1Char('/'));
    // Most locations are plain relative names under a plain folder: no need to take them apart.
    if (!absolute && IsPlain(loc.constData(), loc.size()) && IsPlainFolder(baseFolder))
        return baseFolder + loc;
    QStringList parts;
    if (!absolute)
        parts = baseFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList steps = loc.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        if (step == QLatin1String("."))
            continue;
        if (step == QLatin1String("..")) {
            if (parts.isEmpty())
                return QString();
            parts.removeLast();
            continue;
        }
        parts.append(step);
    }
    if (parts.isEmpty() || loc.endsWith(QLatin1Char('/')))
        return QString();
    return parts.join(QLatin1Char('/'));
}

QString OFD_PackagePath::Resolve(const QString &baseFolder, std::string_view location)
{
    if (!IsPlainAscii(location) || !IsPlainFolder(baseFolder))
        return Resolve(baseFolder, QString::fromUtf8(location.data(), int(location.size())));
    QString path;
    path.reserve(baseFolder.size() + int(location.size()));
    path.append(baseFolder).append(QLatin1String(location.data(), int(location.size())));
    return path;
}

QString OFD_PackagePath::Folder(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString OFD_PackagePath::LocationFrom(const QString &baseFolder, const QString &path)
{
    if (!baseFolder.isEmpty() && path.startsWith(baseFolder) && path.size() > baseFolder.size())
        return path.mid(baseFolder.size());
    if (baseFolder.isEmpty())
        return path;
    return QLatin1Char('/') + path;
}
