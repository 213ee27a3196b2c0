#pragma once

#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"

#include <QString>
#include <QtTest>

// A closed rectangle drawn clockwise from its top-left corner.
inline CCA_Path RectPath(float l, float t, float r, float b)
{
    CCA_Path path;
    path.MoveTo(l, t);
    path.LineTo(r, t);
    path.LineTo(r, b);
    path.LineTo(l, b);
    path.CloseFigure();
    return path;
}

inline QString RectText(const CCA_GRect &r)
{
    return QString("(%1, %2, %3, %4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

// Geometry goes through single-precision steps, so values come back within a few ulps.
#define COMPARE_RECT(actual, expected)                                                                  \
    do {                                                                                                \
        const CCA_GRect a_ = (actual), e_ = (expected);                                                 \
        QVERIFY2(qAbs(a_.left - e_.left) < 1e-3f && qAbs(a_.top - e_.top) < 1e-3f                      \
                     && qAbs(a_.right - e_.right) < 1e-3f && qAbs(a_.bottom - e_.bottom) < 1e-3f,      \
                 qPrintable(RectText(a_) + " instead of " + RectText(e_)));                              \
    } while (false)
