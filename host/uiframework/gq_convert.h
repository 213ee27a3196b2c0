#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QString>

CCA_Point GQ_ToCAPoint(const QPoint &point);
CCA_Rect GQ_ToCARect(const QRect &rect);
// `local8Bit` false writes UTF-8 (the only form the host stores).
CCA_String GQ_ToCAS(const QString &text, bool local8Bit = false);
QPoint GQ_ToQPoint(const CCA_Point &point);
QRect GQ_ToQRect(const CCA_Rect &rect);
QRectF GQ_ToQRectF(const CCA_GRect &rect);
QString GQ_ToQStringFromUtf8(const CCA_String &text);
