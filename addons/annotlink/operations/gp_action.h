#pragma once

#include "uiframework/g_operation.h"

// "d_linkaction": hands a link's actions to the host's action handler while reading.
class GP_Action : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int DoAction() override;
};
