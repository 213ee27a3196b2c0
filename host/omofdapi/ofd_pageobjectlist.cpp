#include "ofd_pageobjectlist.h"

#include "ig_pageobject.h"

OFD_PageObjectList::OFD_PageObjectList() = default;

OFD_PageObjectList::~OFD_PageObjectList() = default;

IG_PageObject *OFD_PageObjectList::At(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_objects[size_t(index)].get();
}

IG_PageObject *OFD_PageObjectList::Insert(std::unique_ptr<IG_PageObject> object, int index)
{
    if (!object)
        return nullptr;
    IG_PageObject *raw = object.get();
    if (index < 0 || index >= Count())
        m_objects.push_back(std::move(object));
    else
        m_objects.insert(m_objects.begin() + index, std::move(object));
    return raw;
}

bool OFD_PageObjectList::Remove(int index)
{
    if (index < 0 || index >= Count())
        return false;
    m_objects.erase(m_objects.begin() + index);
    return true;
}
