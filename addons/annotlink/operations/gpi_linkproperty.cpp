#include "operations/gpi_linkproperty.h"

#include "operations/interceptname.h"

bool GPI_LinkProperty::IsIntercept(G_Operation *operation)
{
    return IsInterceptName(operation, "d_annotlinkproperty");
}

bool GPI_LinkProperty::DoActionHandle(G_Operation *)
{
    return true;
}

bool GPI_LinkProperty::BeforeDoActionHandle(G_Operation *)
{
    return true;
}

void GPI_LinkProperty::NotifyHandle(G_Operation *)
{
}
