#include "ofd_annot.h"

#include "ofd_annotpool.h"
#include "ofd_appearance.h"
#include "ofd_documentcontext.h"
#include "ofd_page.h"

OFD_Annot::OFD_Annot(std::shared_ptr<OFD_DocumentContext> context, uint32_t id, int type)
    : m_context(context ? std::move(context) : std::make_shared<OFD_DocumentContext>())
    , m_id(id)
    , m_type(type)
{
    m_context->NoteID(id);
}

OFD_Annot::~OFD_Annot() = default;

void *OFD_Annot::operator new(size_t size)
{
    return OFD_AnnotPool::Allocate(size);
}

void OFD_Annot::operator delete(void *annot, size_t size)
{
    OFD_AnnotPool::Release(annot, size);
}

IG_Page *OFD_Annot::Page() const
{
    return m_page;
}

// The page keeps lookups and drawings of its annotations that must follow every change.
void OFD_Annot::Touch()
{
    m_context->Touch();
    NoteEdited();
    if (m_page)
        m_page->AnnotChanged(this);
}

void OFD_Annot::NoteEdited()
{
    if (!m_context->IsLoading())
        m_edited = true;
}

void OFD_Annot::SetID(uint32_t id)
{
    m_id = id;
    m_context->NoteID(id);
    Touch();
    if (m_page)
        m_page->AnnotIDChanged();
}

void OFD_Annot::SetType(int type)
{
    m_type = type;
    Touch();
}

void OFD_Annot::SetSubType(const CCA_String &subType)
{
    m_subType = subType;
    Touch();
}

void OFD_Annot::SetBoundary(const CCA_GRect &boundary)
{
    // No file can hold it, and the view cannot place it.
    if (!boundary.IsFinite())
        return;
    const CCA_GRect before = m_boundary;
    m_boundary = boundary;
    Touch();
    if (m_page)
        m_page->AnnotMoved(this, before);
}

void OFD_Annot::SetLastModDate(const CCA_String &date)
{
    m_lastModDate = date;
    Touch();
}

void OFD_Annot::SetCreator(const CCA_String &creator)
{
    m_creator = creator;
    Touch();
}

void OFD_Annot::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    Touch();
}

void OFD_Annot::SetVisible(bool visible)
{
    m_visible = visible;
    Touch();
}

void OFD_Annot::SetPrint(bool print)
{
    m_print = print;
    Touch();
}

void OFD_Annot::SetNoZoom(bool noZoom)
{
    m_noZoom = noZoom;
    Touch();
}

void OFD_Annot::SetNoRotate(bool noRotate)
{
    m_noRotate = noRotate;
    Touch();
}

void OFD_Annot::SetRemark(const CCA_String &remark)
{
    m_remark = remark;
    Touch();
}

void OFD_Annot::SetParameters(const std::vector<std::pair<CCA_String, CCA_String>> &parameters)
{
    m_parameters = parameters;
    Touch();
}

IG_Appearance *OFD_Annot::Appearance() const
{
    return m_appearance.get();
}

IG_Appearance *OFD_Annot::CreateAppearance()
{
    if (!m_appearance) {
        m_appearance = std::make_unique<OFD_Appearance>(m_context, this);
        Touch();
    }
    return m_appearance.get();
}
