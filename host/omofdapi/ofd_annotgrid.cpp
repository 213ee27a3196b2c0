#include "ofd_annotgrid.h"

#include <algorithm>
#include <cmath>

namespace {

// About one entry per cell; the cap keeps the grid's memory bounded on absurd pages.
const int kMaxCellsPerSide = 1024;
// A box covering more cells than this is offered to every query instead.
const int kMaxCellsPerBox = 64;

bool IsFinite(const CCA_GRect &r)
{
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}

void InsertSorted(std::vector<int> &list, int value)
{
    list.insert(std::lower_bound(list.begin(), list.end(), value), value);
}

void EraseSorted(std::vector<int> &list, int value)
{
    const auto it = std::lower_bound(list.begin(), list.end(), value);
    if (it != list.end() && *it == value)
        list.erase(it);
}

} // namespace

OFD_AnnotGrid::OFD_AnnotGrid(const CCA_GRect &area, const std::vector<CCA_GRect> &boxes)
{
    CCA_GRect bounds = area;
    bounds.Normalize();
    if (!IsFinite(bounds) || !(bounds.Width() > 0) || !(bounds.Height() > 0))
        bounds = CCA_GRect(0, 0, 210, 297);
    const double width = bounds.Width(), height = bounds.Height();
    const double n = std::max<double>(1, double(boxes.size()));
    m_columns = int(std::clamp(std::ceil(std::sqrt(n * width / height)), 1.0, double(kMaxCellsPerSide)));
    m_rows = int(std::clamp(std::ceil(n / m_columns), 1.0, double(kMaxCellsPerSide)));
    m_left = bounds.left;
    m_top = bounds.top;
    m_columnsPerMM = m_columns / width;
    m_rowsPerMM = m_rows / height;
    m_cells.resize(size_t(m_columns) * size_t(m_rows));
    for (const CCA_GRect &box : boxes)
        Append(box);
}

int OFD_AnnotGrid::Column(double x) const
{
    return int(std::clamp(std::floor((x - m_left) * m_columnsPerMM), 0.0, double(m_columns - 1)));
}

int OFD_AnnotGrid::Row(double y) const
{
    return int(std::clamp(std::floor((y - m_top) * m_rowsPerMM), 0.0, double(m_rows - 1)));
}

// `slack` widens the box so that float rounding in the callers' own tests never loses a hit.
OFD_AnnotGrid::Span OFD_AnnotGrid::SpanOf(CCA_GRect box, float slack) const
{
    Span span;
    box.Normalize();
    if (!IsFinite(box)) {
        span.everywhere = true;
        return span;
    }
    const double ex = slack * (1.0 + std::max(std::fabs(box.left), std::fabs(box.right)));
    const double ey = slack * (1.0 + std::max(std::fabs(box.top), std::fabs(box.bottom)));
    span.x0 = Column(box.left - ex);
    span.x1 = Column(box.right + ex);
    span.y0 = Row(box.top - ey);
    span.y1 = Row(box.bottom + ey);
    return span;
}

void OFD_AnnotGrid::Add(int position, const Span &span)
{
    if (span.everywhere || (span.x1 - span.x0 + 1) * (span.y1 - span.y0 + 1) > kMaxCellsPerBox) {
        InsertSorted(m_everywhere, position);
        return;
    }
    for (int y = span.y0; y <= span.y1; ++y)
        for (int x = span.x0; x <= span.x1; ++x)
            InsertSorted(m_cells[size_t(y) * size_t(m_columns) + size_t(x)], position);
}

void OFD_AnnotGrid::Remove(int position, const Span &span)
{
    if (span.everywhere || (span.x1 - span.x0 + 1) * (span.y1 - span.y0 + 1) > kMaxCellsPerBox) {
        EraseSorted(m_everywhere, position);
        return;
    }
    for (int y = span.y0; y <= span.y1; ++y)
        for (int x = span.x0; x <= span.x1; ++x)
            EraseSorted(m_cells[size_t(y) * size_t(m_columns) + size_t(x)], position);
}

void OFD_AnnotGrid::Append(const CCA_GRect &box)
{
    Add(m_count++, SpanOf(box, 0));
}

void OFD_AnnotGrid::Move(int position, const CCA_GRect &before, const CCA_GRect &after)
{
    if (position < 0 || position >= m_count)
        return;
    Remove(position, SpanOf(before, 0));
    Add(position, SpanOf(after, 0));
}

void OFD_AnnotGrid::Candidates(const CCA_GRect &area, std::vector<int> &result) const
{
    result.clear();
    const Span span = SpanOf(area, 1e-4f);
    const bool whole = span.x0 == 0 && span.y0 == 0 && span.x1 == m_columns - 1 && span.y1 == m_rows - 1;
    if (span.everywhere || (whole && m_columns * m_rows > 1)) {
        result.resize(size_t(m_count));
        for (int i = 0; i < m_count; ++i)
            result[size_t(i)] = i;
        return;
    }
    result = m_everywhere;
    for (int y = span.y0; y <= span.y1; ++y)
        for (int x = span.x0; x <= span.x1; ++x) {
            const std::vector<int> &cell = m_cells[size_t(y) * size_t(m_columns) + size_t(x)];
            result.insert(result.end(), cell.begin(), cell.end());
        }
    if (span.x0 != span.x1 || span.y0 != span.y1 || !m_everywhere.empty()) {
        std::sort(result.begin(), result.end());
        result.erase(std::unique(result.begin(), result.end()), result.end());
    }
}
