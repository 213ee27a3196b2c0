#pragma once

#include "uiframework/g_operationinterceptor.h"

// Asks the user before "tt_deletealllink" runs.
class GPI_DeleteAllLinkAnnot : public G_OperationInterceptor
{
public:
    bool IsIntercept(G_Operation *operation) override;
    bool DoActionHandle(G_Operation *operation) override;
    bool BeforeDoActionHandle(G_Operation *operation) override;
    void NotifyHandle(G_Operation *operation) override;
};
