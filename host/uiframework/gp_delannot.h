#pragma once

#include "g_operation.h"

// "d_delannot": removes the annotations listed in "pageAndAnnotID" ("p:id,p:id");
// undoable unless "NoUndo". Removed annotations stay alive in the undo command.
class GP_DelAnnot : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override { return "d_delannot"; }
    int AuthorityType() const override { return 2; }
    int DoAction() override;
};
