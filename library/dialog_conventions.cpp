// The dialog conventions: loading, setting tiles from a command's variables,
// the callbacks that write them back, the author tile and the re-show loop.
#include "dialog_conventions.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "ads.h"
#include "folders_registry.h"
#include "layers.h"
#include "numbers.h"

namespace {

dialog_tile make_tile(const std::string& key, tile_kind kind)
{
    dialog_tile tile;
    tile.key = key;
    tile.kind = kind;
    return tile;
}

void set_tile(ads_hdlg dialog, const std::string& key, const std::string& value)
{
    ads_set_tile(dialog, key.c_str(), value.c_str());
}

// The other radio buttons of a group that sets one variable show "0".
void clear_other_choices(ads_hdlg dialog, const dialog_tile& chosen)
{
    if (!chosen.owner) return;
    for (const dialog_tile& other : chosen.owner->tiles)
        if (other.kind == tile_kind::choice && other.integer == chosen.integer && other.key != chosen.key)
            set_tile(dialog, other.key, "0");
}

bool fits(const dialog_tile& tile, const char* value)
{
    return tile.max_length == 0 || std::strlen(value) <= tile.max_length;
}

void say_refused(ads_hdlg dialog, const std::string& said)
{
    if (ads_set_tile(dialog, "error", said.c_str()) != RTNORM) acutPrintf("\n%s\n", said.c_str());
}

// Says why a checked tile refused its value, or clears what was said once a
// good value comes. A dialog without an error tile says it on the command line,
// on a line of its own.
void check_said(ads_callback_packet* packet, const dialog_tile& tile, bool number, bool good)
{
    if (!tile.accept) return;
    if (good) {
        ads_set_tile(packet->dialog, "error", "");
        return;
    }
    say_refused(packet->dialog,
                number ? tile.why : "\"" + std::string(packet->value) + "\" is no number. " + tile.why);
}

void apply_rule(ads_callback_packet* packet, dialog_tile& tile)
{
    const char* value = packet->value;
    switch (tile.kind) {
        case tile_kind::real: {
            // A text longer than the tile takes is put back without a word, as for a name.
            if (!fits(tile, value)) {
                dialog_tile_show(packet->dialog, tile);
                break;
            }
            const bool number = str_is_number(value) == 4;
            const double typed = number ? std::strtod(value, nullptr) : 0.0;
            const bool good = number && (!tile.accept || tile.accept(typed));
            if (good) *tile.real = typed;
            check_said(packet, tile, number, good);
            dialog_tile_show(packet->dialog, tile);
            break;
        }
        case tile_kind::integer: {
            const bool number = str_is_number(value) == 4;
            const long typed = number ? std::strtol(value, nullptr, 10) : 0;
            const bool fits_int = typed >= INT_MIN && typed <= INT_MAX;
            // The check sees the number as typed, so that decimals of 2.5 are no decimals.
            const bool good =
                number && fits_int && (!tile.accept || tile.accept(std::strtod(value, nullptr)));
            if (good || (number && !tile.accept)) *tile.integer = static_cast<int>(typed);
            check_said(packet, tile, number, good);
            dialog_tile_show(packet->dialog, tile);
            break;
        }
        case tile_kind::number_text: {
            const bool number = str_is_number(value) == 4;
            const double typed = number ? std::strtod(value, nullptr) : 0.0;
            const bool good = number && (!tile.accept || tile.accept(typed));
            if (good) *tile.text = dialog_real_text(typed, tile.decimals);
            check_said(packet, tile, number, good);
            dialog_tile_show(packet->dialog, tile);
            break;
        }
        case tile_kind::layer_name:
            // An invalid name has been alerted by the check.
            if (fits(tile, value) && layer_name_valid(value, 0)) *tile.text = value;
            dialog_tile_show(packet->dialog, tile);
            break;
        case tile_kind::text:
            if (fits(tile, value) && (!tile.accept_text || tile.accept_text(value))) {
                *tile.text = value;
                if (tile.accept_text) ads_set_tile(packet->dialog, "error", "");
            } else {
                dialog_tile_show(packet->dialog, tile);
                if (tile.accept_text) say_refused(packet->dialog, tile.why);
            }
            break;
        case tile_kind::toggle:
        case tile_kind::radio:
            *tile.integer = std::strcmp(value, "0") != 0 ? 1 : 0;
            break;
        case tile_kind::choice:
            if (std::strcmp(value, "1") == 0) {
                *tile.integer = tile.status;
                clear_other_choices(packet->dialog, tile);
            }
            break;
        case tile_kind::popup:
            *tile.integer = static_cast<int>(std::strtol(value, nullptr, 10));
            break;
        case tile_kind::button:
            ads_done_dialog(packet->dialog, tile.status);
            break;
        case tile_kind::help:
            home_page_open(tile.help_page.c_str());
            break;
        case tile_kind::action:
            break;
    }
}

void tile_callback(ads_callback_packet* packet)
{
    if (!packet || !packet->value || !*packet->value || !packet->client_data) return;
    dialog_tile& tile = *static_cast<dialog_tile*>(packet->client_data);
    apply_rule(packet, tile);
    if (tile.then) tile.then(packet);
}

// The author tile opens the maker's home page, as the help buttons do.
void author_callback(ads_callback_packet* packet)
{
    if (packet && packet->value && *packet->value) home_page_open("");
}

bool has_tile(const dialog_def& def, const std::string& key)
{
    for (const dialog_tile& tile : def.tiles)
        if (tile.key == key) return true;
    return false;
}

}  // namespace

dialog_tile tile_real(const std::string& key, double& value, int decimals)
{
    dialog_tile tile = make_tile(key, tile_kind::real);
    tile.real = &value;
    tile.decimals = decimals;
    return tile;
}

dialog_tile tile_integer(const std::string& key, int& value)
{
    dialog_tile tile = make_tile(key, tile_kind::integer);
    tile.integer = &value;
    return tile;
}

namespace {

dialog_tile with_check(dialog_tile tile, std::function<bool(double)> accept, const std::string& why)
{
    tile.accept = std::move(accept);
    tile.why = why;
    return tile;
}

}  // namespace

dialog_tile tile_size(const std::string& key, double& value, int decimals)
{
    return with_check(tile_real(key, value, decimals), size_valid, size_refused);
}

dialog_tile tile_decimals(const std::string& key, int& value, int low, int high)
{
    return with_check(
        tile_integer(key, value),
        [low, high](double v) { return v == std::floor(v) && v >= low && v <= high; },
        decimals_refused(low, high));
}

dialog_tile tile_size_text(const std::string& key, std::string& number, int decimals)
{
    return with_check(tile_number_text(key, number, decimals), size_valid, size_refused);
}

dialog_tile tile_decimals_text(const std::string& key, std::string& number, int low, int high)
{
    return with_check(
        tile_number_text(key, number, 0),
        [low, high](double v) { return v == std::floor(v) && v >= low && v <= high; },
        decimals_refused(low, high));
}

dialog_tile tile_real_positive(const std::string& key, double& value, int decimals)
{
    return tile_size(key, value, decimals);
}

dialog_tile tile_integer_within(const std::string& key, int& value, int low, int high, const std::string& why)
{
    return with_check(
        tile_integer(key, value), [low, high](double v) { return v >= low && v <= high; }, why);
}

dialog_tile tile_real_checked(const std::string& key, double& value, int decimals,
                              std::function<bool(double)> good, const std::string& why)
{
    return with_check(tile_real(key, value, decimals), std::move(good), why);
}

dialog_tile tile_text_checked(const std::string& key, std::string& text,
                              std::function<bool(const std::string&)> good, const std::string& why)
{
    dialog_tile tile = tile_text(key, text);
    tile.accept_text = std::move(good);
    tile.why = why;
    return tile;
}

dialog_tile tile_number_text(const std::string& key, std::string& number, int decimals)
{
    dialog_tile tile = make_tile(key, tile_kind::number_text);
    tile.text = &number;
    tile.decimals = decimals;
    return tile;
}

dialog_tile tile_layer(const std::string& key, std::string& name, size_t max_length)
{
    dialog_tile tile = make_tile(key, tile_kind::layer_name);
    tile.text = &name;
    tile.max_length = max_length;
    return tile;
}

dialog_tile tile_text(const std::string& key, std::string& text, size_t max_length)
{
    dialog_tile tile = make_tile(key, tile_kind::text);
    tile.text = &text;
    tile.max_length = max_length;
    return tile;
}

dialog_tile tile_toggle(const std::string& key, int& value)
{
    dialog_tile tile = make_tile(key, tile_kind::toggle);
    tile.integer = &value;
    return tile;
}

dialog_tile tile_radio(const std::string& key, int& value)
{
    dialog_tile tile = make_tile(key, tile_kind::radio);
    tile.integer = &value;
    return tile;
}

dialog_tile tile_choice(const std::string& key, int& variable, int value)
{
    dialog_tile tile = make_tile(key, tile_kind::choice);
    tile.integer = &variable;
    tile.status = value;
    return tile;
}

dialog_tile tile_popup(const std::string& key, int& index, const std::vector<std::string>& items)
{
    dialog_tile tile = make_tile(key, tile_kind::popup);
    tile.integer = &index;
    tile.items = &items;
    return tile;
}

dialog_tile tile_button(const std::string& key, int status)
{
    dialog_tile tile = make_tile(key, tile_kind::button);
    tile.status = status;
    return tile;
}

dialog_tile tile_help(const std::string& key, const std::string& page)
{
    dialog_tile tile = make_tile(key, tile_kind::help);
    tile.help_page = page;
    return tile;
}

dialog_tile tile_action(const std::string& key, std::function<void(ads_callback_packet*)> action)
{
    dialog_tile tile = make_tile(key, tile_kind::action);
    tile.then = std::move(action);
    return tile;
}

dialog_tile operator+(dialog_tile tile, std::function<void(ads_callback_packet*)> then)
{
    tile.then = std::move(then);
    return tile;
}

std::string dialog_real_text(double value, int decimals)
{
    // The library's one decimal writer, whose buffer holds any double.
    return rtos_decimal(value, decimals);
}

void dialog_tile_show(ads_hdlg dialog, const dialog_tile& tile)
{
    switch (tile.kind) {
        case tile_kind::real:
            set_tile(dialog, tile.key, dialog_real_text(*tile.real, tile.decimals));
            break;
        case tile_kind::integer:
            set_tile(dialog, tile.key, std::to_string(*tile.integer));
            break;
        case tile_kind::number_text:
        case tile_kind::layer_name:
        case tile_kind::text:
            set_tile(dialog, tile.key, *tile.text);
            break;
        case tile_kind::toggle:
        case tile_kind::radio:
            set_tile(dialog, tile.key, *tile.integer ? "1" : "0");
            break;
        case tile_kind::choice:
            set_tile(dialog, tile.key, *tile.integer == tile.status ? "1" : "0");
            break;
        case tile_kind::popup:
            ads_start_list(dialog, tile.key.c_str(), LIST_NEW, 0);
            for (const std::string& item : *tile.items) ads_add_list(item.c_str());
            ads_end_list();
            set_tile(dialog, tile.key, std::to_string(*tile.integer));
            break;
        case tile_kind::button:
        case tile_kind::help:
        case tile_kind::action:
            break;
    }
}

std::string dialog_path(const std::string& file, const std::string& folder)
{
    return (folder.empty() ? app_install_folder() : folder) + "/dcl/" + file;
}

int dialog_show(dialog_def& def)
{
    std::string path = dialog_path(def.file, def.folder);
    int dcl_id = -1;
    if (ads_load_dialog(path.c_str(), &dcl_id) != RTNORM || dcl_id < 0) {
        acutPrintf(def.load_error.c_str(), path.c_str());
        return dialog_not_shown;
    }
    // Each use loads the file anew, so each use unloads it again.
    ads_hdlg dialog = nullptr;
    if (ads_new_dialog(def.name.c_str(), dcl_id, nullptr, &dialog) != RTNORM || !dialog) {
        ads_unload_dialog(dcl_id);
        return dialog_not_shown;
    }
    for (dialog_tile& tile : def.tiles) {
        tile.owner = &def;
        dialog_tile_show(dialog, tile);
        ads_client_data_tile(dialog, tile.key.c_str(), &tile);
        ads_action_tile(dialog, tile.key.c_str(), tile_callback);
    }
    if (!has_tile(def, "text_author")) {
        set_tile(dialog, "text_author", home_page_url());
        ads_action_tile(dialog, "text_author", author_callback);
    }
    if (def.on_open) def.on_open(dialog);
    int status = DLGCANCEL;
    if (ads_start_dialog(dialog, &status) != RTNORM) status = DLGCANCEL;
    ads_unload_dialog(dcl_id);
    for (dialog_tile& tile : def.tiles) tile.owner = nullptr;
    return status;
}

int dialog_run(dialog_def& def, const std::function<bool(int status)>& on_pick)
{
    while (true) {
        int status = dialog_show(def);
        if (status == dialog_not_shown || status == DLGOK || status == DLGCANCEL || status < 0) return status;
        if (!on_pick || !on_pick(status)) return status;
    }
}
