#include "ofd_appearance.h"

#include "ofd_documentcontext.h"

OFD_Appearance::OFD_Appearance(std::shared_ptr<OFD_DocumentContext> context)
    : m_context(context ? std::move(context) : std::make_shared<OFD_DocumentContext>())
{
}

OFD_Appearance::~OFD_Appearance() = default;

IG_PageObject *OFD_Appearance::PageObject(int index) const
{
    if (index < 0 || index >= int(m_objects.size()))
        return nullptr;
    return m_objects[size_t(index)].get();
}

IG_PageObject *OFD_Appearance::InsertPageObject(int type, int index, bool applyDefaults)
{
    return AddPageObject(m_context->CreatePageObject(type, applyDefaults), index);
}

bool OFD_Appearance::RemovePageObject(int index)
{
    if (index < 0 || index >= int(m_objects.size()))
        return false;
    m_objects.erase(m_objects.begin() + index);
    m_context->Touch();
    return true;
}

IG_PageObject *OFD_Appearance::AddPageObject(std::unique_ptr<IG_PageObject> object, int index)
{
    if (!object)
        return nullptr;
    IG_PageObject *raw = object.get();
    if (index < 0 || index >= int(m_objects.size()))
        m_objects.push_back(std::move(object));
    else
        m_objects.insert(m_objects.begin() + index, std::move(object));
    m_context->Touch();
    return raw;
}
