#include "ofd_packagepath.h"

#include <QStringList>

QString OFD_PackagePath::Resolve(const QString &baseFolder, const QString &location)
{
    QString loc = location.trimmed();
    loc.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (loc.isEmpty())
        return QString();
    const bool absolute = loc.startsWith(QLatin1Char('/'));
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
