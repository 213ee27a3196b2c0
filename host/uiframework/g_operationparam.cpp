#include "g_operationparam.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsPoint(const QVariant &value)
{
    return value.userType() == qMetaTypeId<CCA_Point>();
}

bool IsGPoint(const QVariant &value)
{
    return value.userType() == qMetaTypeId<CCA_GPoint>();
}

bool IsFloating(const QVariant &value)
{
    return value.userType() == QMetaType::Float || value.userType() == QMetaType::Double;
}

bool IsIntegral(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Shortest text that reads back as the same float: 0.1f gives "0.1", not "0.100000001".
QString FloatText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

} // namespace

void G_OperationParam::Add(const QString &key, bool value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, int value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, unsigned value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, float value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, double value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, const QString &value)
{
    m_values.insert(key, QVariant(value));
}

void G_OperationParam::Add(const QString &key, const char *value)
{
    m_values.insert(key, QVariant(QString::fromUtf8(value)));
}

void G_OperationParam::Add(const QString &key, const CCA_Point &value)
{
    m_values.insert(key, QVariant::fromValue(value));
}

void G_OperationParam::Add(const QString &key, const CCA_GPoint &value)
{
    m_values.insert(key, QVariant::fromValue(value));
}

void G_OperationParam::AddValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
}

void G_OperationParam::Merge(const G_OperationParam &other)
{
    for (auto it = other.m_values.cbegin(); it != other.m_values.cend(); ++it)
        m_values.insert(it.key(), it.value());
}

bool G_OperationParam::Contains(const QString &key) const
{
    return m_values.contains(key);
}

void G_OperationParam::Remove(const QString &key)
{
    m_values.remove(key);
}

void G_OperationParam::Clear()
{
    m_values.clear();
}

QStringList G_OperationParam::Keys() const
{
    QStringList keys = m_values.keys();
    keys.sort();
    return keys;
}

QVariant G_OperationParam::Value(const QString &key) const
{
    return m_values.value(key);
}

bool G_OperationParam::GetBool(const QString &key, bool def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    const QVariant &value = *it;
    if (IsIntegral(value))
        return value.toLongLong() != 0;
    if (IsFloating(value))
        return value.toDouble() != 0;
    if (value.userType() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
    }
    return def;
}

int G_OperationParam::GetInt32(const QString &key, int def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    const QVariant &value = *it;
    if (IsIntegral(value) || IsFloating(value)) {
        const double number = IsFloating(value) ? std::round(value.toDouble()) : value.toDouble();
        if (!std::isfinite(number) || number < std::numeric_limits<int>::min()
            || number > std::numeric_limits<int>::max())
            return def;
        return int(number);
    }
    if (value.userType() == QMetaType::QString) {
        bool ok = false;
        const int number = value.toString().toInt(&ok, 10);
        return ok ? number : def;
    }
    return def;
}

float G_OperationParam::GetFloat(const QString &key, float def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    const QVariant &value = *it;
    if (IsIntegral(value) || IsFloating(value))
        return float(value.toDouble());
    if (value.userType() == QMetaType::QString) {
        bool ok = false;
        const float number = value.toString().toFloat(&ok);
        return ok ? number : def;
    }
    return def;
}

QString G_OperationParam::GetQString(const QString &key, const QString &def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    const QVariant &value = *it;
    switch (value.userType()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Float:
        return FloatText(value.toFloat());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        break;
    }
    if (IsPoint(value)) {
        const CCA_Point p = value.value<CCA_Point>();
        return QStringLiteral("%1,%2").arg(p.x).arg(p.y);
    }
    if (IsGPoint(value)) {
        const CCA_GPoint p = value.value<CCA_GPoint>();
        return FloatText(p.x) + QLatin1Char(',') + FloatText(p.y);
    }
    return def;
}

CCA_Point G_OperationParam::GetPoint(const QString &key, const CCA_Point &def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    if (IsPoint(*it))
        return it->value<CCA_Point>();
    if (IsGPoint(*it)) {
        const CCA_GPoint p = it->value<CCA_GPoint>();
        return CCA_Point(int(std::lround(p.x)), int(std::lround(p.y)));
    }
    return def;
}

CCA_GPoint G_OperationParam::GetGPoint(const QString &key, const CCA_GPoint &def) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return def;
    if (IsGPoint(*it))
        return it->value<CCA_GPoint>();
    if (IsPoint(*it)) {
        const CCA_Point p = it->value<CCA_Point>();
        return CCA_GPoint(float(p.x), float(p.y));
    }
    return def;
}
