#include "ofd_appearance.h"

#include "ofd_documentcontext.h"

OFD_Appearance::OFD_Appearance(std::shared_ptr<OFD_DocumentContext> context)
    : m_context(context ? std::move(context) : std::make_shared<OFD_DocumentContext>())
{
}

OFD_Appearance::~OFD_Appearance() = default;

IG_PageObject *OFD_Appearance::PageObject(int index) const
{
    return m_objects.At(index);
}

IG_PageObject *OFD_Appearance::InsertPageObject(int type, int index, bool applyDefaults)
{
    return AddPageObject(m_context->CreatePageObject(type, applyDefaults), index);
}

bool OFD_Appearance::RemovePageObject(int index)
{
    if (!m_objects.Remove(index))
        return false;
    m_context->Touch();
    m_context->NoteObjectChange();
    return true;
}

IG_PageObject *OFD_Appearance::AddPageObject(std::unique_ptr<IG_PageObject> object, int index)
{
    IG_PageObject *raw = m_objects.Insert(std::move(object), index);
    if (raw) {
        m_context->Touch();
        m_context->NoteObjectChange();
    }
    return raw;
}
