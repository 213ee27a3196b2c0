#pragma once

#include "uiframework/g_operation.h"

// "tt_deletealllink": removes every link of the document in one undoable deletion.
class GP_DeleteAllLinkAnnot : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override;
    int AuthorityType() const override;
    int DoAction() override;
};
