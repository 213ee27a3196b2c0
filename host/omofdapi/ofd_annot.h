#pragma once

#include "ig_annot.h"

#include <memory>
#include <typeinfo>

class OFD_Appearance;
class OFD_DocumentContext;
class OFD_Page;

// An annotation. A new one carries OFD's attribute defaults: visible, printed, read-only,
// zoomed and rotated with the page.
class OFD_Annot final : public IG_Annot
{
public:
    OFD_Annot(std::shared_ptr<OFD_DocumentContext> context, uint32_t id, int type);
    ~OFD_Annot() override;

    // The annotation as one of ours, or null. Pages ask this of every annotation in their
    // bulk paths, where a dynamic_cast cost more than the rest of the work.
    static OFD_Annot *Of(IG_Annot *annot)
    {
        return annot && typeid(*annot) == typeid(OFD_Annot) ? static_cast<OFD_Annot *>(annot) : nullptr;
    }
    static const OFD_Annot *Of(const IG_Annot *annot) { return Of(const_cast<IG_Annot *>(annot)); }

    static void *operator new(size_t size);
    static void operator delete(void *annot, size_t size);

    IG_Page *Page() const override;
    uint32_t ID() const override { return m_id; }
    // Also tells the document's counter that the ID is taken.
    void SetID(uint32_t id);
    int Type() const override { return m_type; }
    void SetType(int type);
    CCA_String SubType() const override { return m_subType; }
    void SetSubType(const CCA_String &subType) override;
    CCA_GRect Boundary() const override { return m_boundary; }
    void SetBoundary(const CCA_GRect &boundary) override;
    CCA_String LastModDate() const override { return m_lastModDate; }
    void SetLastModDate(const CCA_String &date) override;
    CCA_String Creator() const override { return m_creator; }
    void SetCreator(const CCA_String &creator) override;
    bool IsReadOnly() const override { return m_readOnly; }
    void SetReadOnly(bool readOnly) override;
    bool IsVisible() const override { return m_visible; }
    void SetVisible(bool visible) override;
    bool IsPrint() const override { return m_print; }
    void SetPrint(bool print) override;
    bool IsNoZoom() const { return m_noZoom; }
    void SetNoZoom(bool noZoom);
    bool IsNoRotate() const { return m_noRotate; }
    void SetNoRotate(bool noRotate);
    CCA_String Remark() const override { return m_remark; }
    void SetRemark(const CCA_String &remark) override;
    std::vector<std::pair<CCA_String, CCA_String>> Parameters() const override { return m_parameters; }
    void SetParameters(const std::vector<std::pair<CCA_String, CCA_String>> &parameters) override;
    IG_Appearance *Appearance() const override;
    IG_Appearance *CreateAppearance() override;
    OFD_Appearance *OFDAppearance() const { return m_appearance.get(); }

    // Set by the page that holds the annotation; null while it is out of every page.
    void SetPage(OFD_Page *page) { m_page = page; }
    // Position in the page's list, kept by the page while its lookups are valid.
    int PageSlot() const { return m_pageSlot; }
    void SetPageSlot(int slot) { m_pageSlot = slot; }

    // Whether the annotation or an object of its appearance changed outside loading since it
    // was read or saved: a package writer keeps an unedited one as the file had it.
    bool IsEdited() const { return m_edited; }
    void SetEdited(bool edited) { m_edited = edited; }
    void NoteEdited();

private:
    void Touch();

    std::shared_ptr<OFD_DocumentContext> m_context;
    OFD_Page *m_page = nullptr;
    int m_pageSlot = -1;
    uint32_t m_id;
    int m_type;
    CCA_String m_subType;
    CCA_GRect m_boundary;
    CCA_String m_lastModDate;
    CCA_String m_creator;
    bool m_readOnly = true;
    bool m_visible = true;
    bool m_print = true;
    bool m_noZoom = false;
    bool m_noRotate = false;
    bool m_edited = false;
    CCA_String m_remark;
    std::vector<std::pair<CCA_String, CCA_String>> m_parameters;
    std::unique_ptr<OFD_Appearance> m_appearance;
};
