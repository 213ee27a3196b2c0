#pragma once

#include "cca_geometry.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// A path as a list of segments in document units. Curves and arcs are kept as
// given so that the OFD path text round-trips.
class CCA_Path
{
public:
    enum SegmentType { Move, Line, Quad, Cubic, Arc, Close };

    struct Segment
    {
        SegmentType type = Move;
        // Move/Line: x y. Quad: x1 y1 x y. Cubic: x1 y1 x2 y2 x y.
        // Arc: rx ry angle large(0/1) sweep(0/1) x y.
        float v[7] = {0, 0, 0, 0, 0, 0, 0};
        bool operator==(const Segment &o) const;
    };

    // An elliptical arc in centre form: the ellipse (radii grown to reach both ends), the
    // angle of its start and the signed angle it sweeps, in radians.
    struct ArcCentre
    {
        double cx = 0, cy = 0, rx = 0, ry = 0, phi = 0, theta1 = 0, delta = 0;
    };
    // The arc segment `arc` drawn from (x0, y0), as SVG converts endpoint to centre form.
    // False when it is degenerate (equal ends, a zero or non-finite radius): it is then a line.
    static bool ArcToCentre(double x0, double y0, const Segment &arc, ArcCentre &out);

    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void QuadTo(float x1, float y1, float x, float y);
    void BezierTo(float x1, float y1, float x2, float y2, float x, float y);
    void ArcTo(float rx, float ry, float angle, bool large, bool sweep, float x, float y);
    void CloseFigure();
    void Append(const CCA_Path &other);
    void Clear() { m_segments.clear(); }
    void Reserve(int count) { m_segments.reserve(size_t(std::max(count, 0))); }

    bool IsEmpty() const { return m_segments.empty(); }
    int SegmentCount() const { return int(m_segments.size()); }
    const Segment &SegmentAt(int index) const { return m_segments[size_t(index)]; }
    const std::vector<Segment> &Segments() const { return m_segments; }

    // A closed, axis-aligned four-corner rectangle of non-zero size.
    bool IsRect() const;
    // The box of all end and control points (arcs: their end points and radii around them).
    CCA_GRect BoundingBox() const;
    void Translate(float dx, float dy);
    void Transform(const CCA_Matrix &matrix);

    bool operator==(const CCA_Path &o) const { return m_segments == o.m_segments; }
    bool operator!=(const CCA_Path &o) const { return !(*this == o); }

private:
    std::vector<Segment> m_segments;
};
