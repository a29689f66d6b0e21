#include "messages.h"

#include <cstdio>

#include "ads.h"
#include "dialog_conventions.h"
#include "numbers.h"

namespace {

int percent_counter = 0;
int tick_counter = 0;

void tick_with_first_line(const std::string& first_line)
{
    if (tick_counter == 0) acutPrintf("%s", first_line.c_str());
    ++tick_counter;
    if (tick_counter == 10) acutPrintf("\\\r");
    if (tick_counter == 20) {
        acutPrintf("/\r");
        tick_counter = 1;
    }
}

}  // namespace

void progress_reset()
{
    percent_counter = 0;
}

void progress_percent(int done, int total)
{
    // Nothing to do counts as all done.
    double percent = total > 0 ? static_cast<double>(done) / total * 100.0 : 100.0;
    std::string shown = rtos_decimal(percent, 0) + "%";
    acutPrintf("\rProcessing  %s....", shown.c_str());
    ++percent_counter;
}

void progress_tick_start()
{
    tick_counter = 0;
}

void progress_tick()
{
    tick_with_first_line("\nProcessing..\n");
}

void progress_tick_named(const std::string& text)
{
    tick_with_first_line("\n" + text + "..\n");
}

int progress_percent_count()
{
    return percent_counter;
}
int progress_tick_count()
{
    return tick_counter;
}

void msg_alert_two(const std::string& text1, const std::string& text2)
{
    acedAlert((text1 + "\n" + text2).c_str());
}

void msg_alert_long(const std::string& text, long value)
{
    acedAlert((text + "\n" + std::to_string(value)).c_str());
}

void msg_alert_int(const std::string& text, int value)
{
    acedAlert((text + "\n" + std::to_string(value)).c_str());
}

void msg_alert_real(const std::string& text, double value)
{
    char number[64];
    std::snprintf(number, sizeof number, "%.8f", value);
    acedAlert((text + " \n" + number).c_str());
}

int yes_no_dialog(const std::string& folder, const std::string& title, const std::string& message)
{
    dialog_def def{"YesNoCancel.dcl",
                   "yes_no_dlg",
                   {tile_button("yes", 1), tile_button("no", 2), tile_button("cancel", 3)},
                   [&](ads_hdlg dialog) {
                       ads_set_tile(dialog, "msg", message.c_str());
                       ads_set_tile(dialog, "main", title.c_str());
                   }};
    def.folder = folder;
    int status = dialog_show(def);
    if (status == dialog_not_shown) return 0;
    acutPrintf("\nidlg %i", status);
    return status;
}

int is_true_byte(unsigned char value)
{
    return value != 0 ? 1 : 0;
}
int is_true_int(int value)
{
    return value != 0 ? 1 : 0;
}
