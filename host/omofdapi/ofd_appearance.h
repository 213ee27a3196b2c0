#pragma once

#include "ig_appearance.h"
#include "ofd_pageobjectlist.h"

#include <memory>

class OFD_Annot;
class OFD_DocumentContext;

// The page block of an annotation: page objects whose origin is the annotation boundary's
// top-left corner.
class OFD_Appearance : public IG_Appearance
{
public:
    // `owner` (which outlives the appearance) is told of every change of its objects.
    explicit OFD_Appearance(std::shared_ptr<OFD_DocumentContext> context, OFD_Annot *owner = nullptr);
    ~OFD_Appearance() override;

    int PageObjectCount() const override { return m_objects.Count(); }
    IG_PageObject *PageObject(int index) const override;
    IG_PageObject *InsertPageObject(int type, int index, bool applyDefaults) override;
    bool RemovePageObject(int index) override;

    // Puts an object built elsewhere (a package reader) at `index` (-1 appends).
    IG_PageObject *AddPageObject(std::unique_ptr<IG_PageObject> object, int index = -1);

private:
    void Changed();

    std::shared_ptr<OFD_DocumentContext> m_context;
    OFD_Annot *m_owner;
    OFD_PageObjectList m_objects;
};
