#pragma once

#include "uiframework/gp_changehandler.h"

// "ga_link": makes the link tool the active tool, with annotations shown.
class GP_LinkChangeHandler : public GP_ChangeHandler
{
public:
    GP_LinkChangeHandler();
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;
};
