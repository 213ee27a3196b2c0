#pragma once

#include "ig_pageobject.h"

class IG_Appearance
{
public:
    virtual ~IG_Appearance() = default;
    virtual int PageObjectCount() const = 0;
    virtual IG_PageObject *PageObject(int index) const = 0; // null when missing
    // Creates an object of `type` at `index` (-1 appends). With `applyDefaults` the object
    // gets the document's default line width and stroke colour.
    virtual IG_PageObject *InsertPageObject(int type, int index, bool applyDefaults) = 0;
    virtual bool RemovePageObject(int index) = 0;
};
