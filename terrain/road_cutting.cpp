// Road cutting strips: the shared settings and their dialog, one tongue, and
// b_pick_cutting, which draws tongues from picked points.
#include "road_cutting.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ads.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "CUTTING";
constexpr size_t kNameLimit = 254;
constexpr size_t kWidthTextLimit = 24;
constexpr size_t kPathTextLimit = 9;
constexpr double kPathLowest = 1.0;
constexpr double kPathAbove = 9.0;  // the divisor stays below it
constexpr int kStatusPickWidth = 2;
constexpr int kStatusAutoFlag = 3;

// The value as the dialog shows it (LUPREC decimals), with more decimals when
// that would change it, so that a stored value reads back the same.
std::string exact_text(double value)
{
    for (int decimals = std::max(0, sysvar_luprec()); decimals < 10; ++decimals) {
        const std::string text = rtos_decimal(value, decimals);
        if (std::strtod(text.c_str(), nullptr) == value) return text;
    }
    return rtos_decimal(value, 10);
}

bool width_good(double width)
{
    return std::isfinite(width) && width > 0;
}

bool path_good(double path)
{
    return path >= kPathLowest && path < kPathAbove;
}

// A number text of the dialog: at most `limit` characters, a number that
// passes the test; the value in out.
bool number_text(const char* text, size_t limit, double& out)
{
    if (std::strlen(text) > limit || str_is_number(text) != 4) return false;
    out = std::strtod(text, nullptr);
    return true;
}

point3d_rec midpoint(const point3d_rec& a, const point3d_rec& b)
{
    return point3d_rec{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0};
}

// The current layer switched for the life of the object.
class current_layer_swap {
public:
    explicit current_layer_swap(const std::string& layer)
    {
        saved_ok_ = layer_current_get(saved_) != 0;
        layer_ensure(layer.c_str());
        layer_current_set(layer.c_str());
    }
    ~current_layer_swap()
    {
        if (saved_ok_) layer_current_set(saved_.c_str());
    }
    current_layer_swap(const current_layer_swap&) = delete;
    current_layer_swap& operator=(const current_layer_swap&) = delete;

private:
    std::string saved_;
    bool saved_ok_ = false;
};

// The fill through the host's Hatch command: the chord P1-P2, the arc
// P2-Q2-T and the arc T-Q1-P1.
int hatch_by_command(const cutting_tongue_rec& t)
{
    ads_point p1, p2, q1, q2, tip;
    point_to_ads(t.p1, p1);
    point_to_ads(t.p2, p2);
    point_to_ads(t.q1, q1);
    point_to_ads(t.q2, q2);
    point_to_ads(t.t, tip);
    return acedCommand(RTSTR, "Hatch", RTSTR, "solid", RTSTR, "", RTSTR, "n", RT3DPOINT, p1, RT3DPOINT, p2,
                       RTSTR, "a", RTSTR, "s", RTSTR, "none", RT3DPOINT, q2, RTSTR, "none", RT3DPOINT, tip,
                       RTSTR, "l", RTSTR, "a", RTSTR, "s", RTSTR, "none", RT3DPOINT, q1, RTSTR, "none",
                       RT3DPOINT, p1, RTSTR, "close", RTSTR, "", RTNONE);
}

// The same region as a HATCH made from an entity list.
int hatch_by_list(const cutting_tongue_rec& t, const std::string& layer)
{
    ent_list_builder list;
    list.type("HATCH").int16(67, 0).text(8, layer).int16(62, 256).text(6, "bylayer");
    list.real(41, 1.0).real(47, 0.001);
    list.point(10, point3d_rec{}).point(210, point3d_rec{0, 0, 1}).text(2, "SOLID");
    list.int16(70, 1).int16(71, 0).int32(91, 1);
    list.int32(92, 2).int16(72, 1).int16(73, 1).int32(93, 3);
    list.point(10, t.p1).real(42, 0.0);
    list.point(10, t.p2).real(42, cutting_arc_bulge(t.p2, t.q2, t.t));
    list.point(10, t.t).real(42, cutting_arc_bulge(t.t, t.q1, t.p1));
    list.int32(97, 0).int16(75, 0).int16(76, 1).int32(98, 0);
    if (!list.ok()) return RTERROR;
    return acdbEntMake(list.list());
}

}  // namespace

cutting_cfg_rec& cutting_cfg()
{
    static cutting_cfg_rec cfg;
    return cfg;
}

std::string cutting_cfg_text(const cutting_cfg_rec& cfg)
{
    return exact_text(cfg.width) + "," + exact_text(cfg.path) + "," + std::to_string(cfg.auto_flag);
}

void cutting_cfg_parse(const std::string& text, cutting_cfg_rec& cfg)
{
    const std::vector<std::string> fields = str_split(text, ',');
    auto field = [&](size_t n) { return n <= fields.size() ? str_trim(fields[n - 1]) : std::string(); };
    double value = 0;
    const cutting_cfg_rec defaults;
    if (number_text(field(1).c_str(), kWidthTextLimit, value) && width_good(value)) {
        cfg.width = value;
    } else {
        cfg.width = defaults.width;
        acutPrintf("\nThe stored cutting width \"%s\" is no width above 0; %s is taken.", field(1).c_str(),
                   exact_text(cfg.width).c_str());
    }
    if (number_text(field(2).c_str(), kPathTextLimit, value) && path_good(value)) {
        cfg.path = value;
    } else {
        cfg.path = defaults.path;
        acutPrintf("\nThe stored path divisor \"%s\" is not from 1 up to 9; %s is taken.", field(2).c_str(),
                   exact_text(cfg.path).c_str());
    }
    cfg.auto_flag = field(3) == "0" ? 0 : 1;
}

int cutting_dlg_run(bool for_pick)
{
    cutting_cfg_rec& cfg = cutting_cfg();
    cutting_cfg_rec work = cfg;
    const int decimals = sysvar_luprec();
    std::string width_shown = rtos_decimal(work.width, decimals);
    std::string path_shown = rtos_decimal(work.path, decimals);
    auto refuse = [](ads_callback_packet* packet, const char* key, const std::string& shown,
                     const char* why) {
        ads_set_tile(packet->dialog, key, shown.c_str());
        ads_set_tile(packet->dialog, "error", why);
    };
    dialog_def def{
        "Cutting_Dlg.dcl",
        "cutting_dlg",
        {tile_layer("t_cutlayer", work.layer, kNameLimit),
         tile_action("t_lebar",
                     [&](ads_callback_packet* packet) {
                         double value = 0;
                         if (number_text(packet->value, kWidthTextLimit, value) && width_good(value)) {
                             work.width = value;
                             width_shown = packet->value;
                             ads_set_tile(packet->dialog, "error", "");
                         } else {
                             refuse(packet, "t_lebar", width_shown, "The width must be a number above 0.");
                         }
                     }),
         tile_action("t_path",
                     [&](ads_callback_packet* packet) {
                         double value = 0;
                         if (number_text(packet->value, kPathTextLimit, value) && path_good(value)) {
                             work.path = value;
                             path_shown = packet->value;
                             ads_set_tile(packet->dialog, "error", "");
                         } else {
                             refuse(packet, "t_path", path_shown, "The path must be from 1 up to (not) 9.");
                         }
                     }),
         tile_toggle("auto_tg", work.auto_flag) +
             [](ads_callback_packet* packet) { ads_done_dialog(packet->dialog, kStatusAutoFlag); },
         tile_button("p_picklebar", kStatusPickWidth), tile_button("ok", DLGOK),
         tile_button("cancel", DLGCANCEL), tile_help("text_author", "/survey_menu.htm")}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_lebar", width_shown.c_str());
        ads_set_tile(dialog, "t_path", path_shown.c_str());
        if (for_pick) {
            ads_mode_tile(dialog, "t_lebar", MODE_DISABLE);
            ads_mode_tile(dialog, "p_picklebar", MODE_DISABLE);
        }
        ads_mode_tile(dialog, "t_path", work.auto_flag == 1 ? MODE_DISABLE : MODE_ENABLE);
    };
    const int status = dialog_run(def, [&](int picked) {
        if (picked == kStatusPickWidth) {
            double width = work.width;
            prompt_dist_luprec(nullptr, "Lebar Cutting :", work.width, width);
            if (width_good(width)) {
                work.width = width;
                width_shown = rtos_decimal(width, decimals);
            } else {
                acutPrintf("\nA width must be above 0; it stays %s.", exact_text(work.width).c_str());
            }
        }
        return picked == kStatusPickWidth || picked == kStatusAutoFlag;
    });
    if (status == dialog_not_shown) return 0;
    if (status != DLGOK) return status;
    layer_ensure(work.layer.c_str());
    if (layer_xdata_put(work.layer.c_str(), kApp, cutting_cfg_text(work).c_str(), 1) != RTNORM)
        acutPrintf("\nfailed save cfg to layer %s", work.layer.c_str());
    if (layer_xdata_put(ORVIK_SETTINGS_LAYER, kApp, work.layer.c_str(), 1) != RTNORM)
        acutPrintf("\nfailed save cfg to layer %s", ORVIK_SETTINGS_LAYER);
    work.loaded = cfg.loaded;
    cfg = work;
    return status;
}

bool cutting_first_use(cutting_cfg_rec& cfg, bool for_pick)
{
    settings_key_rec key;
    settings_key_make(key, kApp, "Cutting");
    std::string layer;
    if (drawing_setting_get(key, layer) != RTNORM) {
        acedAlert("Fail Creating layer :Orvik_Survey_temp");
        return false;
    }
    cfg = cutting_cfg_rec{};
    cfg.layer = layer;
    std::string text;
    if (drawing_setting_read(kApp, layer.c_str(), text) == 1)
        cutting_cfg_parse(text, cfg);
    else
        acutPrintf("\nFailed read cfg on layer : %s", layer.c_str());
    if (cutting_dlg_run(for_pick) == DLGCANCEL && !for_pick) return false;
    cfg.loaded = 1;
    return true;
}

double cutting_arc_bulge(const point3d_rec& p1, const point3d_rec& mid, const point3d_rec& p2)
{
    point3d_rec centre;
    if (!geo_circle_centre_3p(p1, mid, p2, centre)) return 0.0;
    // Which side of the chord p1-p2 a point lies on: above 0 on its left.
    auto side = [&](const point3d_rec& p) {
        return (p2.x - p1.x) * (p.y - p1.y) - (p2.y - p1.y) * (p.x - p1.x);
    };
    const double minor = std::fabs(geo_arc_bulge(p1, p2, centre));
    const double at_mid = side(mid), at_centre = side(centre);
    if (at_mid == 0) return 0.0;
    // The arc through mid is the minor one when mid and the centre lie on
    // opposite sides of the chord, the major one (bulge 1 / minor) when on the
    // same side, a half circle when the centre is on the chord. It turns
    // counter-clockwise (a positive bulge) when mid lies right of p1 to p2.
    const double size = at_centre == 0 || minor == 0 ? 1.0 : at_mid * at_centre < 0 ? minor : 1.0 / minor;
    return at_mid < 0 ? size : -size;
}

std::optional<cutting_tongue_rec> cutting_tongue(const cutting_cfg_rec& cfg, const point3d_rec& p1,
                                                 const point3d_rec& p2, const point3d_rec& k)
{
    cutting_tongue_rec t;
    t.p1 = point3d_rec{p1.x, p1.y, 0};
    t.p2 = point3d_rec{p2.x, p2.y, 0};
    t.k = point3d_rec{k.x, k.y, 0};
    t.m = midpoint(t.p1, t.p2);
    const double to_foot = dist_2d(t.m, t.k);
    const double chord = dist_2d(t.p1, t.p2);
    // A foot on the line of the stretch leaves the tongue without area.
    const double across = (t.p2.x - t.p1.x) * (t.k.y - t.p1.y) - (t.p2.y - t.p1.y) * (t.k.x - t.p1.x);
    if (chord == 0 || to_foot == 0 || std::fabs(across) <= 1e-12 * chord * std::max(chord, to_foot))
        return std::nullopt;
    double length = cfg.auto_flag == 1 ? chord / 2.0 : to_foot / cfg.path;
    if (length > to_foot) length = to_foot;
    const double bearing = bearing_deg(t.m, t.k);
    polar_point(bearing, length, t.m, t.t);
    polar_point(bearing, length / 2.0, t.m, t.h);
    t.q2 = midpoint(t.h, t.p2);
    t.q1 = midpoint(t.h, t.p1);
    return t;
}

bool cutting_tongue_draw(const cutting_cfg_rec& cfg, const point3d_rec& p1, const point3d_rec& p2,
                         const point3d_rec& k, int mode)
{
    const std::optional<cutting_tongue_rec> tongue = cutting_tongue(cfg, p1, p2, k);
    if (!tongue) {
        acutPrintf("\nThe foot %s,%s lies on the line of the top edge; no tongue is drawn there.",
                   rtos_decimal(k.x, 3).c_str(), rtos_decimal(k.y, 3).c_str());
        return false;
    }
    line_make(tongue->t, tongue->k, cfg.layer);
    if (mode != 2) return hatch_by_list(*tongue, cfg.layer) == RTNORM;
    current_layer_swap on_cutting_layer(cfg.layer);
    return hatch_by_command(*tongue) == RTNORM;
}

int b_pick_cutting(int mode)
{
    cutting_cfg_rec& cfg = cutting_cfg();
    if (!cfg.loaded && !cutting_first_use(cfg, true)) return 0;
    acutPrintf("\nPick Cutting");
    point3d_rec start;
    for (;;) {
        std::string text;
        const int rc = prompt_point_or_text("\ne<X>it <S>etting Pick point Mula: ", "", nullptr, text, start);
        if (rc == 1) break;
        if (rc != 2) return 0;
        const std::string word = str_upper_copy(text);
        if (word == "X") return 0;
        if (word == "S") cutting_dlg_run(true);
    }
    for (;;) {
        acutPrintf("\nPick Cutting");
        ads_point from, picked;
        point_to_ads(start, from);
        if (acedGetPoint(from, "\nPick point Akhir:", picked) != RTNORM) return 1;
        const point3d_rec end = point_from_ads(picked);
        if (dist_2d(start, end) == 0) {
            acutPrintf("\nPoint Akhir is point Mula; a tongue needs a stretch of some length.");
            continue;
        }
        point_to_ads(midpoint(start, end), from);
        if (acedGetPoint(from, "\nPick point kaki:", picked) != RTNORM) return 1;
        cutting_tongue_draw(cfg, start, end, point_from_ads(picked), mode);
        start = end;
    }
}

int cutting_setting_cmd()
{
    if (!cutting_cfg().loaded) {
        acedAlert("Run auto Cutting first!");
        return 0;
    }
    return cutting_dlg_run(false);
}

int cutting_width_prompt()
{
    cutting_cfg_rec& cfg = cutting_cfg();
    double width = cfg.width;
    prompt_dist_luprec(nullptr, "Lebar Cutting :", cfg.width, width);
    if (!width_good(width)) {
        acutPrintf("\nA width must be above 0; it stays %s.", exact_text(cfg.width).c_str());
        return 0;
    }
    cfg.width = width;
    return 1;
}

int cutting_arc_test()
{
    acutPrintf("\nPick Arc");
    ads_point a, b, c;
    if (acedGetPoint(nullptr, "\nPick point Mula:", a) != RTNORM) return 0;
    if (acedGetPoint(a, "\nPick point 2:", b) != RTNORM) return 0;
    if (acedGetPoint(b, "\nPick point 3:", c) != RTNORM) return 0;
    point3d_rec corner;
    const point3d_rec third = point_from_ads(c);
    geo_offset_corner(point_from_ads(a), point_from_ads(b), third, 1, corner);
    return line_make(point3d_rec{third.x, third.y, 0}, corner, "xx") == RTNORM ? 1 : 0;
}
