#pragma once

class OFD_Page;

// Supplies a page's content and annotations on demand (a package reader). A page built in
// memory needs none; a document with a loader marks its unloaded pages with
// OFD_Page::SetParsed(false) / SetAnnotsLoaded(false).
class OFD_PageLoader
{
public:
    virtual ~OFD_PageLoader() = default;
    // Fills the page's content objects (OFD_Page::AddPageObject). False when it could not.
    virtual bool LoadContent(OFD_Page *page) = 0;
    // Fills the page's annotations (OFD_Page::AppendLoadedAnnot). False when it could not.
    virtual bool LoadAnnots(OFD_Page *page) = 0;
};
