#pragma once

#include "g_operation.h"

// Makes the tool handler named by the parameter "name" the active tool of the view.
class GP_ChangeHandler : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int DoAction() override;
    virtual void InitHandler();
};
