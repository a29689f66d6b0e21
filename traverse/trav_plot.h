// The traverse command's dialogs: the traverse settings.
#pragma once

// The dialog "trav_setting_dlg" of "/dcl/Trav_Setting_DlgNew.dcl": "ok" stores
// the station text height, the traverse colour and the level and code prompt
// toggles into the traverse settings; "cancel" leaves them. The radiation
// colour is shown but has no action, so it keeps its value. Returns the
// dialog's status, or dialog_not_shown after "\n Error Loading %s".
int trav_setting_dlg();
