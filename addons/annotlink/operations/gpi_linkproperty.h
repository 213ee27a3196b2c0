#pragma once

#include "uiframework/g_operationinterceptor.h"

// Opens the link property dialog around "d_annotlinkproperty".
class GPI_LinkProperty : public G_OperationInterceptor
{
public:
    bool IsIntercept(G_Operation *operation) override;
    bool DoActionHandle(G_Operation *operation) override;
    bool BeforeDoActionHandle(G_Operation *operation) override;
    void NotifyHandle(G_Operation *operation) override;
};
