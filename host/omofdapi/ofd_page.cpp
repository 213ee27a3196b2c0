#include "ofd_page.h"

#include "ofd_annot.h"
#include "ofd_appearance.h"
#include "ofd_color.h"
#include "ofd_document.h"
#include "ofd_documentcontext.h"
#include "ofd_pageloader.h"

#include <algorithm>
#include <cmath>

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
    return loader->LoadContent(this);
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
    return loader->LoadAnnots(this);
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
    for (const auto &annot : m_annots)
        if (annot->ID() == id)
            return annot.get();
    return nullptr;
}

int OFD_Page::AnnotIndex(const IG_Annot *annot) const
{
    for (size_t i = 0; i < m_annots.size(); ++i)
        if (m_annots[i].get() == annot)
            return int(i);
    return -1;
}

int OFD_Page::AnnotsAtPoint(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GPoint &point,
                            float tolerance, float scale, int flags, const CCA_String &subTypeFilter,
                            const OMSharedPtr<const OMJson> &) const
{
    result.RemoveAll();
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const float margin = tolerance > 0 && std::isfinite(tolerance) ? tolerance / (scale * PixelsPerMM) : 0;
    for (const auto &annot : m_annots) {
        if ((flags & 1) && !annot->IsVisible())
            continue;
        if (!subTypeFilter.IsEmpty() && annot->SubType() != subTypeFilter)
            continue;
        CCA_GRect box = annot->Boundary();
        box.Normalize();
        box = CCA_GRect(box.left - margin, box.top - margin, box.right + margin, box.bottom + margin);
        if (box.Contains(point))
            result.Add(annot.get());
    }
    return result.GetSize();
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
    if (auto *ofd = dynamic_cast<OFD_Annot *>(taken))
        ofd->SetPage(nullptr);
    Touch();
    return taken;
}

void OFD_Page::InsertAnnot(IG_Annot *annot, int index)
{
    if (!annot || AnnotIndex(annot) >= 0)
        return;
    LoadAnnots();
    std::unique_ptr<IG_Annot> owned(annot);
    if (auto *ofd = dynamic_cast<OFD_Annot *>(annot))
        ofd->SetPage(this);
    if (index < 0 || index >= int(m_annots.size()))
        m_annots.push_back(std::move(owned));
    else
        m_annots.insert(m_annots.begin() + index, std::move(owned));
    Touch();
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
    return raw;
}
