#pragma once

// Registers the host's own operations ("d_delannot", "t_showannot", "t_toolbarbtnstate",
// "tt_link", "t_handtool"/"gt_fullscreen" switches) and tools ("t_handtool", "gt_fullscreen").
// Safe to call more than once.
void G_RegisterHostOperations();
