#include "operations/interceptname.h"

#include "uiframework/g_operation.h"

#include <QString>
#include <QStringList>

bool IsInterceptName(const G_Operation *operation, const char *name)
{
    if (!operation)
        return false;
    const QStringList parts = QString::fromLatin1(operation->Name()).split(QLatin1Char('/'));
    if (parts.isEmpty())
        return false;
    return parts.last().toLower() == QLatin1String(name);
}
