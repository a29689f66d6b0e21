// Progress lines that overwrite themselves, alert boxes, the yes/no/cancel
// dialog and the truth tests.
#pragma once

#include <string>

// Sets the percentage counter to 0.
void progress_reset();
// "\rProcessing  45%...." with done / total x 100.
void progress_percent(int done, int total);
// A ticker: "\nProcessing..\n" once after a start, then "\" and "/" in turn.
void progress_tick_start();
void progress_tick();
void progress_tick_named(const std::string& text);
// The counters, for tests.
int progress_percent_count();
int progress_tick_count();

void msg_alert_two(const std::string& text1, const std::string& text2);
void msg_alert_long(const std::string& text, long value);
void msg_alert_int(const std::string& text, int value);
void msg_alert_real(const std::string& text, double value);

// The dialog "yes_no_dlg" of folder + "/dcl/YesNoCancel.dcl" with the title and
// message: 1 yes, 2 no, 3 cancel, 0 when the dialog cannot be shown (after
// "\n Error Loading %s" when the file does not load).
int yes_no_dialog(const std::string& folder, const std::string& title, const std::string& message);

int is_true_byte(unsigned char value);
int is_true_int(int value);
