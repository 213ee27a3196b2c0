#pragma once

#include "uiframework/g_operation.h"

// "d_annotlinkcut": puts one link on the clipboard and deletes it.
class GP_LinkAnnotCut : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;
};
