#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>

// Scene coordinates stay within this distance of the origin, so that the sum or difference of
// two still fits an int.
constexpr int GQ_MaxSceneCoordinate = 1 << 29;
// The nearest scene coordinate, clamped to the range above; NaN gives 0.
int GQ_RoundCoordinate(double value);

CCA_Point GQ_ToCAPoint(const QPoint &point);
CCA_Rect GQ_ToCARect(const QRect &rect);
// `local8Bit` false writes UTF-8 (the only form the host stores).
CCA_String GQ_ToCAS(const QString &text, bool local8Bit = false);
QPoint GQ_ToQPoint(const CCA_Point &point);
// Coordinates beyond the scene's range are clamped to it.
QRect GQ_ToQRect(const CCA_Rect &rect);
QRectF GQ_ToQRectF(const CCA_GRect &rect);
QString GQ_ToQStringFromUtf8(const CCA_String &text);
