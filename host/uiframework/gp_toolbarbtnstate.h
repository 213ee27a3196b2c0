#pragma once

#include "g_operation.h"

// "t_toolbarbtnstate": sets the check state of the toolbar button "btnName" to "checked";
// the application's toolbar follows G_UIContext::ToolbarButtonStateChanged.
class GP_ToolbarBtnState : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override { return "t_toolbarbtnstate"; }
    int DoAction() override;
};
