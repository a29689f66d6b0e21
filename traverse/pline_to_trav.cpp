// b_ltrav: polyline to traverse file.
#include "pline_to_trav.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ads.h"
#include "adsdlg.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "geometry.h"
#include "prompts.h"
#include "text_fields.h"
#include "trav_file.h"
#include "trav_maths.h"
#include "trav_model.h"
#include "trav_text.h"

namespace {

constexpr int status_pick_file = 2;
constexpr int decimals_max = 10;

// A whole number that fills the tile's text and lies in [low, high].
bool whole_number(const char* text, long long low, long long high, long long& out)
{
    if (!text || !*text) return false;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

// A whole-number tile: an entry is taken only when it is a whole number in
// range; the tile then shows the value kept.
dialog_tile whole_number_tile(const std::string& key, int& value, long long low, long long high)
{
    return tile_action(key, [&value, key, low, high](ads_callback_packet* packet) {
        long long typed = 0;
        if (whole_number(packet->value, low, high, typed)) value = static_cast<int>(typed);
        ads_set_tile(packet->dialog, key.c_str(), std::to_string(value).c_str());
    });
}

void pick_file(pline_trav_cfg_rec& cfg)
{
    std::string path;
    // A new file is saved, an existing one opened.
    if (file_dialog_dwgprefix("Convert to trav save", "", "trv", cfg.append ? 0 : 1, path) == 1)
        cfg.file_name = path;
}

// The LWPOLYLINE's vertices at its elevation, with a closed one's closing
// vertex once (none when its last vertex is already at its first).
bool read_lwpolyline(const ads_name entity, std::vector<point3d_rec>& vertices)
{
    resbuf* list = acdbEntGet(entity);
    if (!list) return false;
    long count = -1;
    int flags = 0;
    double elevation = 0;
    for (resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == 90) count = node->resval.rlong;
        if (node->restype == 70) flags = node->resval.rint;
        if (node->restype == 38) elevation = node->resval.rreal;
        if (node->restype == 10)
            vertices.push_back(point3d_rec{node->resval.rpoint[0], node->resval.rpoint[1], elevation});
    }
    acutRelRb(list);
    for (point3d_rec& v : vertices) v.z = elevation;
    if (count >= 0 && static_cast<size_t>(count) < vertices.size())
        vertices.resize(static_cast<size_t>(count));
    return (flags & 1) != 0;
}

bool same_place(const point3d_rec& a, const point3d_rec& b)
{
    return std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9;
}

// The level written for a vertex: its z, or 0 when out of the levels' range.
double leg_level(double z)
{
    return z < -0.001 || z > 9999.0 ? 0.0 : z;
}

// The station numbers of the legs: leg k (from vertex k to vertex k + 1) runs
// from numbers[k] to numbers[k + 1]. A polyline that ends where it began
// (closed, or its last vertex back on its first) closes on its first station.
struct leg_numbers {
    std::vector<int> numbers;
    bool fit = true;
};

leg_numbers number_vertices(size_t vertex_count, bool returns_to_start, int first, int next)
{
    leg_numbers out;
    out.numbers.push_back(first);
    const size_t new_stations = vertex_count - 1 - (returns_to_start ? 1 : 0);
    if (static_cast<long long>(next) + static_cast<long long>(new_stations) - 1 > trav_station_max) {
        out.fit = false;
        return out;
    }
    for (size_t i = 0; i < new_stations; ++i) out.numbers.push_back(next + static_cast<int>(i));
    if (returns_to_start) out.numbers.push_back(first);
    return out;
}

std::string point_line(const point3d_rec& p, int number)
{
    return trav_format("P,%i,%i,%.6f,%.6f,%.3f,%s\n", number, number, p.x, p.y, 0.0, "METER");
}

}  // namespace

pline_trav_cfg_rec& pline_trav_cfg()
{
    static pline_trav_cfg_rec cfg;
    return cfg;
}

int pline_to_trav_dlg()
{
    pline_trav_cfg_rec& cfg = pline_trav_cfg();
    for (;;) {
        dialog_def def{"Travers-Pl-to-trav.dcl",
                       "pline_to_trav",
                       {tile_text("t_file", cfg.file_name), tile_button("p_file", status_pick_file),
                        whole_number_tile("t_stnstart", cfg.first_station, 1, trav_station_max),
                        tile_decimals("t_decimal", cfg.decimals, 0, decimals_max),
                        tile_toggle("tg_round", cfg.round_tens), tile_toggle("tg_add", cfg.append),
                        tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
        def.on_open = [&](ads_hdlg dialog) {
            ads_set_tile(dialog, "t_stnstart", std::to_string(cfg.first_station).c_str());
            ads_set_tile(dialog, "t_decimal", std::to_string(cfg.decimals).c_str());
            ads_set_tile(dialog, "l_errr", cfg.message.c_str());
        };
        const int status = dialog_run(def, [&](int picked) {
            if (picked == status_pick_file) pick_file(cfg);
            return true;
        });
        if (status != DLGOK) return status;
        if (!str_trim(cfg.file_name).empty()) {
            cfg.message.clear();
            return status;
        }
        cfg.message = "File Name miss";
    }
}

int pline_trav_last_stn(int& from_station, int& next_station)
{
    const pline_trav_cfg_rec& cfg = pline_trav_cfg();
    trav_file_numbers_rec numbers;
    if (trav_file_numbers(cfg.file_name, numbers) != trav_read_ok) {
        acedAlert("File error.");
        return 0;
    }
    // The legs go on from where the file's traverse ends, and new numbers
    // come after every number the file holds, so that none is given twice.
    from_station = std::max(1, numbers.last_station);
    const long long next = static_cast<long long>(std::max(from_station, numbers.largest_station)) + 1;
    next_station = static_cast<int>(std::min<long long>(next, INT_MAX));
    return 1;
}

std::string pline_trav_write_leg(point3d_rec& from, const point3d_rec& to, int from_number, int to_number,
                                 bool version3)
{
    const pline_trav_cfg_rec& cfg = pline_trav_cfg();
    const std::string bearing = angle_deg_to_dms_text(bearing_deg(from, to), cfg.round_tens);
    const std::string distance = trav_format("%.*f", cfg.decimals, dist_2d(from, to));
    // Where the traverse computation puts this station from the texts written.
    from = trav_polar_point(dms_to_deg(std::strtod(bearing.c_str(), nullptr)),
                            std::strtod(distance.c_str(), nullptr), from, 0);
    return trav_format("T,%i,%i,%s,%s,%.3f,METER%s\n", from_number, to_number, bearing.c_str(),
                       distance.c_str(), leg_level(to.z), version3 ? "" : ",");
}

int b_ltrav()
{
    pline_trav_cfg_rec& cfg = pline_trav_cfg();
    if (pline_to_trav_dlg() != DLGOK) return 0;

    int first = cfg.first_station;
    int next = first + 1 <= trav_station_max ? first + 1 : INT_MAX;
    if (cfg.append && !pline_trav_last_stn(first, next)) return 0;

    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect Polyline to convert to travers file :", entity, picked) != RTNORM) {
        acutPrintf("\nSelecting a polyline failed...");
        return 0;
    }
    acedRedraw(entity, 3);
    std::string type;
    if (resbuf* list = acdbEntGet(entity)) {
        for (resbuf* node = list; node; node = node->rbnext)
            if (node->restype == 0 && node->resval.rstring) type = node->resval.rstring;
        acutRelRb(list);
    }
    acutPrintf("\n%s found", type.c_str());
    if (!trav_same_text(type, "LWPOLYLINE")) {
        acutPrintf("\nOnly an LWPOLYLINE is turned into a traverse file; nothing was written.");
        return 0;
    }

    std::vector<point3d_rec> vertices;
    const bool closed = read_lwpolyline(entity, vertices);
    if (vertices.empty()) return 0;
    // The closing leg, once: a closed polyline whose last vertex is not
    // already back on its first gets it.
    if (closed && vertices.size() > 2 && !same_place(vertices.back(), vertices.front()))
        vertices.push_back(vertices.front());
    const bool returns_to_start = vertices.size() > 2 && same_place(vertices.back(), vertices.front());
    const leg_numbers numbers = number_vertices(vertices.size(), returns_to_start, first, next);
    if (!numbers.fit) {
        acutPrintf("\nThe %d new stations would take numbers past %d; nothing was written.",
                   static_cast<int>(vertices.size() - 1), trav_station_max);
        return 0;
    }

    auto legs = [&](bool version3) {
        std::string text;
        point3d_rec at = vertices.front();
        if (!cfg.append) {
            // The fixed point as its line gives it back.
            text = point_line(vertices.front(), first);
            at.x = std::strtod(trav_format("%.6f", at.x).c_str(), nullptr);
            at.y = std::strtod(trav_format("%.6f", at.y).c_str(), nullptr);
        }
        for (size_t k = 1; k < vertices.size(); ++k)
            text +=
                pline_trav_write_leg(at, vertices[k], numbers.numbers[k - 1], numbers.numbers[k], version3);
        return text;
    };
    const bool written = cfg.append ? trav_append_to_file(cfg.file_name, legs)
                                    : trav_write_new_file(cfg.file_name, "KOLVA3\n" + legs(true));
    return written ? 1 : 0;
}
