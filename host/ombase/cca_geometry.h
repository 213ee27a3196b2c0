#pragma once

#include <cstdint>

// Integer point: scene pixels of a document view.
struct CCA_Point
{
    int x = 0;
    int y = 0;
    CCA_Point() = default;
    CCA_Point(int px, int py) : x(px), y(py) {}
    bool operator==(const CCA_Point &o) const { return x == o.x && y == o.y; }
    bool operator!=(const CCA_Point &o) const { return !(*this == o); }
};

// Document point: millimetres from a page's top-left corner, y downwards.
struct CCA_GPoint
{
    float x = 0;
    float y = 0;
    CCA_GPoint() = default;
    CCA_GPoint(float px, float py) : x(px), y(py) {}
    bool operator==(const CCA_GPoint &o) const { return x == o.x && y == o.y; }
    bool operator!=(const CCA_GPoint &o) const { return !(*this == o); }
};

// Integer rectangle as left, top, right, bottom (right and bottom exclusive).
struct CCA_Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    CCA_Rect() = default;
    CCA_Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const CCA_Rect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Document rectangle as left, top, right, bottom in millimetres.
struct CCA_GRect
{
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
    CCA_GRect() = default;
    CCA_GRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Edges and extents are all finite numbers.
    bool IsFinite() const;
    void Normalize();
    bool Contains(const CCA_GPoint &p) const;
    // True when `inner` lies wholly inside this rectangle (edges included).
    bool RectInRect(const CCA_GRect &inner) const;
    CCA_GRect United(const CCA_GRect &o) const;
    void Offset(float dx, float dy);
    bool operator==(const CCA_GRect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CCA_GRect &o) const { return !(*this == o); }
};

// Affine matrix a b c d e f: x' = a x + c y + e, y' = b x + d y + f.
struct CCA_Matrix
{
    float a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    CCA_Matrix() = default;
    CCA_Matrix(float pa, float pb, float pc, float pd, float pe, float pf)
        : a(pa), b(pb), c(pc), d(pd), e(pe), f(pf) {}
    bool IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }
    bool IsFinite() const;
    CCA_GPoint Map(const CCA_GPoint &p) const;
    // this followed by `next`
    CCA_Matrix Concat(const CCA_Matrix &next) const;
    bool operator==(const CCA_Matrix &o) const
    {
        return a == o.a && b == o.b && c == o.c && d == o.d && e == o.e && f == o.f;
    }
    bool operator!=(const CCA_Matrix &o) const { return !(*this == o); }
};

// Packed colour (red in bits 0-7, green 8-15, blue 16-23) to its bytes.
void GetRGBValue(uint32_t value, uint8_t &red, uint8_t &green, uint8_t &blue);
