#pragma once

#include "uiframework/g_operation.h"

// "d_annotlinkproperty": the property dialog itself is opened by GPI_LinkProperty.
class GP_LinkProperty : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int DoAction() override;
};
