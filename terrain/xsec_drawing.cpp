// b_xsection: the exchange with the cross-section program and the drawing of
// its two result files.
#include "xsec_drawing.h"

#include <strings.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ads.h"
#include "constants.h"
#include "entity_makers.h"
#include "folders_registry.h"
#include "messages.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"
#include "winplat.h"

namespace {

constexpr const char* kHandshake = "xsec_status";
// The fixed word the program is started with.
constexpr const char* kProgramArgument = "dmxsec";
constexpr const char* kOffsetLayer = "OFFSET_LINE";
// Skipped lines are named one by one up to this many per file, then counted.
constexpr long kSkipsNamed = 20;

std::string temp_file(const char* name)
{
    return app_temp_folder() + "\\" + name;
}

// Says which lines of a result file were left out, and why.
class skip_report {
public:
    explicit skip_report(const char* file) : file_(file) {}
    void skip(long line, const std::string& why)
    {
        if (++count_ <= kSkipsNamed) acutPrintf("\n%s line %ld skipped: %s", file_, line, why.c_str());
    }
    void finish() const
    {
        if (count_ > kSkipsNamed) acutPrintf("\n%s: %ld more lines skipped.", file_, count_ - kSkipsNamed);
    }

private:
    const char* file_;
    long count_ = 0;
};

// The lines of a result file that are not blank, each with its number in the
// file; nothing when the file cannot be read (after the alert).
std::optional<std::vector<std::pair<long, std::string>>> result_lines(const std::string& path)
{
    const std::optional<std::string> text = read_file_text(path);
    if (!text) {
        msg_alert_two("Error Reading file", path);
        return std::nullopt;
    }
    std::vector<std::pair<long, std::string>> lines;
    const std::vector<std::string> all = split_lines(*text);
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].find_first_not_of(" \t\r") != std::string::npos)
            lines.emplace_back(static_cast<long>(i) + 1, all[i]);
    return lines;
}

int field_count(const std::string& line)
{
    return static_cast<int>(std::count(line.begin(), line.end(), ',')) + 1;
}

std::string field(const std::string& line, int n)
{
    return str_trim(str_get_field(line, n, ","));
}

// Field n as a decimal real; false for an empty field or anything but a number.
bool field_real(const std::string& line, int n, double& out)
{
    const std::string text = field(line, n);
    return text.find_first_of("0123456789") != std::string::npos && str_parse_real(text, out) == 1;
}

// Reads the numbered fields as reals into out; the name of the first that is
// no number in bad.
bool field_reals(const std::string& line, const std::vector<std::pair<int, const char*>>& wanted,
                 std::vector<double>& out, std::string& bad)
{
    out.clear();
    for (const auto& [n, name] : wanted) {
        double value = 0;
        if (!field_real(line, n, value)) {
            bad = std::string(name) + " is not a number: \"" + field(line, n) + "\"";
            return false;
        }
        out.push_back(value);
    }
    return true;
}

struct item_counts {
    long texts = 0;
    long lines = 0;
    long inserts = 0;
};

// "TEXT,x,y,height,angle,text,layer,justification". A text holding commas
// takes the fields between the angle and the last two.
void draw_text_record(long number, const std::string& line, item_counts& counts, skip_report& skips)
{
    const int n = field_count(line);
    if (n < 8) {
        skips.skip(number, "a TEXT record has 8 fields, this one " + std::to_string(n) + ".");
        return;
    }
    std::vector<double> v;
    std::string bad;
    if (!field_reals(line, {{2, "x"}, {3, "y"}, {4, "the height"}, {5, "the angle"}}, v, bad)) {
        skips.skip(number, bad + ".");
        return;
    }
    if (v[2] <= 0) {
        skips.skip(number, "the text height must be more than 0.");
        return;
    }
    std::string text = str_get_field(line, 6, ",");
    for (int i = 7; i <= n - 2; ++i) text += "," + str_get_field(line, i, ",");
    const std::string layer = field(line, n - 1);
    const std::string justification = field(line, n);
    if (layer.empty()) {
        skips.skip(number, "the record names no layer.");
        return;
    }
    const point3d_rec at{v[0], v[1], 0};
    int rc = RTERROR;
    if (::strcasecmp(justification.c_str(), "C") == 0)
        rc = text_make_justified(1, at, v[2], 1.0, v[3], layer, text, 1);
    else if (::strcasecmp(justification.c_str(), "L") == 0)
        rc = text_make_on_layer(at, v[2], 1.0, v[3], layer, text, 1);
    else {
        skips.skip(number, "the justification \"" + justification + "\" is neither C nor L.");
        return;
    }
    if (rc == RTNORM)
        ++counts.texts;
    else
        skips.skip(number, "the text could not be made on the layer " + layer + ".");
}

// "LINE,x1,y1,x2,y2,-,layer".
void draw_line_record(long number, const std::string& line, item_counts& counts, skip_report& skips)
{
    const int n = field_count(line);
    if (n < 7) {
        skips.skip(number, "a LINE record has 7 fields, this one " + std::to_string(n) + ".");
        return;
    }
    std::vector<double> v;
    std::string bad;
    if (!field_reals(line, {{2, "x1"}, {3, "y1"}, {4, "x2"}, {5, "y2"}}, v, bad)) {
        skips.skip(number, bad + ".");
        return;
    }
    const std::string layer = field(line, 7);
    if (layer.empty()) {
        skips.skip(number, "the record names no layer.");
        return;
    }
    if (line_make(point3d_rec{v[0], v[1], 0}, point3d_rec{v[2], v[3], 0}, layer) == RTNORM)
        ++counts.lines;
    else
        skips.skip(number, "the line could not be made on the layer " + layer + ".");
}

// "INSERT,x,y,-,block drawing,-,layer": rotation 90, scale 1.
void draw_insert_record(long number, const std::string& line, item_counts& counts, skip_report& skips)
{
    const int n = field_count(line);
    if (n < 7) {
        skips.skip(number, "an INSERT record has 7 fields, this one " + std::to_string(n) + ".");
        return;
    }
    std::vector<double> v;
    std::string bad;
    if (!field_reals(line, {{2, "x"}, {3, "y"}}, v, bad)) {
        skips.skip(number, bad + ".");
        return;
    }
    const std::string block = field(line, 5);
    const std::string layer = field(line, 7);
    if (block.empty() || layer.empty()) {
        skips.skip(number, "the record names no block drawing or no layer.");
        return;
    }
    if (block_insert(block, point3d_rec{v[0], v[1], 0}, 90.0, 1000.0, layer))
        ++counts.inserts;
    else
        skips.skip(number, "the block drawing " + block + " could not be inserted.");
}

// The offset line being gathered: made when it has two vertices or more.
void finish_offset_line(long opened_at, long& made, skip_report& skips)
{
    lwpoly_chain_rec& chain = lwpoly_chain();
    const size_t vertices = chain.vertices.size();
    if (vertices < 2) {
        lwpoly_make(point3d_rec{}, 3);
        skips.skip(opened_at, "the LINE here is followed by " + std::to_string(vertices) +
                                  (vertices == 1 ? " vertex" : " vertices") + "; a polyline needs 2.");
        return;
    }
    if (lwpoly_make(point3d_rec{}, 2))
        ++made;
    else
        skips.skip(opened_at, "the polyline of the LINE here could not be made.");
}

bool write_request(const std::string& path, const point3d_rec& start)
{
    std::string prefix;
    sysvar_get_str("DWGPREFIX", prefix);
    const std::string text = prefix + "\n" + real_format(start.x, 3) + "," + real_format(start.y, 3) + "\n";
    return text_file_replace(path, text);
}

// What the program answered: true to go on and draw.
bool program_answered()
{
    std::string status;
    if (!reg_read_string(ORVIK_REGISTRY_SUBKEY, kHandshake, status)) {
        acutPrintf("\nThe answer of the cross-section program cannot be read; nothing was drawn.");
        return false;
    }
    if (::strcasecmp(status.c_str(), "cancel") == 0) {
        acutPrintf("\nThe cross-section program was cancelled; nothing was drawn.");
        return false;
    }
    return true;
}

}  // namespace

bool xsec_draw_items(const std::string& path)
{
    const auto lines = result_lines(path);
    if (!lines) return false;
    skip_report skips("dunmar5.tmp");
    item_counts counts;
    for (const auto& [number, line] : *lines) {
        const std::string word = field(line, 1);
        if (::strcasecmp(word.c_str(), "TEXT") == 0)
            draw_text_record(number, line, counts, skips);
        else if (::strcasecmp(word.c_str(), "LINE") == 0)
            draw_line_record(number, line, counts, skips);
        else if (::strcasecmp(word.c_str(), "INSERT") == 0)
            draw_insert_record(number, line, counts, skips);
        else
            skips.skip(number, "\"" + word + "\" is no TEXT, LINE or INSERT record.");
        progress_tick();
    }
    skips.finish();
    acutPrintf("\n%ld texts, %ld lines and %ld blocks drawn.", counts.texts, counts.lines, counts.inserts);
    return true;
}

bool xsec_draw_offset_lines(const std::string& path)
{
    const auto lines = result_lines(path);
    if (!lines) return false;
    lwpoly_chain_rec& chain = lwpoly_chain();
    chain.layer = kOffsetLayer;
    chain.flags = 0;
    chain.width = 0;
    chain.elevation = 0;
    chain.thickness = 0;
    chain.vertices.clear();
    skip_report skips("dunmar6.tmp");
    long made = 0;
    long opened_at = 0;  // the line of the LINE that opened the polyline being gathered
    for (const auto& [number, line] : *lines) {
        if (::strcasecmp(field(line, 1).c_str(), "LINE") == 0) {
            if (opened_at) finish_offset_line(opened_at, made, skips);
            opened_at = number;
        } else if (!opened_at) {
            skips.skip(number, "a vertex before the first LINE belongs to no polyline.");
        } else if (field_count(line) < 2) {
            skips.skip(number, "a vertex has x and y, this line one field.");
        } else {
            std::vector<double> v;
            std::string bad;
            if (field_reals(line, {{1, "x"}, {2, "y"}}, v, bad))
                lwpoly_make(point3d_rec{v[0], v[1], 0}, 1);
            else
                skips.skip(number, bad + ".");
        }
        progress_tick();
    }
    // The vertices after the last LINE make the last polyline.
    if (opened_at) finish_offset_line(opened_at, made, skips);
    skips.finish();
    acutPrintf("\n%ld polylines drawn on %s.", made, kOffsetLayer);
    return true;
}

int b_xsection()
{
    acutPrintf("\nProgram Cross Section ver cpp 1.0");
    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick Starting Point :", picked) != RTNORM) {
        acutPrintf("\nNo starting point; nothing was drawn.");
        return 0;
    }
    const point3d_rec start = point_from_ads(picked);
    reg_write_string(ORVIK_REGISTRY_SUBKEY, "version", "V2");
    const std::string request = temp_file("dunmar.tmp");
    const std::string items = temp_file("dunmar5.tmp");
    const std::string offset_lines = temp_file("dunmar6.tmp");
    if (!write_request(request, start)) {
        msg_alert_two("Error Writing file", request);
        return 0;
    }
    // Results of an earlier run are never taken for this one's.
    win_remove(items.c_str());
    win_remove(offset_lines.c_str());
    const std::string program = app_install_folder() + "\\exe_file\\Dunmar.exe";
    if (run_and_wait_sibling(program.c_str(), kProgramArgument, ORVIK_REGISTRY_SUBKEY, kHandshake) !=
        sibling_wait::answered) {
        acutPrintf("\nNothing was drawn.");
        return 0;
    }
    if (!program_answered()) return 0;
    progress_tick_start();
    if (!xsec_draw_items(items)) return 0;
    if (!xsec_draw_offset_lines(offset_lines)) return 0;
    return 1;
}
