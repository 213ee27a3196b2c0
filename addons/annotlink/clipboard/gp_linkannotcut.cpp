#include "clipboard/gp_linkannotcut.h"

G_Operation *GP_LinkAnnotCut::Clone() const
{
    GP_LinkAnnotCut *copy = new GP_LinkAnnotCut;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkAnnotCut::Name() const
{
    return "d_annotlinkcut";
}

int GP_LinkAnnotCut::AuthorityType() const
{
    return 2;
}

int GP_LinkAnnotCut::DoAction()
{
    return 0;
}
