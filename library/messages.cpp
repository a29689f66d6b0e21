#include "messages.h"

#include <cstdio>

#include "ads.h"
#include "adsdlg.h"
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

// A button of the yes/no dialog ends it with its own status.
void end_with(ads_callback_packet* packet, int status)
{
    if (!packet->value || !packet->value[0]) return;
    ads_done_dialog(packet->dialog, status);
}
void on_yes(ads_callback_packet* packet)
{
    end_with(packet, 1);
}
void on_no(ads_callback_packet* packet)
{
    end_with(packet, 2);
}
void on_cancel(ads_callback_packet* packet)
{
    end_with(packet, 3);
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
    std::string path = folder + "/dcl/YesNoCancel.dcl";
    int dcl_id = -1;
    if (ads_load_dialog(path.c_str(), &dcl_id) != RTNORM || dcl_id < 0) {
        acutPrintf("\n Error Loading %s", path.c_str());
        return 0;
    }
    ads_hdlg dialog = nullptr;
    if (ads_new_dialog("yes_no_dlg", dcl_id, nullptr, &dialog) != RTNORM || !dialog) {
        ads_unload_dialog(dcl_id);
        return 0;
    }
    ads_set_tile(dialog, "msg", message.c_str());
    ads_set_tile(dialog, "main", title.c_str());
    ads_action_tile(dialog, "yes", on_yes);
    ads_action_tile(dialog, "no", on_no);
    ads_action_tile(dialog, "cancel", on_cancel);
    int status = 0;
    ads_start_dialog(dialog, &status);
    acutPrintf("\nidlg %i", status);
    // Unloaded after use, so that asking again and again does not pile up
    // loaded files in the host.
    ads_unload_dialog(dcl_id);
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
