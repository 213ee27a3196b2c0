#pragma once

#include <memory>
#include <vector>

class IG_PageObject;

// Owned page objects in painting order: the content of a page or of an annotation's appearance.
class OFD_PageObjectList
{
public:
    OFD_PageObjectList();
    ~OFD_PageObjectList();

    int Count() const { return int(m_objects.size()); }
    // Null out of range.
    IG_PageObject *At(int index) const;
    // An `index` out of range appends; null for a null object.
    IG_PageObject *Insert(std::unique_ptr<IG_PageObject> object, int index);
    bool Remove(int index);

private:
    std::vector<std::unique_ptr<IG_PageObject>> m_objects;
};
