#include "g_hosttools.h"

#include "gt_fullscreen.h"
#include "gt_handtool.h"

// The prototypes live for the whole process; the registry only refers to them.
void G_RegisterHostTools()
{
    static GT_HandTool handTool;
    static GT_FullScreen fullScreen;
    handTool.RegisterHandlerToGlobal();
    fullScreen.RegisterHandlerToGlobal();
}
