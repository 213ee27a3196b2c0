#pragma once

#include "ig_color.h"
#include "ig_page.h"

#include "ombase/cca_string.h"

#include <QByteArray>

#include <cstdint>

struct G_AttachmentInfo
{
    CCA_String name;
    CCA_String format;
    uint32_t id = 0;
    bool listed = true; // OFD Attachment@Visible: shown in attachment lists
    CCA_String filePath; // location inside the package
    CCA_String creationDate;
    CCA_String modDate;
    double sizeKB = 0;
    CCA_String usage;
};

enum G_MultiMediaType { G_MultiMedia_Image = 1, G_MultiMedia_Audio = 2, G_MultiMedia_Video = 3 };

struct G_MultiMediaInfo
{
    int type = 0;        // G_MultiMediaType
    CCA_String filePath; // location inside the package
    CCA_String format;
};

class IG_Document
{
public:
    virtual ~IG_Document() = default;
    virtual int PageCount() const = 0;
    virtual IG_Page *GetPage(int index) const = 0; // null when missing
    virtual uint32_t GetPageID(int index) const = 0; // 0 when missing
    virtual int PageIndexByID(uint32_t id) const = 0; // -1 when missing
    // A new colour (RGB, black, opaque); the caller deletes it.
    virtual IG_Color *CreateColor() const = 0;
    // Equal for the same open document, different between any two documents.
    virtual CCA_String DocumentKey() const = 0;

    virtual int AttachmentCount() const = 0;
    virtual bool AttachmentInfo(int index, G_AttachmentInfo &info) const = 0;
    virtual int AttachmentIndexByID(uint32_t id) const = 0; // -1 when missing
    // The attachment's bytes; empty when it cannot be read.
    virtual QByteArray AttachmentData(int index) const = 0;

    virtual int MultiMediaCount() const = 0;
    virtual uint32_t MultiMediaIDByIndex(int index) const = 0;
    virtual bool MultiMediaInfo(uint32_t id, G_MultiMediaInfo &info) const = 0;
    virtual QByteArray MultiMediaData(uint32_t id) const = 0;

    // A fresh document-unique identifier.
    virtual uint32_t NewID() = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
};
