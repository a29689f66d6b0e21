// The lot area table: linking lot numbers to area texts, collecting the linked
// texts, and the two table files.
#include "area_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "ads.h"
#include "find_area.h"
#include "folders_registry.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "text_fields.h"
#include "text_lines.h"
#include "winplat.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

constexpr const char* kLotApp = "TBL_LOTNUM";
constexpr const char* kDescApp = "TBL_LOTNUM_DESC";
constexpr const char* kTextFile = "c:\\area_tbl.txt";
constexpr const char* kCommaFile = "c:\\area_tbl.csv";
constexpr size_t kDescriptionLimit = 254;

struct area_table_state_rec {
    int description_mode = 0;  // 0 off, 1 select a text, 2 the constant
    std::string constant;
    int last_lot = 0;
    int scanned = 0;  // the drawing was scanned for the last lot
    std::string dwg_path;
};

area_table_state_rec& state()
{
    static area_table_state_rec s;
    return s;
}

std::string text_of(const ads_name entity)
{
    resbuf* groups = acdbEntGet(entity);
    const char* text = groups ? rb_get_str(groups, 1) : nullptr;
    std::string out = text ? text : "";
    if (groups) acutRelRb(groups);
    return out;
}

// One TEXT picked; 1, 2 for another kind, 0 for a miss.
int pick_text(const char* prompt, ads_name entity)
{
    point3d_rec picked;
    return ent_select_type(prompt, "TEXT", entity, picked);
}

// The unit text of an area text: the letters of its suffix ("m" for
// "m%%178", "M" for "M~", "Ac" for "Ac").
std::string unit_letters(const std::string& suffix)
{
    std::string unit;
    for (char c : suffix)
        if (std::isalpha(static_cast<unsigned char>(c))) unit.push_back(c);
    return unit;
}

// The record of a linked area text; false when it carries no lot tag.
bool area_record(const ads_name entity, area_tbl_rec& record)
{
    if (!ent_has_xdata(entity, kLotApp)) return false;
    const std::string text = text_of(entity);
    std::string suffix;
    area_text_split(text, record.area, suffix);
    record.unit = unit_letters(suffix);
    xdata_read_rec& read = xdata_read_state();
    read.want_int32 = true;
    read.want_text = true;
    xdata_read_requested(entity, kLotApp);
    record.lot = read.found_int32 ? read.int32 : 0;
    record.letters = read.found_text ? read.text : "";
    record.description.clear();
    ent_xdata_get_string(entity, kDescApp, record.description);
    return true;
}

bool tag_text(const ads_name entity, const char* app)
{
    if (ent_xdata_add(entity, app) == 1) return true;
    acedAlert("\nUpdate Data Failed");
    return false;
}

// A comma file field as it stands, or quoted when it holds a comma, a quote
// or a line end, so that the file keeps one record a line.
std::string csv_field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// Puts a file back as it was before a write of this run replaced it: its
// former text, or no file when there was none.
bool put_back(const char* path, const std::optional<std::string>& former)
{
    if (former) return text_file_replace(path, *former);
    return win_remove(path) == 0;
}

// Writes both files, each through the replacing step, so that a failed write
// (a full disk) leaves the files there whole: when the second cannot be
// written the first is put back as it was, and the two always belong together.
bool write_files(const std::vector<area_tbl_rec>& records, int metre_decimals, int feet_decimals)
{
    acutPrintf("\nLot/Petak    area    unit");
    std::string text = "Lot/Petak    area    unit\n", comma;
    for (size_t i = 0; i < records.size(); ++i) {
        const area_tbl_rec& r = records[i];
        const int row = static_cast<int>(i) + 1;
        double feet = 0;
        if (str_upper_copy(r.unit) == "M" && acutCvUnit(r.area, "meter^2", "feet^2", &feet) != RTNORM)
            feet = 0;
        text += int_pad_left(row, 5) + " " + r.letters + int_pad_left(r.lot, 5) + " " +
                rtos_decimal(r.area, 4) + r.unit + " " + rtos_decimal(feet, 4) + "kp " + r.description + "\n";
        comma += std::to_string(row) + "," + r.letters + std::to_string(r.lot) + "," +
                 rtos_decimal(r.area, metre_decimals) + "," + r.unit + "," +
                 rtos_decimal(feet, feet_decimals) + ",kp," + csv_field(r.description) + "\n";
    }
    // The former text file is kept in memory, to be put back when the comma
    // file cannot follow it; one that cannot be read is not replaced.
    const bool had_text = file_exists(kTextFile);
    const std::optional<std::string> former_text =
        had_text ? read_file_text(kTextFile) : std::optional<std::string>();
    std::string why = had_text && !former_text ? std::string("cannot read ") + kTextFile : "";
    bool ok = !(had_text && !former_text) && text_file_replace(kTextFile, text, &why);
    if (ok && !text_file_replace(kCommaFile, comma, &why)) {
        ok = false;
        if (!put_back(kTextFile, former_text)) {
            acutPrintf(
                "\nThe area table could not be written to %s (%s), and %s could not be put back as it "
                "was: it holds this run's table.",
                kCommaFile, why.c_str(), kTextFile);
            return false;
        }
    }
    if (!ok)
        acutPrintf("\nThe area table could not be written to %s and %s%s: the files there are as they were.",
                   kTextFile, kCommaFile, why.empty() ? "" : (" (" + why + ")").c_str());
    return ok;
}

int ask_decimals(const char* prompt, int default_value)
{
    for (;;) {
        std::string out;
        if (prompt_decimals_spec(std::string("0,X,") + prompt, default_value, out, 0, 8) == 1)
            return std::atoi(out.c_str());
    }
}

// The description choice: select a text, a constant text, or none.
void ask_description()
{
    area_table_state_rec& s = state();
    const std::string word = prompt_kword("0", "S C O", "<S>elect <C>onstant <O>ff", "nil");
    if (word == "S") s.description_mode = 1;
    if (word == "O") s.description_mode = 0;
    if (word != "C") return;
    for (;;) {
        std::string text;
        prompt_string_spec("0,Desc,1", s.constant.empty() ? "nil" : s.constant, text);
        if (text == "nil" && s.constant.empty()) text.clear();
        if (text.size() <= kDescriptionLimit) {
            s.constant = text;
            s.description_mode = 2;
            return;
        }
        acutPrintf("\nA description holds at most %d characters.", static_cast<int>(kDescriptionLimit));
    }
}

}  // namespace

void area_text_split(const std::string& text, double& value, std::string& suffix)
{
    size_t end = 0;
    bool point = false;
    while (end < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[end])) || (text[end] == '.' && !point))) {
        if (text[end] == '.') point = true;
        ++end;
    }
    value = std::atof(text.substr(0, end).c_str());
    suffix = str_trim(text.substr(end));
}

std::string area_suffix_unit(const std::string& suffix)
{
    const std::string wanted = str_upper_copy(suffix);
    static const char* const kTable[3][2] = {{"m%%178", "M"}, {"M~", "M"}, {"EK", "A"}};
    for (const auto& row : kTable)
        if (wanted == str_upper_copy(row[0])) return row[1];
    // The area labels' own suffixes (Ac, Ft, Ha, RL, RLP, or what the
    // suffix file set), so that the labels this system writes link too.
    for (const area_unit_rec& unit : area_unit_table())
        if (!unit.suffix.empty() && wanted == str_upper_copy(unit.suffix)) return unit.letter;
    return "";
}

bool lot_number_text_parse(const std::string& text, int& number, std::string& letters)
{
    std::string digits;
    letters.clear();
    bool digits_ended = false;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isdigit(u)) {
            if (digits_ended) return false;  // two numbers
            digits.push_back(c);
        } else {
            if (!digits.empty()) digits_ended = true;
            if (std::isalpha(u))
                letters.push_back(c);
            else if (c != ' ')
                return false;
        }
    }
    if (digits.empty() || digits.size() > 9) return false;
    number = std::atoi(digits.c_str());
    return true;
}

void scan_area_texts(int mode, std::vector<area_tbl_rec>& records)
{
    records.clear();
    ads_name ss;
    long length = 0;
    if (!(mode == 3 ? ss_select_type("TEXT", ss, length) : ss_all_type("TEXT", ss, length))) return;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        area_tbl_rec record;
        if (acedSSName(ss, i, entity) != RTNORM || !area_record(entity, record)) continue;
        if (mode == 1)
            state().last_lot = std::max(state().last_lot, record.lot);
        else
            records.push_back(record);
    }
    acedSSFree(ss);
}

void pick_lot_area()
{
    area_table_state_rec& s = state();
    acutPrintf("\nLast Lot :%i", s.last_lot);
    ads_name lot_text, area_text;
    const int lot_pick = pick_text("\nselect Lot Number :", lot_text);
    if (lot_pick == 0) return;
    int number = 0;
    std::string letters;
    if (lot_pick != 1 || !lot_number_text_parse(text_of(lot_text), number, letters)) {
        acedAlert("Not Lot Number :");
        return;
    }
    if (pick_text("\nselect Area :", area_text) != 1) {
        acedAlert("Miss Select area...");
        if (pick_text("\nselect Area again :", area_text) != 1) return;
    }
    const std::string text = text_of(area_text);
    double value = 0;
    std::string suffix;
    area_text_split(text, value, suffix);
    const std::string unit = area_suffix_unit(suffix);
    if (value <= 0 || unit.empty()) {
        acutPrintf("\nThe text \"%s\" is no area with a unit of the table: nothing tagged.", text.c_str());
        return;
    }
    acutPrintf("\nArea [%f] Unit[%s]", value, unit.c_str());
    xdata_pending_set_int32(number);
    xdata_pending_set_text(letters);
    if (!tag_text(area_text, kLotApp)) return;
    s.last_lot = number;
    if (s.description_mode == 1) {
        ads_name description;
        if (pick_text("\nselect TEXT for Description :", description) != 1) return;
        xdata_pending_set_text(text_of(description));
        tag_text(area_text, kDescApp);
    } else if (s.description_mode == 2) {
        xdata_pending_set_text(s.constant);
        tag_text(area_text, kDescApp);
    }
}

void write_area_table()
{
    const int metre_decimals = ask_decimals("Area Meter Decimal", 1);
    const int feet_decimals = ask_decimals("Area Feet Decimal", 2);
    const std::string which = prompt_kword("1", "A S", "<S>elect <A>ll :", "nil");
    if (which != "A" && which != "S") return;
    std::vector<area_tbl_rec> records;
    scan_area_texts(which == "A" ? 2 : 3, records);
    if (records.empty()) {
        acutPrintf("\nNo area text linked to a lot was found: no table written.");
        return;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const area_tbl_rec& a, const area_tbl_rec& b) { return a.lot < b.lot; });
    if (write_files(records, metre_decimals, feet_decimals)) acutPrintf("\nFile :c:\\area_tbl.txt");
}

void area_table_cmd()
{
    area_table_state_rec& s = state();
    int same_drawing = 1;
    dwg_path_track(same_drawing, s.dwg_path);
    if (!same_drawing) {
        s.last_lot = 0;
        s.scanned = 0;
    }
    acdbRegApp(kLotApp);
    acdbRegApp(kDescApp);
    for (;;) {
        acutPrintf("\nArea String [Ek m%%178 m~]");
        if (s.description_mode == 2)
            acutPrintf("\nDesc Constant:%s", s.constant.c_str());
        else
            acutPrintf(" [Desc Select Text]");
        const std::string word = prompt_kword("0", "X D T S", "e<X>it <D>esc <S>elect obj <T>able :", "S");
        if (word == "X") return;
        if (word == "D") {
            ask_description();
        } else if (word == "S") {
            if (!s.scanned) {
                std::vector<area_tbl_rec> none;
                scan_area_texts(1, none);
                s.scanned = 1;
            }
            pick_lot_area();
        } else if (word == "T") {
            write_area_table();
        }
    }
}
