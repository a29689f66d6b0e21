// The host's dialog functions (adsdlg.h). A loaded file is kept parsed; a new
// dialog is a flat list of its tiles (in the file's order, each knowing its
// parent) with their values, lists, enabled states and callbacks. A started
// dialog is answered line by line from the session's input, the same input that
// answers the command line: every line is one dialog action (set, pick, select,
// ok, cancel, show) until a callback, an action attribute, the OK button, a
// cancel button or Esc ends it.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "adsdlg.h"
#include "dialogs/dcl_parse.h"
#include "dialogs/dcl_runtime.h"
#include "session/session.h"
#include "platform/win_platform.h"

namespace host {

namespace {

struct LiveTile {
    std::string key, kind, label, value, action;
    bool enabled = true;
    bool is_cancel = false;
    bool is_default = false;
    std::vector<std::string> items;  // list_box and popup_list
    CLIENTFUNC callback = nullptr;
    void* client_data = nullptr;
    int parent = -1;
    int depth = 0;
};

struct LiveDialog {
    std::string name, label;
    std::vector<LiveTile> tiles;
    CLIENTFUNC default_callback = nullptr;
    bool running = false;
    bool done = false;
    int status = DLGCANCEL;
    std::string focus;  // the tile given the focus by ads_mode_tile
};

// The list that ads_start_list opened for ads_add_list.
struct ListFill {
    LiveDialog* dialog = nullptr;
    int tile = -1;
    int operation = 0;
    int index = 0;
};

struct DialogHost {
    std::map<int, std::shared_ptr<const DclFile>> files;  // by dcl_id
    // The id and text of each file loaded: loading the same unchanged file again
    // (the product loads at every use and never unloads) gives the same id, so
    // the loaded files do not pile up.
    std::map<std::string, std::pair<int, std::string>> loaded;
    int next_id = 1;
    std::map<ads_hdlg, std::unique_ptr<LiveDialog>> dialogs;
    std::vector<LiveDialog*> running;  // innermost last
    std::optional<ListFill> list;
};

DialogHost& dialog_host()
{
    static DialogHost state;
    return state;
}

void say(const std::string& text)
{
    if (Session* session = Session::current_or_null()) session->print(text);
}

// A dialog action or file that cannot be taken: a failure of the session.
void refuse(const std::string& text)
{
    if (Session* session = Session::current_or_null()) session->fail(text);
}

LiveDialog* find_dialog(ads_hdlg handle)
{
    auto& dialogs = dialog_host().dialogs;
    const auto found = dialogs.find(handle);
    return found == dialogs.end() ? nullptr : found->second.get();
}

int find_tile(const LiveDialog& dialog, const char* key)
{
    if (!key || !*key) return -1;
    for (size_t i = 0; i < dialog.tiles.size(); ++i)
        if (dialog.tiles[i].key == key) return static_cast<int>(i);
    return -1;
}

bool is_button(const LiveTile& tile)
{
    return tile.kind == "button" || tile.kind == "image_button";
}
bool is_list(const LiveTile& tile)
{
    return tile.kind == "list_box" || tile.kind == "popup_list";
}
bool is_edit(const LiveTile& tile)
{
    return tile.kind == "edit_box" || tile.kind == "slider";
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

void add_tiles(LiveDialog& dialog, const DclTile& tile, int parent, int depth)
{
    LiveTile live;
    live.kind = tile.kind;
    live.key = tile.attribute("key");
    live.label = tile.attribute("label");
    live.value = tile.attribute("value");
    live.action = tile.attribute("action");
    live.enabled = tile.attribute("is_enabled") != "false";
    live.is_cancel = tile.flag("is_cancel");
    live.is_default = tile.flag("is_default");
    live.items = split_lines(tile.attribute("list"));
    live.parent = parent;
    live.depth = depth;
    if ((live.kind == "toggle" || live.kind == "radio_button") && live.value.empty()) live.value = "0";
    if (live.kind == "popup_list" && live.value.empty() && !live.items.empty()) live.value = "0";
    // A text tile's value is the text it shows: its label until a value is set.
    if ((live.kind == "text" || live.kind == "text_part") && !tile.has("value")) live.value = live.label;
    dialog.tiles.push_back(live);
    const int index = static_cast<int>(dialog.tiles.size()) - 1;
    for (const DclTile& child : tile.children) add_tiles(dialog, child, index, depth + 1);
}

// A tile is usable when it and every tile around it are enabled (a disabled row
// disables its buttons).
bool usable(const LiveDialog& dialog, int index)
{
    for (int at = index; at >= 0; at = dialog.tiles[at].parent)
        if (!dialog.tiles[at].enabled) return false;
    return true;
}

bool in_cluster(const LiveDialog& dialog, int index)
{
    const int parent = dialog.tiles[index].parent;
    return parent >= 0 && dcl_is_radio_cluster(dialog.tiles[parent].kind);
}

// The key of the chosen radio button of a cluster; empty when none is chosen.
std::string cluster_value(const LiveDialog& dialog, int cluster)
{
    for (const LiveTile& tile : dialog.tiles)
        if (&tile != &dialog.tiles[cluster] && tile.parent == cluster && tile.kind == "radio_button" &&
            tile.value == "1")
            return tile.key;
    return "";
}

// Turns a radio button on and the others of its cluster off.
void choose_radio(LiveDialog& dialog, int index)
{
    const int parent = dialog.tiles[index].parent;
    if (in_cluster(dialog, index))
        for (LiveTile& tile : dialog.tiles)
            if (tile.parent == parent && tile.kind == "radio_button") tile.value = "0";
    dialog.tiles[index].value = "1";
}

std::string tile_value(const LiveDialog& dialog, int index)
{
    const LiveTile& tile = dialog.tiles[index];
    if (dcl_is_radio_cluster(tile.kind)) return cluster_value(dialog, index);
    return tile.value;
}

// What a callback is told as the tile's value: a button's is its key (never
// empty, so callbacks that ignore empty values still see the press).
std::string callback_value(const LiveDialog& dialog, int index)
{
    const LiveTile& tile = dialog.tiles[index];
    if (is_button(tile)) return tile.value.empty() ? (tile.key.empty() ? "1" : tile.key) : tile.value;
    return tile_value(dialog, index);
}

void end_dialog(LiveDialog& dialog, int status)
{
    dialog.done = true;
    dialog.status = status;
}

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Reads "(done_dialog)" or "(done_dialog N)" at pos; false when the text there
// is anything else.
bool read_done_dialog(const std::string& text, size_t& pos, int& status)
{
    auto skip_blanks = [&] {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    };
    skip_blanks();
    if (pos >= text.size() || text[pos] != '(') return false;
    ++pos;
    skip_blanks();
    const std::string word = "done_dialog";
    if (text.compare(pos, word.size(), word) != 0) return false;
    pos += word.size();
    skip_blanks();
    status = DLGOK;
    const size_t number_start = pos;
    if (pos < text.size() && text[pos] == '-') ++pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos;
    if (pos > number_start) {
        const std::string number = text.substr(number_start, pos - number_start);
        errno = 0;
        const long value = std::strtol(number.c_str(), nullptr, 10);
        if (number == "-" || errno == ERANGE || value > INT_MAX || value < INT_MIN) return false;
        status = static_cast<int>(value);
    }
    skip_blanks();
    if (pos >= text.size() || text[pos] != ')') return false;
    ++pos;
    skip_blanks();
    return true;
}

// Evaluates an action attribute of the file. Only "(done_dialog)" and
// "(done_dialog N)" are understood (the product's files use nothing else); any
// other expression is reported and does nothing.
void run_action_attribute(LiveDialog& dialog, const LiveTile& tile)
{
    size_t pos = 0;
    int status = DLGOK;
    if (!read_done_dialog(tile.action, pos, status) || pos != tile.action.size()) {
        say("\nThe dialog cannot evaluate the action \"" + tile.action + "\" of tile \"" + tile.key + "\".");
        return;
    }
    end_dialog(dialog, status);
}

void call_back(LiveDialog& dialog, CLIENTFUNC callback, const LiveTile& tile, const std::string& key,
               const std::string& value, int reason)
{
    ads_callback_packet packet{};
    packet.dialog = &dialog;
    packet.tile = key.c_str();
    packet.value = value.c_str();
    packet.client_data = tile.client_data;
    packet.reason = reason;
    callback(&packet);
}

// Runs what a tile does when the user has changed or pressed it: its callback,
// else its action attribute, else (for a radio button) its cluster's, else the
// built-in ending of the OK and cancel buttons, else the dialog's default
// callback.
void fire(LiveDialog& dialog, int index, int reason)
{
    // Copies: the callback may set tiles, and the packet's texts must stay valid.
    const LiveTile tile = dialog.tiles[index];
    const std::string value = callback_value(dialog, index);
    if (tile.callback) return call_back(dialog, tile.callback, tile, tile.key, value, reason);
    if (!tile.action.empty()) return run_action_attribute(dialog, tile);
    if (tile.kind == "radio_button" && in_cluster(dialog, index)) {
        const LiveTile cluster = dialog.tiles[tile.parent];
        if (cluster.callback)
            return call_back(dialog, cluster.callback, cluster, cluster.key, tile.key, reason);
        if (!cluster.action.empty()) return run_action_attribute(dialog, cluster);
    }
    if (is_button(tile) && tile.key == "accept") return end_dialog(dialog, DLGOK);
    if (is_button(tile) && tile.is_cancel) return end_dialog(dialog, DLGCANCEL);
    if (dialog.default_callback)
        return call_back(dialog, dialog.default_callback, tile, tile.key, value, reason);
    if (is_button(tile)) say("\nButton \"" + tile.key + "\" has no action.");
}

// ---- Showing a dialog ----

void show_dialog(const LiveDialog& dialog)
{
    std::string text = "\nDialog " + dialog.name;
    if (!dialog.label.empty()) text += " \"" + dialog.label + "\"";
    for (size_t i = 1; i < dialog.tiles.size(); ++i) {
        const LiveTile& tile = dialog.tiles[i];
        if (tile.key.empty() && tile.label.empty()) continue;  // pure layout
        text +=
            "\n" + std::string(2 * tile.depth, ' ') + (tile.key.empty() ? "-" : tile.key) + ": " + tile.kind;
        if (!tile.label.empty()) text += ", label \"" + tile.label + "\"";
        if (!is_button(tile) && !(dcl_is_container(tile.kind) && !dcl_is_radio_cluster(tile.kind)))
            text += ", value \"" + tile_value(dialog, static_cast<int>(i)) + "\"";
        text += usable(dialog, static_cast<int>(i)) ? ", enabled" : ", disabled";
        for (size_t item = 0; item < tile.items.size(); ++item)
            text +=
                "\n" + std::string(2 * tile.depth + 4, ' ') + std::to_string(item) + ": " + tile.items[item];
    }
    text += "\nAnswer with: set KEY VALUE, pick KEY, select KEY INDEX, ok, cancel, show";
    say(text);
}

// ---- Answering a dialog ----

// Finds a keyed tile the user names; reports an unknown or disabled tile.
int tile_for_action(const LiveDialog& dialog, const std::string& key)
{
    const int index = find_tile(dialog, key.c_str());
    if (index < 0) {
        refuse("\nThe dialog " + dialog.name + " has no tile \"" + key + "\".");
        return -1;
    }
    if (!usable(dialog, index)) {
        refuse("\nTile \"" + key + "\" is disabled; the action is refused.");
        return -1;
    }
    return index;
}

void press(LiveDialog& dialog, int index)
{
    LiveTile& tile = dialog.tiles[index];
    if (is_button(tile)) {
        fire(dialog, index, CBR_SELECT);
    } else if (tile.kind == "toggle") {
        tile.value = tile.value == "1" ? "0" : "1";
        fire(dialog, index, CBR_SELECT);
    } else if (tile.kind == "radio_button") {
        choose_radio(dialog, index);
        fire(dialog, index, CBR_SELECT);
    } else {
        refuse("\nTile \"" + tile.key + "\" is a " + tile.kind + ": answer it with " +
               (is_list(tile) ? "select KEY INDEX." : "set KEY VALUE."));
    }
}

void select_item(LiveDialog& dialog, int index, const std::string& text)
{
    LiveTile& tile = dialog.tiles[index];
    if (!is_list(tile)) {
        refuse("\nTile \"" + tile.key + "\" is a " + tile.kind + ", not a list.");
        return;
    }
    int item = -1;
    std::istringstream in(text);
    if (!(in >> item) || !(in >> std::ws).eof() || item < 0 || item >= static_cast<int>(tile.items.size())) {
        refuse("\nTile \"" + tile.key + "\" has " + std::to_string(tile.items.size()) +
               " items; the index must be 0 to " + std::to_string(static_cast<int>(tile.items.size()) - 1) +
               ".");
        return;
    }
    tile.value = std::to_string(item);
    fire(dialog, index, CBR_SELECT);
}

void set_value(LiveDialog& dialog, int index, const std::string& value)
{
    LiveTile& tile = dialog.tiles[index];
    if (is_edit(tile)) {
        tile.value = value;
        fire(dialog, index, CBR_LOST_FOCUS);
    } else if (tile.kind == "toggle") {
        if (value != "0" && value != "1") return refuse("\nA toggle is set to 0 or 1.");
        tile.value = value;
        fire(dialog, index, CBR_SELECT);
    } else if (tile.kind == "radio_button") {
        if (value != "1")
            return refuse("\nA radio button is turned off by choosing another one: set it to 1.");
        press(dialog, index);
    } else if (dcl_is_radio_cluster(tile.kind)) {
        for (size_t i = 0; i < dialog.tiles.size(); ++i)
            if (dialog.tiles[i].parent == index && dialog.tiles[i].key == value && !value.empty()) {
                if (!usable(dialog, static_cast<int>(i)))
                    return refuse("\nTile \"" + value + "\" is disabled; the action is refused.");
                return press(dialog, static_cast<int>(i));
            }
        refuse("\nThe radio buttons of \"" + tile.key + "\" have no key \"" + value + "\".");
    } else if (is_list(tile)) {
        select_item(dialog, index, value);
    } else {
        refuse("\nTile \"" + tile.key + "\" is a " + tile.kind +
               (is_button(tile) ? ": pick it." : " and cannot be set."));
    }
}

// A value as the user typed it: surrounding double quotes are removed, so that
// "" is an empty value and " a " keeps its blanks.
std::string unquote(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

void answer(LiveDialog& dialog, const std::string& line)
{
    const std::string text = trim(line);
    if (text == "^C") return end_dialog(dialog, DLGCANCEL);
    std::istringstream in(text);
    std::string command, key;
    in >> command >> key;
    std::transform(command.begin(), command.end(), command.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string rest;
    std::getline(in, rest);
    rest = unquote(trim(rest));

    if (command == "show") return show_dialog(dialog);
    if (command == "cancel") return end_dialog(dialog, DLGCANCEL);
    if (command == "ok") {
        int index = find_tile(dialog, "accept");
        if (index < 0)
            for (size_t i = 0; i < dialog.tiles.size() && index < 0; ++i)
                if (is_button(dialog.tiles[i]) && dialog.tiles[i].is_default) index = static_cast<int>(i);
        if (index < 0)
            return refuse("\nThe dialog " + dialog.name + " has no OK button; pick one of its buttons.");
        if (!usable(dialog, index)) return refuse("\nThe OK button is disabled; the action is refused.");
        return press(dialog, index);
    }
    if ((command == "pick" || command == "set" || command == "select") && key.empty())
        return refuse("\n" + command + " needs a tile key.");
    if (command == "pick" || command == "set" || command == "select") {
        const int index = tile_for_action(dialog, key);
        if (index < 0) return;
        if (command == "pick") return press(dialog, index);
        if (command == "set") return set_value(dialog, index, rest);
        return select_item(dialog, index, rest);
    }
    refuse("\nA dialog is open: answer with set KEY VALUE, pick KEY, select KEY INDEX, ok, cancel or show.");
}

void close_dialog(LiveDialog* dialog)
{
    DialogHost& state = dialog_host();
    state.running.erase(std::remove(state.running.begin(), state.running.end(), dialog), state.running.end());
    if (state.list && state.list->dialog == dialog) state.list.reset();
    state.dialogs.erase(dialog);
}

// ---- Files ----

// A dialog file as it lies on disk: the path goes through the platform's one
// translation of Windows-style paths (backslashes, drive letters, folders
// named without regard to case); empty when there is no such file.
std::string existing_path(const std::string& dcl_file)
{
    std::error_code error;
    std::string path = platform::native_path(dcl_file);
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
}

}  // namespace

std::string open_dialog_name()
{
    const auto& running = dialog_host().running;
    return running.empty() ? "" : running.back()->name;
}

}  // namespace host

using namespace host;

extern "C" {

HOST_API int ads_load_dialog(const char* dcl_file, int* dcl_id)
{
    if (dcl_id) *dcl_id = -1;
    if (!dcl_file || !dcl_id) return RTERROR;
    const std::string path = existing_path(dcl_file);
    if (path.empty()) return RTERROR;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) return RTERROR;
    DialogHost& state = dialog_host();
    if (const auto found = state.loaded.find(path); found != state.loaded.end() &&
                                                    found->second.second == text.str() &&
                                                    state.files.count(found->second.first)) {
        *dcl_id = found->second.first;
        return RTNORM;
    }
    DclError error;
    auto file = parse_dcl(text.str(), path, &error);
    if (!file) {
        refuse("\nError in dialog file " + error.text());
        return RTERROR;
    }
    *dcl_id = state.next_id++;
    state.files[*dcl_id] = std::make_shared<const DclFile>(std::move(*file));
    state.loaded[path] = {*dcl_id, text.str()};
    return RTNORM;
}

HOST_API int ads_unload_dialog(int dcl_id)
{
    return dialog_host().files.erase(dcl_id) ? RTNORM : RTERROR;
}

HOST_API int ads_new_dialog(const char* dialog_name, int dcl_id, CLIENTFUNC default_callback, ads_hdlg* hdlg)
{
    if (hdlg) *hdlg = nullptr;
    DialogHost& state = dialog_host();
    const auto file = state.files.find(dcl_id);
    if (!dialog_name || !hdlg || file == state.files.end()) return RTERROR;
    const auto definition = file->second->dialogs.find(dialog_name);
    if (definition == file->second->dialogs.end()) return RTERROR;
    auto dialog = std::make_unique<LiveDialog>();
    dialog->name = dialog_name;
    dialog->label = definition->second.attribute("label");
    dialog->default_callback = default_callback;
    add_tiles(*dialog, definition->second, -1, 0);
    *hdlg = dialog.get();
    state.dialogs[*hdlg] = std::move(dialog);
    return RTNORM;
}

HOST_API int ads_start_dialog(ads_hdlg hdlg, int* status)
{
    LiveDialog* dialog = find_dialog(hdlg);
    Session* session = Session::current_or_null();
    if (!dialog || dialog->running || !session) return RTERROR;
    DialogHost& state = dialog_host();
    dialog->running = true;
    dialog->done = false;
    state.running.push_back(dialog);
    try {
        if (session->input() && session->input()->interactive()) show_dialog(*dialog);
        while (!dialog->done) answer(*dialog, session->ask_dialog("\nDialog " + dialog->name + "> "));
    } catch (...) {  // the input ran out (or a callback failed): the dialog goes with the command
        close_dialog(dialog);
        throw;
    }
    const int result = dialog->status;
    close_dialog(dialog);
    if (status) *status = result;
    return RTNORM;
}

HOST_API int ads_done_dialog(ads_hdlg hdlg, int status)
{
    LiveDialog* dialog = find_dialog(hdlg);
    if (!dialog) return RTERROR;
    end_dialog(*dialog, status);
    return RTNORM;
}

HOST_API int ads_term_dialog()
{
    for (LiveDialog* dialog : dialog_host().running) end_dialog(*dialog, DLGALLDONE);
    return RTNORM;
}

HOST_API int ads_action_tile(ads_hdlg hdlg, const char* key, CLIENTFUNC callback)
{
    LiveDialog* dialog = find_dialog(hdlg);
    const int index = dialog ? find_tile(*dialog, key) : -1;
    if (index < 0) return RTERROR;
    dialog->tiles[index].callback = callback;
    return RTNORM;
}

HOST_API int ads_client_data_tile(ads_hdlg hdlg, const char* key, void* data)
{
    LiveDialog* dialog = find_dialog(hdlg);
    const int index = dialog ? find_tile(*dialog, key) : -1;
    if (index < 0) return RTERROR;
    dialog->tiles[index].client_data = data;
    return RTNORM;
}

HOST_API int ads_set_tile(ads_hdlg hdlg, const char* key, const char* value)
{
    LiveDialog* dialog = find_dialog(hdlg);
    const int index = dialog ? find_tile(*dialog, key) : -1;
    if (index < 0) return RTERROR;
    const std::string text = value ? value : "";
    LiveTile& tile = dialog->tiles[index];
    if (is_button(tile)) {
        tile.label = text;  // a button shows the value set as its label
    } else if (tile.kind == "radio_button") {
        if (text == "1")
            choose_radio(*dialog, index);
        else
            tile.value = "0";
    } else if (dcl_is_radio_cluster(tile.kind)) {
        for (LiveTile& button : dialog->tiles)
            if (button.parent == index && button.kind == "radio_button")
                button.value = button.key == text ? "1" : "0";
    } else {
        tile.value = text;
    }
    return RTNORM;
}

HOST_API int ads_get_tile(ads_hdlg hdlg, const char* key, char* value, int max_length)
{
    LiveDialog* dialog = find_dialog(hdlg);
    const int index = dialog ? find_tile(*dialog, key) : -1;
    if (index < 0 || !value || max_length <= 0) return RTERROR;
    const LiveTile& tile = dialog->tiles[index];
    const std::string text = is_button(tile) ? tile.label : tile_value(*dialog, index);
    const size_t length = std::min(text.size(), static_cast<size_t>(max_length - 1));
    std::memcpy(value, text.data(), length);
    value[length] = '\0';
    return RTNORM;
}

HOST_API int ads_mode_tile(ads_hdlg hdlg, const char* key, short mode)
{
    LiveDialog* dialog = find_dialog(hdlg);
    const int index = dialog ? find_tile(*dialog, key) : -1;
    if (index < 0) return RTERROR;
    LiveTile& tile = dialog->tiles[index];
    switch (mode) {
        case MODE_ENABLE:
            tile.enabled = true;
            break;
        case MODE_DISABLE:
            tile.enabled = false;
            break;
        case MODE_SETFOCUS:
        case MODE_SETSEL:  // the text is selected where the focus is
            dialog->focus = tile.key;
            break;
        case MODE_FLIP:
            tile.enabled = !tile.enabled;
            break;
        default:
            return RTERROR;
    }
    return RTNORM;
}

HOST_API int ads_start_list(ads_hdlg hdlg, const char* key, short operation, short index)
{
    DialogHost& state = dialog_host();
    state.list.reset();
    LiveDialog* dialog = find_dialog(hdlg);
    const int tile = dialog ? find_tile(*dialog, key) : -1;
    if (tile < 0 || !is_list(dialog->tiles[tile])) return RTERROR;
    std::vector<std::string>& items = dialog->tiles[tile].items;
    switch (operation) {
        case LIST_NEW:
            items.clear();
            break;
        case LIST_APPEND:
            break;
        case LIST_CHANGE:
            if (index < 0 || index >= static_cast<int>(items.size())) return RTERROR;
            break;
        default:
            return RTERROR;
    }
    state.list = ListFill{dialog, tile, operation, index};
    return RTNORM;
}

HOST_API int ads_add_list(const char* item)
{
    DialogHost& state = dialog_host();
    if (!state.list || !item) return RTERROR;
    ListFill& fill = *state.list;
    std::vector<std::string>& items = fill.dialog->tiles[fill.tile].items;
    if (fill.operation == LIST_CHANGE && fill.index < static_cast<int>(items.size()))
        items[fill.index++] = item;
    else
        items.push_back(item);
    return RTNORM;
}

HOST_API int ads_end_list()
{
    DialogHost& state = dialog_host();
    if (!state.list) return RTERROR;
    LiveTile& tile = state.list->dialog->tiles[state.list->tile];
    state.list.reset();
    // A chosen index beyond the new list is dropped; a pop-up list always shows an item.
    int chosen = -1;
    std::istringstream in(tile.value);
    if (!(in >> chosen) || chosen >= static_cast<int>(tile.items.size()))
        tile.value = tile.kind == "popup_list" && !tile.items.empty() ? "0" : "";
    return RTNORM;
}

}  // extern "C"
