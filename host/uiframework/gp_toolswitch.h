#pragma once

#include "gp_changehandler.h"

// A tool switch registered under the tool's own name ("t_handtool", "gt_fullscreen"):
// running it makes that tool current.
class GP_ToolSwitch : public GP_ChangeHandler
{
public:
    explicit GP_ToolSwitch(const char *toolName);
    G_Operation *Clone() const override;
    const char *Name() const override { return m_toolName; }

private:
    const char *m_toolName; // a literal
};
