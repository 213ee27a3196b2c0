#pragma once

#include "uiframework/g_operation.h"

// "d_annotlinkcopy": puts one link on the clipboard.
class GP_LinkAnnotCopy : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;
};
