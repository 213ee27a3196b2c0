#include "ofd_page.h"

#include "ofd_annot.h"
#include "ofd_annotgrid.h"
#include "ofd_appearance.h"
#include "ofd_color.h"
#include "ofd_document.h"
#include "ofd_documentcontext.h"
#include "ofd_pageloader.h"

#include <QSet>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Page millimetres per screen pixel at zoom factor 1 (96 pixels per inch).
constexpr float PixelsPerMM = 96.0f / 25.4f;

bool ReadPoint(const OMSharedPtr<OMJson> &json, float &x, float &y)
{
    if (!json || !json->IsArray() || json->Size() < 2)
        return false;
    const OMSharedPtr<OMJson> jx = json->At(0), jy = json->At(1);
    const auto isNumber = [](const OMSharedPtr<OMJson> &v) {
        return v && (v->GetType() == OMJson::Int || v->GetType() == OMJson::Double);
    };
    if (!isNumber(jx) || !isNumber(jy))
        return false;
    x = float(jx->GetDouble());
    y = float(jy->GetDouble());
    return std::isfinite(x) && std::isfinite(y);
}

// The box of an appearance element's "Link"."Points"; false when it has fewer than two points.
bool ElementBox(const OMJson &element, CCA_GRect &box)
{
    const OMSharedPtr<OMJson> link = element.Member("Link");
    const OMSharedPtr<OMJson> points = link ? link->Member("Points") : nullptr;
    if (!points || !points->IsArray() || points->Size() < 2)
        return false;
    for (int i = 0; i < points->Size(); ++i) {
        float x = 0, y = 0;
        if (!ReadPoint(points->At(i), x, y))
            return false;
        box = i == 0 ? CCA_GRect(x, y, x, y) : box.United(CCA_GRect(x, y, x, y));
    }
    return true;
}

void ApplyStrokeColor(IG_PageObject *object, const OMJson &element)
{
    const OMSharedPtr<OMJson> color = element.Member("StrokeColor");
    if (!color || !color->IsObject())
        return;
    const auto member = [&color](const char *key, long long fallback) {
        const OMSharedPtr<OMJson> v = color->Member(key);
        return v ? v->GetInt(fallback) : fallback;
    };
    OFD_Color stroke;
    stroke.SetColorSpace(int(member("ColorSpace", G_ColorSpace_RGB)));
    stroke.SetValue(uint32_t(member("ColorValue", 0)));
    stroke.SetAlpha(uint8_t(member("Alpha", 255)));
    object->SetStrokeColor(&stroke);
}

// Builds the path objects an appearance description asks for; see AddAnnot.
void BuildAppearance(OFD_Annot *annot, const OMJson &description)
{
    const OMSharedPtr<OMJson> elements = description.Member("Appearance");
    if (!elements || !elements->IsArray())
        return;
    std::vector<std::pair<OMSharedPtr<OMJson>, CCA_GRect>> paths;
    CCA_GRect bounds;
    bool haveBounds = false;
    for (int i = 0; i < elements->Size(); ++i) {
        const OMSharedPtr<OMJson> element = elements->At(i);
        if (!element || !element->IsObject())
            continue;
        const OMSharedPtr<OMJson> type = element->Member("Type");
        if (!type || PageObjTypeFromString(CCA_String(type->GetString())) != G_PageObj_Path)
            continue;
        CCA_GRect box;
        const bool hasBox = ElementBox(*element, box);
        if (hasBox) {
            bounds = haveBounds ? bounds.United(box) : box;
            haveBounds = true;
        }
        paths.emplace_back(element, hasBox ? box : CCA_GRect(1, 1, 0, 0));
    }
    if (haveBounds)
        annot->SetBoundary(bounds);
    IG_Appearance *appearance = annot->CreateAppearance();
    for (const auto &entry : paths) {
        IG_PageObject *object = appearance->InsertPageObject(G_PageObj_Path, -1, false);
        object->SetStroke(true);
        ApplyStrokeColor(object, *entry.first);
        const CCA_GRect &box = entry.second;
        if (box.left > box.right)
            continue;
        // The objects' origin is the annotation boundary's top-left corner.
        CCA_Path path;
        path.MoveTo(box.left - bounds.left, box.top - bounds.top);
        path.LineTo(box.right - bounds.left, box.top - bounds.top);
        path.LineTo(box.right - bounds.left, box.bottom - bounds.top);
        path.LineTo(box.left - bounds.left, box.bottom - bounds.top);
        path.CloseFigure();
        object->SetPath(path);
        object->SetBoundary(CCA_GRect(0, 0, bounds.Width(), bounds.Height()));
    }
}

} // namespace

OFD_Page::OFD_Page(OFD_Document *document, uint32_t id, const CCA_GRect &box)
    : m_document(document)
    , m_id(id)
    , m_box(box)
{
}

OFD_Page::~OFD_Page() = default;

IG_Document *OFD_Page::Document() const
{
    return m_document;
}

int OFD_Page::PageIndex() const
{
    return m_document ? m_document->PageIndexOf(this) : -1;
}

void OFD_Page::Touch()
{
    ++m_revision;
    m_changedAreas.clear();
    m_areasKnownAfter = m_revision;
    if (m_document)
        m_document->Context()->Touch();
}

void OFD_Page::SetID(uint32_t id)
{
    m_id = id;
    if (m_document)
        m_document->NoteID(id);
    Touch();
}

void OFD_Page::SetPageBox(const CCA_GRect &box)
{
    m_box = box;
    Touch();
}

bool OFD_Page::Parse()
{
    if (m_parsed)
        return true;
    // Marked first: a loader that asks the page again must not start over.
    m_parsed = true;
    OFD_PageLoader *loader = m_document ? m_document->PageLoader() : nullptr;
    if (!loader)
        return true;
    OFD_LoadingScope loading(m_document->Context().get());
    try {
        return loader->LoadContent(this);
    } catch (const std::bad_alloc &) {
        qWarning("OFD_Page: out of memory reading page %u's content; the page stays as far as it was read", m_id);
        return false;
    }
}

bool OFD_Page::LoadAnnots()
{
    if (m_annotsLoaded)
        return true;
    m_annotsLoaded = true;
    OFD_PageLoader *loader = m_document ? m_document->PageLoader() : nullptr;
    if (!loader)
        return true;
    OFD_LoadingScope loading(m_document->Context().get());
    try {
        return loader->LoadAnnots(this);
    } catch (const std::bad_alloc &) {
        qWarning("OFD_Page: out of memory reading page %u's annotations", m_id);
        return false;
    }
}

IG_PageObject *OFD_Page::PageObjectAt(int index) const
{
    return m_objects.At(index);
}

IG_PageObject *OFD_Page::AddPageObject(std::unique_ptr<IG_PageObject> object, int index)
{
    IG_PageObject *raw = m_objects.Insert(std::move(object), index);
    if (raw)
        Touch();
    return raw;
}

IG_PageObject *OFD_Page::CreatePageObject(int type)
{
    if (!m_document)
        return nullptr;
    return AddPageObject(m_document->Context()->CreatePageObject(type, false));
}

bool OFD_Page::RemovePageObject(int index)
{
    if (!m_objects.Remove(index))
        return false;
    Touch();
    return true;
}

IG_Annot *OFD_Page::AnnotAt(int index) const
{
    if (index < 0 || index >= int(m_annots.size()))
        return nullptr;
    return m_annots[size_t(index)].get();
}

IG_Annot *OFD_Page::AnnotByID(uint32_t id) const
{
    EnsureIDs();
    return m_byID.Find(id);
}

// Lists name annotations mostly in page order: a short walk from the last one found reads
// the annotations the caller is about to touch anyway, instead of the hash. Only when every
// ID is held once does the walk find what the hash would.
std::vector<IG_Annot *> OFD_Page::AnnotsByIDs(const std::vector<uint32_t> &ids) const
{
    std::vector<IG_Annot *> found;
    found.reserve(ids.size());
    EnsureIDs();
    size_t cursor = 0;
    for (const uint32_t id : ids) {
        IG_Annot *annot = nullptr;
        for (size_t at = cursor; !m_sharedIDs && at < m_annots.size() && at < cursor + 4; ++at) {
            if (m_annots[at]->ID() == id) {
                annot = m_annots[at].get();
                cursor = at + 1;
                break;
            }
        }
        if (!annot) {
            annot = m_byID.Find(id);
            if (annot)
                cursor = size_t(AnnotIndex(annot)) + 1;
        }
        found.push_back(annot);
    }
    return found;
}

int OFD_Page::AnnotIndex(const IG_Annot *annot) const
{
    if (!annot)
        return -1;
    EnsurePositions();
    if (const auto *ofd = OFD_Annot::Of(annot))
        return ofd->Page() == this ? ofd->PageSlot() : -1;
    return m_positions.value(annot, -1);
}

void OFD_Page::EnsurePositions() const
{
    if (m_positionsValid)
        return;
    m_positions.clear();
    for (size_t i = 0; i < m_annots.size(); ++i)
        NotePosition(m_annots[i].get(), int(i));
    m_positionsValid = true;
}

void OFD_Page::NotePosition(IG_Annot *annot, int index) const
{
    if (auto *ofd = OFD_Annot::Of(annot))
        ofd->SetPageSlot(index);
    else
        m_positions.insert(annot, index);
}

void OFD_Page::EnsureIDs() const
{
    if (m_byIDValid)
        return;
    m_byID.Clear();
    m_byID.Reserve(m_annots.size());
    m_sharedIDs = false;
    for (const auto &annot : m_annots)
        if (!m_byID.Insert(annot->ID(), annot.get()))
            m_sharedIDs = true;
    m_byIDValid = true;
}

const OFD_AnnotGrid &OFD_Page::Grid() const
{
    if (!m_grid) {
        std::vector<CCA_GRect> boxes;
        boxes.reserve(m_annots.size());
        for (const auto &annot : m_annots)
            boxes.push_back(annot->Boundary());
        EnsurePositions();
        m_grid = std::make_unique<OFD_AnnotGrid>(m_box, boxes);
    }
    return *m_grid;
}

void OFD_Page::Restructured()
{
    m_positionsValid = false;
    m_byIDValid = false;
    m_grid.reset();
    Touch();
}

void OFD_Page::Appended(IG_Annot *annot)
{
    if (m_positionsValid)
        NotePosition(annot, int(m_annots.size()) - 1);
    if (m_byIDValid && !m_byID.Insert(annot->ID(), annot))
        m_sharedIDs = true;
    if (m_grid)
        m_grid->Append(annot->Boundary());
    Touch();
}

void OFD_Page::AnnotChanged(const IG_Annot *annot)
{
    ++m_revision;
    NoteChangedArea(annot->Boundary());
}

// A drawing that is kept redraws these areas only; past a few it is cheaper to redraw all.
void OFD_Page::NoteChangedArea(const CCA_GRect &area)
{
    const size_t kMaxAreas = 64;
    if (m_changedAreas.size() >= kMaxAreas) {
        m_changedAreas.clear();
        m_areasKnownAfter = m_revision;
        return;
    }
    CCA_GRect normal = area;
    normal.Normalize();
    m_changedAreas.emplace_back(m_revision, normal);
}

bool OFD_Page::AnnotsChangedAreas(uint64_t ownRevision, std::vector<CCA_GRect> &areas) const
{
    areas.clear();
    if (ownRevision < m_areasKnownAfter || ownRevision > m_revision)
        return false;
    for (const auto &change : m_changedAreas)
        if (change.first > ownRevision)
            areas.push_back(change.second);
    return true;
}

void OFD_Page::AnnotIDChanged()
{
    m_byIDValid = false;
    ++m_revision;
}

void OFD_Page::AnnotMoved(const IG_Annot *annot, const CCA_GRect &before)
{
    ++m_revision;
    NoteChangedArea(before);
    NoteChangedArea(annot->Boundary());
    if (!m_grid)
        return;
    m_grid->Move(AnnotIndex(annot), before, annot->Boundary());
}

int OFD_Page::AnnotsAtPoint(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GPoint &point,
                            float tolerance, float scale, int flags, const CCA_String &subTypeFilter,
                            const OMSharedPtr<const OMJson> &) const
{
    result.RemoveAll();
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const float margin = tolerance > 0 && std::isfinite(tolerance) ? tolerance / (scale * PixelsPerMM) : 0;
    Grid().Candidates(CCA_GRect(point.x - margin, point.y - margin, point.x + margin, point.y + margin),
                      m_candidates);
    for (int position : m_candidates) {
        IG_Annot *annot = m_annots[size_t(position)].get();
        if ((flags & 1) && !annot->IsVisible())
            continue;
        if (!subTypeFilter.IsEmpty() && annot->SubType() != subTypeFilter)
            continue;
        CCA_GRect box = annot->Boundary();
        box.Normalize();
        box = CCA_GRect(box.left - margin, box.top - margin, box.right + margin, box.bottom + margin);
        if (box.Contains(point))
            result.Add(annot);
    }
    return result.GetSize();
}

int OFD_Page::AnnotsInRect(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GRect &rect) const
{
    result.RemoveAll();
    CCA_GRect area = rect;
    area.Normalize();
    Grid().Candidates(area, m_candidates);
    for (int position : m_candidates) {
        IG_Annot *annot = m_annots[size_t(position)].get();
        CCA_GRect box = annot->Boundary();
        box.Normalize();
        if (box.left <= area.right && box.right >= area.left && box.top <= area.bottom && box.bottom >= area.top)
            result.Add(annot);
    }
    return result.GetSize();
}

uint64_t OFD_Page::AnnotsRevision() const
{
    // Both only grow, so their sum changes whenever either does.
    return m_revision + (m_document ? m_document->Context()->ObjectRevision() : 0);
}

IG_Annot *OFD_Page::AddAnnot(int type, const CCA_String &subType, int index, bool buildAppearance,
                             const OMSharedPtr<const OMJson> &extra)
{
    if (!m_document)
        return nullptr;
    LoadAnnots();
    const std::shared_ptr<OFD_DocumentContext> &context = m_document->Context();
    const uint32_t id = context->NewID();
    if (id == 0)
        return nullptr;
    auto annot = std::make_unique<OFD_Annot>(context, id, type);
    CCA_String sub = subType;
    if (sub.IsEmpty() && extra && extra->IsObject()) {
        const OMSharedPtr<OMJson> described = extra->Member("SubType");
        if (described)
            sub = CCA_String(described->GetString());
    }
    annot->SetSubType(sub);
    // Annotations made here are the user's own and stay editable.
    annot->SetReadOnly(false);
    annot->CreateAppearance();
    if (buildAppearance && extra && extra->IsObject())
        BuildAppearance(annot.get(), *extra);
    OFD_Annot *raw = annot.get();
    InsertAnnot(annot.release(), index);
    return raw;
}

IG_Annot *OFD_Page::TakeAnnot(IG_Annot *annot)
{
    const int index = AnnotIndex(annot);
    if (index < 0)
        return nullptr;
    IG_Annot *taken = m_annots[size_t(index)].release();
    m_annots.erase(m_annots.begin() + index);
    if (auto *ofd = OFD_Annot::Of(taken))
        ofd->SetPage(nullptr);
    Restructured();
    return taken;
}

void OFD_Page::InsertAnnot(IG_Annot *annot, int index)
{
    if (!annot || AnnotIndex(annot) >= 0)
        return;
    LoadAnnots();
    std::unique_ptr<IG_Annot> owned(annot);
    if (auto *ofd = OFD_Annot::Of(annot))
        ofd->SetPage(this);
    if (index < 0 || index >= int(m_annots.size())) {
        m_annots.push_back(std::move(owned));
        Appended(annot);
    } else {
        m_annots.insert(m_annots.begin() + index, std::move(owned));
        Restructured();
    }
}

std::vector<std::pair<int, IG_Annot *>> OFD_Page::TakeAnnots(const std::vector<IG_Annot *> &annots)
{
    std::vector<char> wanted;
    size_t count = 0;
    for (IG_Annot *annot : annots) {
        const int index = AnnotIndex(annot);
        if (index < 0)
            continue;
        if (wanted.empty())
            wanted.assign(m_annots.size(), 0);
        if (!wanted[size_t(index)]) {
            wanted[size_t(index)] = 1;
            ++count;
            // Now, while the annotation is at hand; the pass below only moves pointers.
            if (auto *ofd = OFD_Annot::Of(annot))
                ofd->SetPage(nullptr);
        }
    }
    return TakeMarked(wanted, count);
}

std::vector<std::pair<int, IG_Annot *>> OFD_Page::TakeAnnotsAt(const std::vector<std::pair<int, IG_Annot *>> &expected)
{
    // Checked by the list alone, so no annotation is read twice.
    const auto placed = [this](const std::pair<int, IG_Annot *> &entry) {
        return entry.second && entry.first >= 0 && size_t(entry.first) < m_annots.size()
            && m_annots[size_t(entry.first)].get() == entry.second;
    };
    if (!std::all_of(expected.begin(), expected.end(), placed)) {
        std::vector<IG_Annot *> annots;
        annots.reserve(expected.size());
        for (const auto &entry : expected)
            annots.push_back(entry.second);
        return TakeAnnots(annots);
    }
    std::vector<char> wanted(m_annots.size(), 0);
    size_t count = 0;
    for (const auto &entry : expected) {
        if (wanted[size_t(entry.first)])
            continue;
        wanted[size_t(entry.first)] = 1;
        ++count;
        if (auto *ofd = OFD_Annot::Of(entry.second))
            ofd->SetPage(nullptr);
    }
    return TakeMarked(wanted, count);
}

std::vector<std::pair<int, IG_Annot *>> OFD_Page::TakeMarked(const std::vector<char> &wanted, size_t count)
{
    std::vector<std::pair<int, IG_Annot *>> taken;
    if (count == 0)
        return taken;
    taken.reserve(count);
    size_t kept = 0;
    for (size_t i = 0; i < m_annots.size(); ++i) {
        if (!wanted[i]) {
            if (kept != i)
                m_annots[kept] = std::move(m_annots[i]);
            ++kept;
            continue;
        }
        taken.emplace_back(int(i), m_annots[i].release());
    }
    m_annots.resize(kept);
    Restructured();
    return taken;
}

int OFD_Page::InsertAnnots(const std::vector<std::pair<int, IG_Annot *>> &taken)
{
    LoadAnnots();
    // An annotation of ours already on a page, or listed twice, goes in once at most. Mostly
    // every one goes in, and the list is then merged as it was given: at tens of thousands a
    // copy of it costs about as much as the rest.
    std::vector<std::pair<int, IG_Annot *>> filtered;
    bool dropped = false;
    QSet<const IG_Annot *> others;
    for (size_t i = 0; i < taken.size(); ++i) {
        const auto &entry = taken[i];
        bool goes = entry.second != nullptr;
        if (!goes) {
        } else if (auto *ofd = OFD_Annot::Of(entry.second)) {
            goes = !ofd->Page();
            if (goes)
                ofd->SetPage(this);
        } else if (AnnotIndex(entry.second) >= 0 || others.contains(entry.second)) {
            goes = false;
        } else {
            others.insert(entry.second);
        }
        if (!goes && !dropped) {
            dropped = true;
            filtered.assign(taken.begin(), taken.begin() + qptrdiff(i));
        } else if (goes && dropped) {
            filtered.push_back(entry);
        }
    }
    const std::vector<std::pair<int, IG_Annot *>> *list = dropped ? &filtered : &taken;
    if (list->empty())
        return 0;
    const auto byIndex = [](const auto &a, const auto &b) { return a.first < b.first; };
    if (!std::is_sorted(list->begin(), list->end(), byIndex)) {
        if (!dropped)
            filtered = taken;
        list = &filtered;
        std::stable_sort(filtered.begin(), filtered.end(), byIndex);
    }
    const std::vector<std::pair<int, IG_Annot *>> &entries = *list;
    // Each goes where it was; those beyond the end follow in their order.
    std::vector<std::unique_ptr<IG_Annot>> merged;
    merged.reserve(m_annots.size() + entries.size());
    size_t next = 0;
    for (auto &annot : m_annots) {
        while (next < entries.size() && entries[next].first <= int(merged.size()))
            merged.emplace_back(entries[next++].second);
        merged.push_back(std::move(annot));
    }
    while (next < entries.size())
        merged.emplace_back(entries[next++].second);
    m_annots = std::move(merged);
    Restructured();
    return int(entries.size());
}

OFD_Annot *OFD_Page::AppendLoadedAnnot(int type, uint32_t id)
{
    if (!m_document)
        return nullptr;
    const std::shared_ptr<OFD_DocumentContext> &context = m_document->Context();
    OFD_LoadingScope loading(context.get());
    if (id == 0)
        id = context->NewID();
    auto annot = std::make_unique<OFD_Annot>(context, id, type);
    annot->SetPage(this);
    OFD_Annot *raw = annot.get();
    m_annots.push_back(std::move(annot));
    Appended(raw);
    return raw;
}
