#pragma once

#include "g_operation.h"

// "tt_link": the link tool's toolbar button. Leaves the link tool for the hand tool when
// it is current, otherwise runs "ga_link".
class GP_LinkToolToggle : public G_Operation
{
public:
    G_Operation *Clone() const override;
    const char *Name() const override { return "tt_link"; }
    int AuthorityType() const override { return 1; }
    int DoAction() override;
};
