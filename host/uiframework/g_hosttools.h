#pragma once

// Registers the host's own tools, "t_handtool" and "gt_fullscreen". Safe to call more than once.
void G_RegisterHostTools();
