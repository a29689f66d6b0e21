// The terrain-model menu.
#pragma once

// Shows the menu and runs the chosen terrain tool. Returns 0.
int b_dtm_main();
// 1 when a tool was chosen, 0 when cancelled or the dialog cannot be shown.
int dtm_dlg_run();
