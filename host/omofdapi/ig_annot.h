#pragma once

#include "ig_appearance.h"

#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"

#include <cstdint>
#include <utility>
#include <vector>

class IG_Page;

enum G_AnnotType {
    G_AnnotType_Unknown = 0,
    G_AnnotType_Link = 1,
    G_AnnotType_Path = 2,
    G_AnnotType_Highlight = 3,
    G_AnnotType_Stamp = 4,
    G_AnnotType_Watermark = 5
};

CCA_String AnnotTypeToString(int type); // "Link", "Path", "Highlight", "Stamp", "Watermark"; "" otherwise
int AnnotTypeFromString(const CCA_String &text);

class IG_Annot
{
public:
    virtual ~IG_Annot() = default;
    // The page that holds the annotation; null while it is out of its page (deleted, kept for undo).
    virtual IG_Page *Page() const = 0;
    virtual uint32_t ID() const = 0;
    virtual int Type() const = 0;
    virtual CCA_String SubType() const = 0;
    virtual void SetSubType(const CCA_String &subType) = 0;
    virtual CCA_GRect Boundary() const = 0;
    // A boundary that is not finite is refused; the old one stays.
    virtual void SetBoundary(const CCA_GRect &boundary) = 0;
    virtual CCA_String LastModDate() const = 0;
    virtual void SetLastModDate(const CCA_String &date) = 0;
    virtual CCA_String Creator() const = 0;
    virtual void SetCreator(const CCA_String &creator) = 0;
    virtual bool IsReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsPrint() const = 0;
    virtual void SetPrint(bool print) = 0;
    virtual CCA_String Remark() const = 0;
    virtual void SetRemark(const CCA_String &remark) = 0;
    // Name/value parameters in document order.
    virtual std::vector<std::pair<CCA_String, CCA_String>> Parameters() const = 0;
    virtual void SetParameters(const std::vector<std::pair<CCA_String, CCA_String>> &parameters) = 0;
    virtual IG_Appearance *Appearance() const = 0; // null when none
    virtual IG_Appearance *CreateAppearance() = 0;  // the existing one when there is one
};
