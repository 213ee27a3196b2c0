#include "clipboard/gp_linkannotcopy.h"

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
    return 0;
}
