#pragma once

#include "uiframework/g_operation.h"

class GAC_Link;

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
    // Only during one DoAction.
    GAC_Link *m_link = nullptr;
};
