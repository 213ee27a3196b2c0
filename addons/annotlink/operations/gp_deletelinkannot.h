#pragma once

#include "uiframework/g_operation.h"

// "d_annotlinkdel": removes one link through the host's undoable deletion.
class GP_DeleteLinkAnnot : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int DoAction() override;
};
