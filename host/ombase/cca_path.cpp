#include "cca_path.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double Pi = 3.14159265358979323846;

bool AngleInSweep(const CCA_Path::ArcCentre &a, double theta)
{
    double d = a.delta >= 0 ? theta - a.theta1 : a.theta1 - theta;
    d = std::fmod(d, 2 * Pi);
    if (d < 0)
        d += 2 * Pi;
    return d <= std::fabs(a.delta);
}

struct Box
{
    bool empty = true;
    double l = 0, t = 0, r = 0, b = 0;
    void Add(double x, double y)
    {
        if (empty) {
            l = r = x;
            t = b = y;
            empty = false;
            return;
        }
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
    }
};

CCA_Path::Segment MakeSegment(CCA_Path::SegmentType type, std::initializer_list<float> values)
{
    CCA_Path::Segment s;
    s.type = type;
    std::copy(values.begin(), values.end(), s.v);
    return s;
}

// Calls `f(x, y)` on each point a segment keeps: its control points, then its end point.
// An arc's only point is its end; its radii and angle are no points.
template <class S, class F>
void ForEachPoint(S &s, F f)
{
    if (s.type == CCA_Path::Arc) {
        f(s.v[5], s.v[6]);
        return;
    }
    const int pairs = s.type == CCA_Path::Cubic ? 3 : s.type == CCA_Path::Quad ? 2 : s.type == CCA_Path::Close ? 0 : 1;
    for (int i = 0; i < pairs; ++i)
        f(s.v[2 * i], s.v[2 * i + 1]);
}

void AddArc(Box &box, double x0, double y0, const CCA_Path::Segment &s)
{
    box.Add(s.v[5], s.v[6]);
    CCA_Path::ArcCentre a;
    if (!CCA_Path::ArcToCentre(x0, y0, s, a))
        return;
    const double cp = std::cos(a.phi), sp = std::sin(a.phi);
    const double tx = std::atan2(-a.ry * sp, a.rx * cp);
    const double ty = std::atan2(a.ry * cp, a.rx * sp);
    for (double theta : {tx, tx + Pi, ty, ty + Pi}) {
        if (!AngleInSweep(a, theta))
            continue;
        const double c = std::cos(theta), s2 = std::sin(theta);
        box.Add(a.cx + a.rx * c * cp - a.ry * s2 * sp, a.cy + a.rx * c * sp + a.ry * s2 * cp);
    }
}

} // namespace

bool CCA_Path::ArcToCentre(double x0, double y0, const Segment &s, ArcCentre &out)
{
    const double x1 = s.v[5], y1 = s.v[6];
    double rx = std::fabs(double(s.v[0])), ry = std::fabs(double(s.v[1]));
    if ((x0 == x1 && y0 == y1) || rx == 0 || ry == 0 || !std::isfinite(rx) || !std::isfinite(ry))
        return false;
    const double phi = double(s.v[2]) * Pi / 180.0;
    const double cp = std::cos(phi), sp = std::sin(phi);
    const double dx = (x0 - x1) / 2, dy = (y0 - y1) / 2;
    const double xp = cp * dx + sp * dy, yp = -sp * dx + cp * dy;
    const double lambda = xp * xp / (rx * rx) + yp * yp / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * yp * yp - ry * ry * xp * xp;
    const double den = rx * rx * yp * yp + ry * ry * xp * xp;
    double coef = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0;
    const bool large = s.v[3] != 0, sweep = s.v[4] != 0;
    if (large == sweep)
        coef = -coef;
    const double cxp = coef * rx * yp / ry, cyp = -coef * ry * xp / rx;
    out.cx = cp * cxp - sp * cyp + (x0 + x1) / 2;
    out.cy = sp * cxp + cp * cyp + (y0 + y1) / 2;
    out.rx = rx;
    out.ry = ry;
    out.phi = phi;
    out.theta1 = std::atan2((yp - cyp) / ry, (xp - cxp) / rx);
    double theta2 = std::atan2((-yp - cyp) / ry, (-xp - cxp) / rx);
    double delta = theta2 - out.theta1;
    if (sweep && delta < 0)
        delta += 2 * Pi;
    else if (!sweep && delta > 0)
        delta -= 2 * Pi;
    out.delta = delta;
    return std::isfinite(out.cx) && std::isfinite(out.cy) && std::isfinite(delta);
}

bool CCA_Path::Segment::operator==(const Segment &o) const
{
    if (type != o.type)
        return false;
    for (int i = 0; i < 7; ++i)
        if (v[i] != o.v[i])
            return false;
    return true;
}

void CCA_Path::MoveTo(float x, float y)
{
    m_segments.push_back(MakeSegment(Move, {x, y}));
}

void CCA_Path::LineTo(float x, float y)
{
    m_segments.push_back(MakeSegment(Line, {x, y}));
}

void CCA_Path::QuadTo(float x1, float y1, float x, float y)
{
    m_segments.push_back(MakeSegment(Quad, {x1, y1, x, y}));
}

void CCA_Path::BezierTo(float x1, float y1, float x2, float y2, float x, float y)
{
    m_segments.push_back(MakeSegment(Cubic, {x1, y1, x2, y2, x, y}));
}

void CCA_Path::ArcTo(float rx, float ry, float angle, bool large, bool sweep, float x, float y)
{
    m_segments.push_back(MakeSegment(Arc, {rx, ry, angle, large ? 1.0f : 0.0f, sweep ? 1.0f : 0.0f, x, y}));
}

void CCA_Path::CloseFigure()
{
    m_segments.push_back(MakeSegment(Close, {}));
}

void CCA_Path::Append(const CCA_Path &other)
{
    m_segments.insert(m_segments.end(), other.m_segments.begin(), other.m_segments.end());
}

bool CCA_Path::IsRect() const
{
    const int n = SegmentCount();
    if ((n != 5 && n != 6) || m_segments.front().type != Move || m_segments.back().type != Close)
        return false;
    for (int i = 1; i < n - 1; ++i)
        if (m_segments[size_t(i)].type != Line)
            return false;
    CCA_GPoint p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = CCA_GPoint(m_segments[size_t(i)].v[0], m_segments[size_t(i)].v[1]);
    // A fourth line must come back to the start.
    if (n == 6 && CCA_GPoint(m_segments[4].v[0], m_segments[4].v[1]) != p[0])
        return false;
    const bool horizontalFirst = p[0].y == p[1].y && p[1].x == p[2].x && p[2].y == p[3].y && p[3].x == p[0].x;
    const bool verticalFirst = p[0].x == p[1].x && p[1].y == p[2].y && p[2].x == p[3].x && p[3].y == p[0].y;
    if (!horizontalFirst && !verticalFirst)
        return false;
    return p[0].x != p[2].x && p[0].y != p[2].y;
}

CCA_GRect CCA_Path::BoundingBox() const
{
    Box box;
    double cx = 0, cy = 0, sx = 0, sy = 0;
    for (const Segment &s : m_segments) {
        if (s.type == Arc)
            AddArc(box, cx, cy, s);
        else
            ForEachPoint(s, [&box](float x, float y) { box.Add(x, y); });
        if (s.type == Move) {
            sx = s.v[0];
            sy = s.v[1];
        }
        if (s.type == Close) {
            cx = sx;
            cy = sy;
        } else {
            ForEachPoint(s, [&cx, &cy](float x, float y) { cx = x, cy = y; });
        }
    }
    if (box.empty)
        return CCA_GRect();
    return CCA_GRect(float(box.l), float(box.t), float(box.r), float(box.b));
}

void CCA_Path::Translate(float dx, float dy)
{
    for (Segment &s : m_segments)
        ForEachPoint(s, [dx, dy](float &x, float &y) { x += dx, y += dy; });
}

void CCA_Path::Transform(const CCA_Matrix &m)
{
    auto map = [&m](float &x, float &y) {
        const CCA_GPoint p = m.Map(CCA_GPoint(x, y));
        x = p.x;
        y = p.y;
    };
    for (Segment &s : m_segments) {
        if (s.type == Arc) {
            // The ellipse's axes through the matrix, split again into rotation and radii
            // (2x2 singular value decomposition); a mirroring matrix reverses the sweep.
            const double phi = double(s.v[2]) * Pi / 180.0;
            const double cp = std::cos(phi), sp = std::sin(phi);
            const double rx = std::fabs(double(s.v[0])), ry = std::fabs(double(s.v[1]));
            const double m00 = (m.a * cp + m.c * sp) * rx, m01 = (-m.a * sp + m.c * cp) * ry;
            const double m10 = (m.b * cp + m.d * sp) * rx, m11 = (-m.b * sp + m.d * cp) * ry;
            const double e = (m00 + m11) / 2, f = (m00 - m11) / 2;
            const double g = (m10 + m01) / 2, h = (m10 - m01) / 2;
            const double q = std::hypot(e, h), r = std::hypot(f, g);
            const double a1 = std::atan2(g, f), a2 = std::atan2(h, e);
            const double sy = q - r;
            s.v[0] = float(q + r);
            s.v[1] = float(std::fabs(sy));
            s.v[2] = float((a2 + a1) / 2 * 180.0 / Pi);
            if (double(m.a) * m.d - double(m.b) * m.c < 0)
                s.v[4] = s.v[4] != 0 ? 0 : 1;
        }
        ForEachPoint(s, map);
    }
}
