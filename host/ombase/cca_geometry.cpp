#include "cca_geometry.h"

#include <algorithm>
#include <cmath>

bool CCA_GRect::IsFinite() const
{
    return std::isfinite(left) && std::isfinite(top) && std::isfinite(right) && std::isfinite(bottom)
        && std::isfinite(right - left) && std::isfinite(bottom - top);
}

bool CCA_Matrix::IsFinite() const
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e)
        && std::isfinite(f);
}

void CCA_GRect::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

bool CCA_GRect::Contains(const CCA_GPoint &p) const
{
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

bool CCA_GRect::RectInRect(const CCA_GRect &inner) const
{
    return inner.left >= left && inner.right <= right && inner.top >= top && inner.bottom <= bottom;
}

CCA_GRect CCA_GRect::United(const CCA_GRect &o) const
{
    return CCA_GRect(std::min(left, o.left), std::min(top, o.top),
                     std::max(right, o.right), std::max(bottom, o.bottom));
}

void CCA_GRect::Offset(float dx, float dy)
{
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

CCA_GPoint CCA_Matrix::Map(const CCA_GPoint &p) const
{
    return CCA_GPoint(a * p.x + c * p.y + e, b * p.x + d * p.y + f);
}

CCA_Matrix CCA_Matrix::Concat(const CCA_Matrix &next) const
{
    // Row-vector convention: p * this * next.
    return CCA_Matrix(a * next.a + b * next.c, a * next.b + b * next.d,
                      c * next.a + d * next.c, c * next.b + d * next.d,
                      e * next.a + f * next.c + next.e, e * next.b + f * next.d + next.f);
}

void GetRGBValue(uint32_t value, uint8_t &red, uint8_t &green, uint8_t &blue)
{
    red = uint8_t(value & 0xff);
    green = uint8_t((value >> 8) & 0xff);
    blue = uint8_t((value >> 16) & 0xff);
}
