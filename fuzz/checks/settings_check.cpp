// The commands' stored settings: a settings text read into a command's
// settings and written, then read and written again, is the same text. The
// input's lines are also read as the MapInfo labels' KEY=VALUE list.
#include <functional>
#include <vector>

#include "check_support.h"
#include "find_area.h"
#include "input_bgd.h"
#include "input_point.h"
#include "level_label.h"
#include "lot_number.h"
#include "mapinfo_labels.h"
#include "rad_listing_table.h"
#include "round_trips.h"
#include "text_lines.h"

namespace fuzzcheck {

namespace {

// One command's settings text: its reading (false: refused, settings kept) and writing.
template <typename Settings>
std::string settings_text_round_trip(const std::string& what, const std::string& input,
                                     const std::function<bool(const std::string&, Settings&)>& parse,
                                     const std::function<std::string(const Settings&)>& write)
{
    Settings first;
    if (!parse(input, first)) return "";
    std::string first_text = write(first);
    Settings second;
    if (!parse(first_text, second)) return what + ": the written settings are refused: " + first_text;
    return difference(what + " settings written first and again", first_text, write(second));
}

template <typename Settings>
std::function<bool(const std::string&, Settings&)> always_taken(void (*parse)(const std::string&, Settings&))
{
    return [parse](const std::string& text, Settings& settings) {
        parse(text, settings);
        return true;
    };
}

std::string list_text(const std::vector<key_string_rec>& list)
{
    std::string text;
    for (const key_string_rec& entry : list) text += entry.text + "\n";
    return text;
}

// The MapInfo labels' list, for a state with two field records.
std::string mapinfo_round_trip(const std::string& input)
{
    mapinfo_state_rec first;
    first.fields.resize(2);
    std::vector<key_string_rec> list;
    for (const std::string& line : split_lines(input)) list.push_back({0, line});
    mapinfo_settings_parse(list, first);
    std::vector<key_string_rec> written = mapinfo_settings_list(first);
    mapinfo_state_rec second;
    second.fields.resize(2);
    mapinfo_settings_parse(written, second);
    return difference("MapInfo settings lists written first and again", list_text(written),
                      list_text(mapinfo_settings_list(second)));
}

}  // namespace

std::string settings_round_trip(std::string_view input_view)
{
    prepare();
    const std::string input(input_view);
    std::vector<std::function<std::string()>> checks = {
        [&] {
            return settings_text_round_trip<find_area_cfg_rec>("lot area", input, find_area_cfg_parse,
                                                               find_area_cfg_text);
        },
        [&] {
            return settings_text_round_trip<lot_number_cfg_rec>("lot number", input, lot_number_cfg_parse,
                                                                lot_number_cfg_text);
        },
        [&] {
            return settings_text_round_trip<rad_tbl_cfg_rec>("radiation table", input, rad_tbl_cfg_parse,
                                                             rad_tbl_cfg_text);
        },
        [&] {
            return settings_text_round_trip<inputbgd_cfg_rec>(
                "bearing input", input, always_taken(inputbgd_cfg_parse), inputbgd_cfg_text);
        },
        [&] {
            return settings_text_round_trip<label_aras_cfg_rec>("level labels", input, label_aras_cfg_parse,
                                                                label_aras_cfg_text);
        },
        [&] {
            return settings_text_round_trip<inputpnt_cfg_rec>("point input", input, inputpnt_cfg_parse,
                                                              inputpnt_cfg_text);
        },
        [&] { return mapinfo_round_trip(input); },
    };
    for (const auto& check : checks)
        if (std::string problem = check(); !problem.empty()) return problem;
    return "";
}

}  // namespace fuzzcheck
