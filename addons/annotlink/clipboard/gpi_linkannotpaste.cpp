#include "clipboard/gpi_linkannotpaste.h"

#include "operations/interceptname.h"

bool GPI_LinkAnnotPaste::IsIntercept(G_Operation *operation)
{
    return IsInterceptName(operation, "d_annotlinkpaste");
}

bool GPI_LinkAnnotPaste::DoActionHandle(G_Operation *)
{
    return true;
}

void GPI_LinkAnnotPaste::NotifyHandle(G_Operation *)
{
}
