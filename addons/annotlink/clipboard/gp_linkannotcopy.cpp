#include "clipboard/gp_linkannotcopy.h"

#include "tool/linkclipboardrecord.h"

G_Operation *GP_LinkAnnotCopy::Clone() const
{
    GP_LinkAnnotCopy *copy = new GP_LinkAnnotCopy;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkAnnotCopy::Name() const
{
    return "d_annotlinkcopy";
}

int GP_LinkAnnotCopy::AuthorityType() const
{
    return 2;
}

int GP_LinkAnnotCopy::DoAction()
{
    if (!DocView())
        return 0;
    const int pageIndex = Param().GetInt32(QStringLiteral("pageIndex"), 0);
    const int annotID = Param().GetInt32(QStringLiteral("annotID"), 0);
    return LinkClipboardRecord::CopyToClipboard(DocView(), pageIndex, uint32_t(annotID)) ? 1 : 0;
}
