#include "gq_convert.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

int GQ_RoundCoordinate(double value)
{
    if (std::isnan(value))
        return 0;
    const double limit = GQ_MaxSceneCoordinate;
    // Halves round up, as qRound does.
    return int(std::floor(std::clamp(value, -limit, limit) + 0.5));
}

CCA_Point GQ_ToCAPoint(const QPoint &point)
{
    return CCA_Point(point.x(), point.y());
}

// QRect's right() is inclusive; CCA_Rect's right is one past the last pixel.
CCA_Rect GQ_ToCARect(const QRect &rect)
{
    return CCA_Rect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
}

CCA_String GQ_ToCAS(const QString &text, bool local8Bit)
{
    const QByteArray bytes = local8Bit ? text.toLocal8Bit() : text.toUtf8();
    return CCA_String(bytes.constData(), bytes.size());
}

QPoint GQ_ToQPoint(const CCA_Point &point)
{
    return QPoint(point.x, point.y);
}

QRect GQ_ToQRect(const CCA_Rect &rect)
{
    auto clamp = [](int value) { return std::clamp(value, -GQ_MaxSceneCoordinate, GQ_MaxSceneCoordinate); };
    const int left = clamp(rect.left), top = clamp(rect.top);
    return QRect(left, top, clamp(rect.right) - left, clamp(rect.bottom) - top);
}

QRectF GQ_ToQRectF(const CCA_GRect &rect)
{
    return QRectF(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

QString GQ_ToQStringFromUtf8(const CCA_String &text)
{
    return QString::fromUtf8(text.c_str(), text.GetLength());
}
