#pragma once

#include "ig_annot.h"

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"
#include "omutility/omjson.h"

#include <cstdint>
#include <utility>
#include <vector>

class IG_Document;

class IG_Page
{
public:
    virtual ~IG_Page() = default;
    virtual IG_Document *Document() const = 0;
    virtual int PageIndex() const = 0;
    virtual uint32_t ID() const = 0;
    // The page box in millimetres, (0, 0, width, height).
    virtual CCA_GRect PageBox() const = 0;

    virtual bool IsParsed() const = 0;
    virtual bool Parse() = 0;
    virtual bool IsAnnotsLoaded() const = 0;
    virtual bool LoadAnnots() = 0;

    // Content objects of the page in painting order (after Parse).
    virtual int PageObjectCount() const = 0;
    virtual IG_PageObject *PageObjectAt(int index) const = 0;

    virtual int AnnotCount() const = 0;
    virtual IG_Annot *AnnotAt(int index) const = 0;
    virtual IG_Annot *AnnotByID(uint32_t id) const = 0;
    virtual int AnnotIndex(const IG_Annot *annot) const = 0; // -1 when not on this page
    // Annotations whose boundary, widened by `tolerance` screen pixels at zoom factor `scale`,
    // holds `point`, bottom first. `subTypeFilter` empty takes every subtype. With `flags`
    // bit 1 hidden annotations are skipped. `extra` is unused.
    virtual int AnnotsAtPoint(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GPoint &point,
                              float tolerance, float scale, int flags,
                              const CCA_String &subTypeFilter,
                              const OMSharedPtr<const OMJson> &extra) const = 0;
    // Annotations whose normalised boundary meets `rect` (edges included), bottom first.
    virtual int AnnotsInRect(CCA_ArrayTemplate<IG_Annot *> &result, const CCA_GRect &rect) const = 0;
    // Changes whenever an annotation of the page, its place, its attributes or any
    // appearance object of the document changes; drawings of the annotations may be kept
    // while it stays the same.
    virtual uint64_t AnnotsRevision() const = 0;
    // Counts only the changes made through this page's own annotations (list, places,
    // attributes; not appearance objects). `AnnotsChangedAreas` gives what such changes
    // since `ownRevision` touched (page millimetres, before and after), or false when that
    // is not known (the list changed, or too much changed).
    virtual uint64_t AnnotsOwnRevision() const = 0;
    virtual bool AnnotsChangedAreas(uint64_t ownRevision, std::vector<CCA_GRect> &areas) const = 0;
    // For a drawing made at (`revision`, `ownRevision`): true with the areas to draw again
    // when every change since came through the page's own annotations; false when it must
    // be drawn afresh. Anything else (an appearance object anywhere) shows only in the sum.
    bool AnnotsChangedOnlyIn(uint64_t revision, uint64_t ownRevision, std::vector<CCA_GRect> &areas) const
    {
        areas.clear();
        return AnnotsRevision() - revision == AnnotsOwnRevision() - ownRevision
            && AnnotsChangedAreas(ownRevision, areas);
    }
    // Creates an annotation with a fresh document-unique ID and inserts it at `index`
    // (-1 appends). With `buildAppearance` and a description in `extra`, its appearance
    // is built from it. The page owns the result.
    virtual IG_Annot *AddAnnot(int type, const CCA_String &subType, int index, bool buildAppearance,
                               const OMSharedPtr<const OMJson> &extra) = 0;
    // Takes the annotation out of the page; the caller owns it until it is inserted again.
    virtual IG_Annot *TakeAnnot(IG_Annot *annot) = 0;
    // Puts back an annotation that TakeAnnot gave out; the page owns it again.
    virtual void InsertAnnot(IG_Annot *annot, int index) = 0;
    // TakeAnnot for many at once, in one pass: answers those found on this page with their
    // positions before the call, in page order.
    virtual std::vector<std::pair<int, IG_Annot *>> TakeAnnots(const std::vector<IG_Annot *> &annots) = 0;
    // AnnotByID for each of `ids`, in their order; null where none has the ID.
    virtual std::vector<IG_Annot *> AnnotsByIDs(const std::vector<uint32_t> &ids) const = 0;
    // TakeAnnots for annotations expected at the given positions (where an earlier
    // InsertAnnots put them); any found elsewhere are looked up.
    virtual std::vector<std::pair<int, IG_Annot *>> TakeAnnotsAt(const std::vector<std::pair<int, IG_Annot *>> &expected) = 0;
    // Puts back what TakeAnnots gave out, each at the position it had; answers how many went in.
    virtual int InsertAnnots(const std::vector<std::pair<int, IG_Annot *>> &taken) = 0;
};
