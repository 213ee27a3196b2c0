#include "ofd_packagepath.h"

#include <QStringList>

#include <algorithm>
#include <array>

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
    return folder.isEmpty() || (folder.back() == QLatin1Char('/') && IsPlain(folder.constData(), folder.size() - 1));
}

// A segment that is a name, not empty, "." or "..".
bool IsName(const char *from, const char *to)
{
    return to > from && !(from[0] == '.' && (to - from == 1 || (to - from == 2 && from[1] == '.')));
}

// What each byte of a location is to the check below.
enum PathByte : uchar { Other, NameByte, Slash };

constexpr std::array<uchar, 256> PathBytes()
{
    std::array<uchar, 256> kinds{};
    for (int c = '!'; c <= '~'; ++c)
        kinds[size_t(c)] = c == '/' ? Slash : c == '\\' ? Other : NameByte;
    return kinds;
}

constexpr std::array<uchar, 256> kPathBytes = PathBytes();

// A relative location of plain names in printable ASCII without spaces or backslashes: one
// that trimming, turning separators and resolving leave as it is.
bool IsPlainAscii(std::string_view location)
{
    const char *at = location.data();
    const char *const end = at + location.size();
    const char *segment = at;
    for (; at != end; ++at) {
        const uchar kind = kPathBytes[uchar(*at)];
        if (kind == NameByte)
            continue;
        if (kind != Slash || !IsName(segment, at))
            return false;
        segment = at + 1;
    }
    return IsName(segment, end);
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

void OFD_PackagePath::Resolve(const QString &baseFolder, std::string_view location, QString &path)
{
    if (!IsPlainAscii(location) || !IsPlainFolder(baseFolder)) {
        path = Resolve(baseFolder, QString::fromUtf8(location.data(), int(location.size())));
        return;
    }
    const int folder = baseFolder.size();
    path.resize(folder + int(location.size()));
    QChar *out = path.data();
    std::copy(baseFolder.cbegin(), baseFolder.cend(), out);
    std::transform(location.cbegin(), location.cend(), out + folder, [](char c) { return QLatin1Char(c); });
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
