#include "gp_toolswitch.h"

GP_ToolSwitch::GP_ToolSwitch(const char *toolName) : m_toolName(toolName)
{
    Param().Add(QStringLiteral("name"), QString::fromLatin1(toolName));
}

G_Operation *GP_ToolSwitch::Clone() const
{
    auto *copy = new GP_ToolSwitch(m_toolName);
    copy->CopyFrom(*this);
    return copy;
}
