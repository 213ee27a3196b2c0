#pragma once

#include "uiframework/g_operation.h"

struct CCA_GRect;
class GAC_Link;
class LinkClipboardRecord;

// "d_annotlinkpaste": creates a link from the clipboard record at the position that
// GPI_LinkAnnotPaste proposes.
class GP_LinkAnnotPaste : public G_Operation
{
public:
    GP_LinkAnnotPaste();
    ~GP_LinkAnnotPaste() override;
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;

private:
    // Builds the link on `pageIndex` inside `page` (page millimetres); false when the record
    // cannot be read and nothing was created.
    bool PasteLink(const LinkClipboardRecord &record, int pageIndex, const CCA_GRect &page);

    // Only during one DoAction.
    GAC_Link *m_link = nullptr;
};
