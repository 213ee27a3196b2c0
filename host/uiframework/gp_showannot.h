#pragma once

#include "g_operation.h"

// "t_showannot": shows ("isVisible" true, the default) or hides the annotations of the view.
class GP_ShowAnnot : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override { return "t_showannot"; }
    int AuthorityType() const override { return 1; }
    int DoAction() override;
};
