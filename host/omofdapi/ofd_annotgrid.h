#pragma once

#include "ombase/cca_geometry.h"

#include <vector>

// A uniform grid over the boxes of a page's annotations, for point and rectangle queries.
// Entries are the annotations' positions in their page; every cell lists them ascending.
class OFD_AnnotGrid
{
public:
    // `area` is where most boxes lie (the page box); boxes outside it land in the edge cells.
    OFD_AnnotGrid(const CCA_GRect &area, const std::vector<CCA_GRect> &boxes);

    // Positions whose box may meet `area` (a superset of those that do), ascending, once each.
    void Candidates(const CCA_GRect &area, std::vector<int> &result) const;
    // A new entry after every other.
    void Append(const CCA_GRect &box);
    // Entry `position` changed its box.
    void Move(int position, const CCA_GRect &before, const CCA_GRect &after);
    int Count() const { return m_count; }

private:
    struct Span
    {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        bool everywhere = false;
    };
    Span SpanOf(CCA_GRect box, float slack) const;
    int Column(double x) const;
    int Row(double y) const;
    void Add(int position, const Span &span);
    void Remove(int position, const Span &span);

    double m_left = 0, m_top = 0, m_columnsPerMM = 1, m_rowsPerMM = 1;
    int m_columns = 1, m_rows = 1;
    int m_count = 0;
    std::vector<std::vector<int>> m_cells;
    // Entries with boxes too large or not finite, offered to every query.
    std::vector<int> m_everywhere;
};
