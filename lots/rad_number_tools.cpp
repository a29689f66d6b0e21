// The radiation number tools and their menu.
#include "rad_number_tools.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "ads.h"
#include "dialog_conventions.h"
#include "layers.h"
#include "prompts.h"
#include "rad_points.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "text_modify.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

// Sequence gaps printed one by one before the rest is summed up in one line.
constexpr long kMissingLinesShown = 10000;

bool tag_of(const ads_name entity, std::int32_t& number)
{
    xdata_read_rec& read = xdata_read_state();
    read.want_int32 = true;
    xdata_read_requested(entity, rad_listing_app);
    number = read.int32;
    return read.found_int32;
}

std::string type_of(const ads_name entity)
{
    resbuf* groups = acdbEntGet(entity);
    const char* type = groups ? rb_get_str(groups, 0) : nullptr;
    std::string out = type ? str_upper_copy(type) : "";
    if (groups) acutRelRb(groups);
    return out;
}

// A number of the tools' prompts: the value, or 0 for 0 or "X" (the way out).
std::int32_t ask_number(const char* prompt)
{
    for (;;) {
        std::string out;
        const int rc = prompt_int_spec(std::string("0,X,") + prompt, 0, out);
        if (rc == 2) return 0;
        if (rc != 1) continue;
        const long value = std::atol(out.c_str());
        if (value >= 0) return static_cast<std::int32_t>(value);
        acutPrintf("\nA point number is 1 or more (0 or X to leave).");
    }
}

struct numbered_entity {
    std::int32_t number = 0;
    point3d_rec point;
    ads_name name = {0, 0};
};

// Every tagged entity of the type in the drawing, in drawing order.
std::vector<numbered_entity> tagged_all(const char* type)
{
    std::vector<numbered_entity> out;
    ads_name ss;
    long length = 0;
    if (!ss_all_type(type, ss, length)) return out;
    for (long i = 0; i < length; ++i) {
        numbered_entity e;
        if (acedSSName(ss, i, e.name) != RTNORM || !tag_of(e.name, e.number)) continue;
        resbuf* groups = acdbEntGet(e.name);
        if (groups) {
            rb_get_point(groups, 10, e.point, 0);
            acutRelRb(groups);
        }
        out.push_back(e);
    }
    acedSSFree(ss);
    return out;
}

// The records of one kind whose new number another entity of that kind keeps.
std::set<std::int32_t> clashes_of(const std::vector<rad_num_rec>& records, const char* type)
{
    rad_num_lists& w = rad_num_working();
    std::set<std::pair<long, long>> moving;
    for (const rad_num_rec& r : records) {
        ads_name e;
        if (acedSSName(w.set, r.index, e) == RTNORM) moving.insert({e[0], e[1]});
    }
    std::set<std::int32_t> kept;
    for (const numbered_entity& e : tagged_all(type))
        if (!moving.count({e.name[0], e.name[1]})) kept.insert(e.number);
    std::set<std::int32_t> clashes;
    for (const rad_num_rec& r : records)
        if (kept.count(r.new_number)) clashes.insert(r.new_number);
    return clashes;
}

// False (after saying which numbers) when the new numbers would give numbers
// that points or texts left alone already carry.
bool new_numbers_free()
{
    rad_num_lists& w = rad_num_working();
    std::set<std::int32_t> clashes = clashes_of(w.points, "POINT");
    for (std::int32_t n : clashes_of(w.texts, "TEXT")) clashes.insert(n);
    if (clashes.empty()) return true;
    std::string list;
    int shown = 0;
    for (std::int32_t n : clashes) {
        if (shown++ == 20) {
            list += ", ...";
            break;
        }
        list += (list.empty() ? "" : ", ") + std::to_string(n);
    }
    const std::string message = "These numbers are in use already: " + list + "\nNothing was changed.";
    acutPrintf("\n%s", message.c_str());
    acedAlert(message.c_str());
    return false;
}

// Records every selected entity whose tag passes `wanted`, with the new number
// `renumbered` gives it; false when the user cancelled the selection or a new
// number would leave the 32-bit range.
template <typename Wanted, typename Renumbered>
bool select_records(Wanted wanted, Renumbered renumbered)
{
    rad_num_lists& w = rad_num_working();
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, w.set) != RTNORM) {
        w.set[0] = w.set[1] = 0;
        return false;
    }
    acedSSLength(w.set, &w.length);
    for (long i = 0; i < w.length; ++i) {
        ads_name e;
        std::int32_t n = 0;
        if (acedSSName(w.set, i, e) != RTNORM || !tag_of(e, n) || !wanted(n)) continue;
        const long long next = renumbered(n);
        if (next < 1 || next > INT32_MAX) {
            acutPrintf("\nPoint %d would be numbered %lld, out of range: nothing was changed.", n, next);
            return false;
        }
        const rad_num_rec record{n, static_cast<std::int32_t>(next), static_cast<std::int32_t>(i)};
        (type_of(e) == "TEXT" ? w.texts : w.points).push_back(record);
    }
    return true;
}

void apply_record(const rad_num_rec& r, bool is_text)
{
    ads_name e;
    if (acedSSName(rad_num_working().set, r.index, e) != RTNORM) return;
    resbuf* groups = acdbEntGet(e);
    const std::string layer = groups && rb_get_str(groups, 8) ? rb_get_str(groups, 8) : "0";
    if (groups) acutRelRb(groups);
    const bool locked = (layer_flags_get(layer.c_str()) & 4) != 0;
    if (locked) acedCommand(RTSTR, "Layer", RTSTR, "unlock", RTSTR, layer.c_str(), RTSTR, "", RTNONE);
    xdata_pending_set_int32(r.new_number);
    ent_xdata_add(e, rad_listing_app);
    if (is_text) {
        text_modify_set(1, std::to_string(r.new_number), 0, 0);
        text_modify_apply(e);
    }
    if (locked) acedCommand(RTSTR, "Layer", RTSTR, "lock", RTSTR, layer.c_str(), RTSTR, "", RTNONE);
}

void apply_new_numbers()
{
    rad_num_lists& w = rad_num_working();
    if (!new_numbers_free()) return;
    for (const rad_num_rec& r : w.texts) apply_record(r, true);
    for (const rad_num_rec& r : w.points) apply_record(r, false);
    acutPrintf("\n%d points and %d texts renumbered.", static_cast<int>(w.points.size()),
               static_cast<int>(w.texts.size()));
}

void rad_renumber()
{
    rad_list_reset();
    const std::int32_t start = ask_number("Start Number");
    if (start == 0) return;
    const std::int32_t to = ask_number("To Number");
    if (to == 0) return;
    const long long shift = static_cast<long long>(to) - start;
    if (select_records([&](std::int32_t n) { return n >= start; },
                       [&](std::int32_t n) { return static_cast<long long>(n) + shift; }))
        apply_new_numbers();
    rad_list_reset();
}

void rad_insert_number()
{
    rad_list_reset();
    const std::int32_t from = ask_number("from");
    if (from == 0) return;
    const std::int32_t to = ask_number("to");
    if (to == 0 || to == from) return;
    if (select_records([&](std::int32_t n) { return n >= to; },
                       [&](std::int32_t n) { return n == from ? to : static_cast<long long>(n) + 1; })) {
        const rad_num_lists& w = rad_num_working();
        if (!w.points.empty() && !w.texts.empty())
            apply_new_numbers();
        else
            acutPrintf("\nNo point with its number text from %d on was selected: nothing was changed.", to);
    }
    rad_list_reset();
}

void rad_check_duplicates()
{
    const std::vector<numbered_entity> points = tagged_all("POINT");
    // The pairs with the same number, in the order the pairs of the drawing
    // come (earlier point first).
    std::map<std::int32_t, std::vector<size_t>> by_number;
    for (size_t i = 0; i < points.size(); ++i) by_number[points[i].number].push_back(i);
    std::vector<std::pair<size_t, size_t>> pairs;
    for (const auto& [number, places] : by_number)
        for (size_t a = 0; a < places.size(); ++a)
            for (size_t b = a + 1; b < places.size(); ++b) pairs.push_back({places[a], places[b]});
    std::sort(pairs.begin(), pairs.end());
    for (size_t k = 0; k < pairs.size(); ++k) {
        if (k == 0) acutPrintf("\nDuplicated points..");
        const numbered_entity &a = points[pairs[k].first], &b = points[pairs[k].second];
        acutPrintf("\nPoint [%d] at %.3f,%.3f => %.3f,%.3f duplicated", a.number, a.point.x, a.point.y,
                   b.point.x, b.point.y);
    }
    char message[128];
    if (pairs.empty())
        std::snprintf(message, sizeof message, "\nNO duplicated point numbers");
    else
        std::snprintf(message, sizeof message, "\n%d duplicated found.\nPress F2 for detail",
                      static_cast<int>(pairs.size()));
    acedAlert(message);
}

void rad_check_sequence()
{
    std::set<std::int32_t> numbers;
    for (const numbered_entity& e : tagged_all("POINT")) numbers.insert(e.number);
    long shown = 0;
    long long more = 0;
    std::int32_t last_shown = 0;
    for (auto it = numbers.begin(); it != numbers.end(); ++it) {
        const auto next = std::next(it);
        if (next == numbers.end()) break;
        for (long long n = static_cast<long long>(*it) + 1; n < *next; ++n) {
            if (shown == kMissingLinesShown) {
                more += *next - n;
                last_shown = *next - 1;
                break;
            }
            acutPrintf("\nNumber %d missing", static_cast<int>(n));
            ++shown;
        }
    }
    if (more > 0) acutPrintf("\n... and %lld more numbers missing, up to %d", more, last_shown);
}

void rad_convert_texts()
{
    ads_name ss;
    long length = 0;
    if (!ss_select_type("TEXT", ss, length)) return;
    int converted = 0;
    for (long i = 0; i < length; ++i) {
        ads_name e;
        if (acedSSName(ss, i, e) != RTNORM) continue;
        resbuf* groups = acdbEntGet(e);
        const std::string string = groups && rb_get_str(groups, 1) ? rb_get_str(groups, 1) : "";
        if (groups) acutRelRb(groups);
        const long value = std::atol(string.c_str());
        if (value > INT32_MAX || value < INT32_MIN) {
            acutPrintf("\nThe text \"%s\" is beyond the numbers a point can carry: left as it was.",
                       string.c_str());
            continue;
        }
        xdata_pending_set_int32(static_cast<std::int32_t>(value));
        if (ent_xdata_add(e, rad_listing_app) == 1) ++converted;
    }
    acedSSFree(ss);
    acutPrintf("\n%d texts converted.", converted);
}

}  // namespace

rad_num_lists& rad_num_working()
{
    static rad_num_lists lists;
    return lists;
}

void rad_list_reset()
{
    rad_num_lists& w = rad_num_working();
    if (w.set[0] || w.set[1]) acedSSFree(w.set);
    w.set[0] = w.set[1] = 0;
    w.points.clear();
    w.texts.clear();
    w.length = 0;
}

void radlisting_menu_dispatch(int choice)
{
    acdbRegApp(rad_listing_app);
    switch (choice) {
        case 1:
            rad_renumber();
            break;
        case 2:
            rad_insert_number();
            break;
        case 3:
            rad_check_duplicates();
            break;
        case 4:
            rad_check_sequence();
            break;
        case 5:
            rad_convert_texts();
            break;
        default:
            break;
    }
}

int dlg_radlisting_menu()
{
    static const std::vector<std::string> tools = {"Renumber", "Insert Number", "Check Duplicated",
                                                   "Check Sequend", "convert old text to new format"};
    int chosen = 0;
    dialog_def def;
    def.file = "Rad_Listing_menu_Dlg.dcl";
    def.name = "radlisting_menu_dlg";
    def.tiles = {tile_popup("s_progname", chosen, tools), tile_button("exit", 1), tile_button("go_btn", 2)};
    return dialog_run(def, [&](int status) {
        if (status == 2) radlisting_menu_dispatch(chosen + 1);
        return true;
    });
}
