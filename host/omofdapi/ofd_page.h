#pragma once

#include "ig_page.h"
#include "ofd_annotids.h"
#include "ofd_pageobjectlist.h"

#include <QHash>

#include <memory>
#include <vector>

class OFD_Annot;
class OFD_AnnotGrid;
class OFD_Document;

class OFD_Page : public IG_Page
{
public:
    OFD_Page(OFD_Document *document, uint32_t id, const CCA_GRect &box);
    ~OFD_Page() override;

    IG_Document *Document() const override;
    OFD_Document *OFDDocument() const { return m_document; }
    int PageIndex() const override;
    uint32_t ID() const override { return m_id; }
    // Also tells the document's counter that the ID is taken.
    void SetID(uint32_t id);
    CCA_GRect PageBox() const override { return m_box; }
    void SetPageBox(const CCA_GRect &box);

    // A failed load still counts as done, so a broken page is not read again on every call.
    bool IsParsed() const override { return m_parsed; }
    bool Parse() override;
    void SetParsed(bool parsed) { m_parsed = parsed; }
    bool IsAnnotsLoaded() const override { return m_annotsLoaded; }
    bool LoadAnnots() override;
    void SetAnnotsLoaded(bool loaded) { m_annotsLoaded = loaded; }

    int PageObjectCount() const override { return m_objects.Count(); }
    IG_PageObject *PageObjectAt(int index) const override;
    // Content in painting order; `index` -1 appends. The page owns the object.
    IG_PageObject *AddPageObject(std::unique_ptr<IG_PageObject> object, int index = -1);
    // A new object of `type` with a fresh ID, appended to the content.
    IG_PageObject *CreatePageObject(int type);
    bool RemovePageObject(int index);

    int AnnotCount() const override { return int(m_annots.size()); }
    IG_Annot *AnnotAt(int index) const override;
    IG_Annot *AnnotByID(uint32_t id) const override;
    int AnnotIndex(const IG_Annot *annot) const override;
    int AnnotsAtPoint(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GPoint &point,
                      float tolerance, float scale, int flags, const CCA_String &subTypeFilter,
                      const OMSharedPtr<const OMJson> &extra) const override;
    int AnnotsInRect(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GRect &rect) const override;
    uint64_t AnnotsRevision() const override;
    uint64_t AnnotsOwnRevision() const override { return m_revision; }
    bool AnnotsChangedAreas(uint64_t ownRevision, std::vector<CCA_GRect> &areas) const override;
    IG_Annot *AddAnnot(int type, const CCA_String &subType, int index, bool buildAppearance,
                       const OMSharedPtr<const OMJson> &extra) override;
    IG_Annot *TakeAnnot(IG_Annot *annot) override;
    void InsertAnnot(IG_Annot *annot, int index) override;
    std::vector<std::pair<int, IG_Annot *>> TakeAnnots(const std::vector<IG_Annot *> &annots) override;
    std::vector<std::pair<int, IG_Annot *>> TakeAnnotsAt(const std::vector<std::pair<int, IG_Annot *>> &expected) override;
    int InsertAnnots(const std::vector<std::pair<int, IG_Annot *>> &taken) override;
    std::vector<IG_Annot *> AnnotsByIDs(const std::vector<uint32_t> &ids) const override;

    // For a reader: an annotation with OFD's defaults, the given ID (0 takes a fresh one)
    // and no appearance yet, appended without marking the document modified.
    OFD_Annot *AppendLoadedAnnot(int type, uint32_t id);

    // Told by an annotation of this page that it changed: any attribute, its ID, its boundary.
    void AnnotChanged(const IG_Annot *annot);
    void AnnotIDChanged();
    void AnnotMoved(const IG_Annot *annot, const CCA_GRect &before);

private:
    void Touch();
    void NoteChangedArea(const CCA_GRect &area);
    // The lookups below are rebuilt when next needed after the list changed, except for
    // appends, which they follow.
    void Restructured();
    void Appended(IG_Annot *annot);
    void EnsurePositions() const;
    void NotePosition(IG_Annot *annot, int index) const;
    // Takes out those marked in `wanted`, one per annotation, in one pass.
    std::vector<std::pair<int, IG_Annot *>> TakeMarked(const std::vector<char> &wanted, size_t count);
    void EnsureIDs() const;
    const OFD_AnnotGrid &Grid() const;

    OFD_Document *m_document;
    uint32_t m_id;
    CCA_GRect m_box;
    bool m_parsed = true;
    bool m_annotsLoaded = true;
    OFD_PageObjectList m_objects;
    std::vector<std::unique_ptr<IG_Annot>> m_annots;
    uint64_t m_revision = 0;
    // Areas of the changes after m_areasKnownAfter, each with the revision it made.
    std::vector<std::pair<uint64_t, CCA_GRect>> m_changedAreas;
    uint64_t m_areasKnownAfter = 0;
    // Positions of annotations of other classes than OFD_Annot, which keep their own.
    mutable QHash<const IG_Annot *, int> m_positions;
    mutable bool m_positionsValid = true;
    // The first annotation of each ID in page order; m_sharedIDs when some ID is held twice.
    mutable OFD_AnnotIDs m_byID;
    mutable bool m_byIDValid = true;
    mutable bool m_sharedIDs = false;
    mutable std::unique_ptr<OFD_AnnotGrid> m_grid;
    mutable std::vector<int> m_candidates;
};
