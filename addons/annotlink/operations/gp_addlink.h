#pragma once

#include "uiframework/g_operation.h"

// "d_addlink": opens the property dialog for a new link over the selected text.
class GP_AddLink : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;
};
