#include "operations/gp_linkproperty.h"

G_Operation *GP_LinkProperty::Clone() const
{
    GP_LinkProperty *copy = new GP_LinkProperty;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkProperty::Name() const
{
    return "d_annotlinkproperty";
}

int GP_LinkProperty::DoAction()
{
    return DocView() ? 1 : 0;
}
