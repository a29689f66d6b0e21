// The per-drawing settings store and the layer routines, through the host.
#include <gtest/gtest.h>
#include <strings.h>

#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "layer_texts.h"
#include "layers.h"
#include "settings_store.h"
#include "text_fields.h"
#include "xdata_read.h"

namespace {

constexpr const char* kSettingsLayer = "Orvik_survey_temp";

class Settings : public HostFixture {
protected:
    // The layer record's group, or `absent`.
    int layer_group(const char* layer, int code, int absent = -999)
    {
        resbuf* record = acdbTblSearch("LAYER", layer, 0);
        if (record == nullptr) return absent;
        int value = absent;
        for (resbuf* node = record; node; node = node->rbnext)
            if (node->restype == code) value = node->resval.rint;
        acutRelRb(record);
        return value;
    }
    bool layer_exists(const char* layer) { return layer_flags_get(layer) != -1; }

    // Sets a layer's flags (70) and colour (62) as the user's Layer command would.
    void set_layer_state(const char* layer, int flags, int colour)
    {
        host::Drawing& drawing = session().current().drawing;
        host::Entity* record = drawing.get(drawing.find_record("LAYER", layer));
        ASSERT_NE(record, nullptr);
        for (auto [code, value] : {std::pair{70, flags}, std::pair{62, colour}}) {
            if (host::Group* group = record->find(code))
                group->integer = value;
            else
                record->groups.push_back(host::Group::of_int(code, value));
        }
    }
    void add_layer_record(const std::string& name)
    {
        host::Entity record;
        record.type = "LAYER";
        record.groups = {host::Group::of_text(2, name), host::Group::of_int(70, 0),
                         host::Group::of_int(62, 7), host::Group::of_text(6, "CONTINUOUS")};
        session().current().drawing.add_record("LAYER", record);
    }
};

TEST_F(Settings, FirstReadInANewDrawingCreatesTheSettingsLayerWithTheDefault)
{
    settings_key_rec key;
    settings_key_make(key, "LABEL_BGD", "Bgd");
    EXPECT_STREQ(key.layer, kSettingsLayer);
    ASSERT_FALSE(layer_exists(kSettingsLayer));

    std::string value;
    EXPECT_EQ(drawing_setting_get(key, value), RTNORM);
    EXPECT_EQ(value, "Bgd");
    EXPECT_EQ(layer_group(kSettingsLayer, 62), 7);      // colour 7, on
    EXPECT_EQ(layer_group(kSettingsLayer, 70) & 5, 0);  // thawed, unlocked
    EXPECT_EQ(layer_texts(kSettingsLayer, "LABEL_BGD"), std::vector<std::string>{"Bgd"});

    // Read again: the stored text, not the default; the application is known already.
    EXPECT_EQ(layer_xdata_put(kSettingsLayer, "LABEL_BGD", "MyLabels", 1), RTNORM);
    session().transcript().clear();
    EXPECT_EQ(drawing_setting_get(key, value), RTNORM);
    EXPECT_EQ(value, "MyLabels");
    EXPECT_NE(session().transcript().text().find("\nLABEL_BGD already registered"), std::string::npos);
}

TEST_F(Settings, AnotherApplicationOnAnExistingLayerGetsItsDefault)
{
    std::string value;
    settings_key_rec first, second;
    EXPECT_EQ(drawing_setting_get(settings_key_make(first, "CUTTING", "Cutting"), value), RTNORM);
    EXPECT_EQ(drawing_setting_get(settings_key_make(second, "GRD_LBL", "1000.000,"), value), RTNORM);
    EXPECT_EQ(value, "1000.000,");
    EXPECT_EQ(layer_texts(kSettingsLayer, "CUTTING"), std::vector<std::string>{"Cutting"});
}

TEST_F(Settings, FindAndReadWriteNothing)
{
    settings_key_rec key;
    settings_key_make(key, "INPUTPNT", "unused default");
    std::string value = "unchanged";
    EXPECT_EQ(drawing_setting_find(key, value), -1);
    EXPECT_EQ(value, "unchanged");
    EXPECT_TRUE(layer_exists(kSettingsLayer));  // the layer is made, nothing is stored
    EXPECT_TRUE(layer_texts(kSettingsLayer, "INPUTPNT").empty());

    EXPECT_EQ(drawing_setting_read("INPUTPNT", "No_such_layer", value), -1);
    EXPECT_FALSE(layer_exists("No_such_layer"));
    EXPECT_EQ(drawing_setting_read("INPUTPNT", kSettingsLayer, value), -1);

    EXPECT_EQ(layer_xdata_put(kSettingsLayer, "INPUTPNT", "2.500,1,", 1), RTNORM);
    EXPECT_EQ(drawing_setting_find(key, value), 1);
    EXPECT_EQ(value, "2.500,1,");
    value.clear();
    EXPECT_EQ(drawing_setting_read("INPUTPNT", kSettingsLayer, value), 1);
    EXPECT_EQ(value, "2.500,1,");
}

TEST_F(Settings, SettingsLayerThatIsFrozenLockedOrOffIsMadeUsable)
{
    std::string value;
    settings_key_rec key;
    settings_key_make(key, "LINETP", "Line");
    ASSERT_EQ(drawing_setting_get(key, value), RTNORM);
    set_layer_state(kSettingsLayer, 5, -7);  // frozen, locked and off
    EXPECT_EQ(drawing_setting_get(key, value), RTNORM);
    EXPECT_EQ(layer_group(kSettingsLayer, 70) & 5, 0);
    EXPECT_EQ(layer_group(kSettingsLayer, 62), 7);
    set_layer_state(kSettingsLayer, 1, 7);
    EXPECT_EQ(drawing_setting_find(key, value), 1);
    EXPECT_EQ(layer_group(kSettingsLayer, 70) & 1, 0);

    // A further application on the layer while it is locked gets its default too.
    set_layer_state(kSettingsLayer, 4, 7);
    settings_key_rec other;
    settings_key_make(other, "PILE_AUTO", "pile_ecc");
    EXPECT_EQ(drawing_setting_get(other, value), RTNORM);
    EXPECT_EQ(value, "pile_ecc");
    EXPECT_EQ(layer_group(kSettingsLayer, 70) & 4, 0);
}

TEST_F(Settings, PutReplacesItsOwnTextAndLeavesOtherApplications)
{
    ASSERT_EQ(layer_create("Label_layer"), 1);
    regapp_register("LABEL_BGD");
    regapp_register("RAD_TBL");
    EXPECT_EQ(layer_xdata_put("Label_layer", "LABEL_BGD", "one", 1), RTNORM);
    EXPECT_EQ(layer_xdata_put("Label_layer", "RAD_TBL", "two", 1), RTNORM);
    EXPECT_EQ(layer_xdata_put("Label_layer", "LABEL_BGD", "three", 1), RTNORM);
    EXPECT_EQ(layer_texts("Label_layer", "LABEL_BGD"), std::vector<std::string>{"three"});
    EXPECT_EQ(layer_texts("Label_layer", "RAD_TBL"), std::vector<std::string>{"two"});

    // A layer that cannot be found: the message, RTERROR, and no layer made.
    session().transcript().clear();
    EXPECT_EQ(layer_xdata_put("Missing_layer", "LABEL_BGD", "x", 1), RTERROR);
    EXPECT_EQ(session().transcript().text(), "\nFailed adding xdata.");
    EXPECT_FALSE(layer_exists("Missing_layer"));

    // With layer_exists 0 the layer is made from an entity list first.
    EXPECT_EQ(layer_xdata_put("Made_layer", "LABEL_BGD", "made", 0), RTNORM);
    EXPECT_EQ(layer_texts("Made_layer", "LABEL_BGD"), std::vector<std::string>{"made"});
}

// Storing with layer_exists 0 makes the layer from an entity list first. A
// layer that cannot be made that way is alerted and the store goes on: an
// existing layer still takes the text, a name the host refuses ends in
// "Failed adding xdata." with the drawing unchanged.
TEST_F(Settings, StoringWithALayerToMakeFirst)
{
    ASSERT_EQ(layer_create("Label_layer"), 1);
    regapp_register("LABEL_BGD");
    const struct {
        const char* layer;
        bool list_form;
        int result;
        const char* alert;  // "" when none
        const char* printed;
    } cases[] = {
        {"New_layer", false, RTNORM, "", ""},
        {"Label_layer", false, RTNORM, "unable create layer\n", ""},
        {"Bad<name>", false, RTERROR, "unable create layer\n", "\nFailed adding xdata."},
        {"List_layer", true, 1, "", "\nSave succes"},
        {"label_LAYER", true, 1, "unable create layer\n", "\nSave succes"},
        {"Bad|list", true, RTERROR, "unable create layer\n", "\nFailed adding xdata."},
    };
    const std::vector<key_string_rec> list = {key_string_init(0, "INDEX=2"), key_string_init(0, "A=1")};
    for (const auto& c : cases) {
        session().transcript().clear();
        session().transcript().alerts.clear();
        const size_t layers_before = drawing().tables["LAYER"].size();
        const int result = c.list_form ? layer_xdata_save_list(c.layer, "LABEL_BGD", 0, list)
                                       : layer_xdata_put(c.layer, "LABEL_BGD", "stored", 0);
        EXPECT_EQ(result, c.result) << c.layer;
        const std::vector<std::string> alerts =
            *c.alert ? std::vector<std::string>{c.alert} : std::vector<std::string>{};
        EXPECT_EQ(session().transcript().alerts, alerts) << c.layer;
        EXPECT_NE(session().transcript().text().find(c.printed), std::string::npos) << c.layer;
        if (c.result == RTERROR) {
            EXPECT_EQ(drawing().tables["LAYER"].size(), layers_before) << c.layer;
            EXPECT_FALSE(layer_exists(c.layer)) << c.layer;
        } else {
            const std::vector<std::string> stored =
                c.list_form ? std::vector<std::string>{"INDEX=2", "A=1"} : std::vector<std::string>{"stored"};
            EXPECT_EQ(layer_texts(c.layer, "LABEL_BGD"), stored) << c.layer;
        }
    }
    EXPECT_EQ(layer_group("New_layer", 62), 7);
}

TEST_F(Settings, GetReportsALayerThatCannotBeMade)
{
    // A layer without a name cannot be made: the failure reaches the caller as
    // RTERROR (so its own "Failed Creating Layer" message can show) and the out
    // text keeps what it had.
    settings_key_rec key;
    settings_key_make(key, "CUTTING", "Cutting");
    key.layer[0] = '\0';
    std::string value = "unchanged";
    EXPECT_EQ(drawing_setting_get(key, value), RTERROR);
    EXPECT_EQ(value, "unchanged");
    EXPECT_NE(session().transcript().text().find("\nFailed adding xdata."), std::string::npos);
}

TEST_F(Settings, ListSavedOnAnEntityAndReadBack)
{
    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    resbuf* list = acutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    ASSERT_EQ(acdbEntMake(list), RTNORM);
    acutRelRb(list);
    ads_name entity;
    ASSERT_EQ(acdbEntLast(entity), RTNORM);
    regapp_register("TCURVE");
    std::vector<key_string_rec> entries;
    key_string_push(entries, 0, "INDEX=3");
    key_string_push_b(entries, 0, "R=100.000");
    key_string_push(entries, 0, "L=20.000");
    session().transcript().clear();
    EXPECT_EQ(ent_xdata_save_list(entity, "TCURVE", entries), 1);
    EXPECT_EQ(session().transcript().text(), "\nsucces");

    std::vector<key_string_rec> back;
    xdata_read_state().want_text_list = true;
    xdata_read_string_list(entity, "TCURVE", back);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[2].text, "L=20.000");
    EXPECT_EQ(xdata_read_state().text, "L=20.000");  // the last text stays as the read text
    EXPECT_TRUE(xdata_read_state().found_text);
    EXPECT_FALSE(xdata_read_state().want_text_list);  // requests are cleared
    xdata_read_string_list(entity, "TCURVE", back);   // without the request nothing is added
    EXPECT_EQ(back.size(), 3u);

    // An application that is not registered is refused.
    session().transcript().clear();
    EXPECT_EQ(ent_xdata_save_list(entity, "NOT_REGISTERED", entries), RTERROR);
    EXPECT_EQ(session().transcript().text(), "\nFailed adding xdata.");
}

// A command's reader of a KEY=VALUE list: the count from entry 0's value (its
// key is not looked at), keys without regard to case, unknown keys skipped.
struct label_settings {
    std::string height, layer, decimals;
};
label_settings read_label_settings(const std::vector<key_string_rec>& list)
{
    label_settings out;
    if (list.empty()) return out;
    const std::vector<std::string> head = str_split(list[0].text, '=');
    const int count = head.size() > 1 ? std::atoi(head[1].c_str()) : 0;
    for (int i = 1; i < count && i < static_cast<int>(list.size()); ++i) {
        const std::vector<std::string> kv = str_split(list[i].text, '=');
        if (kv.size() < 2) continue;
        if (strcasecmp(kv[0].c_str(), "HEIGHT") == 0) out.height = kv[1];
        if (strcasecmp(kv[0].c_str(), "LAYER") == 0) out.layer = kv[1];
        if (strcasecmp(kv[0].c_str(), "DECIMALS") == 0) out.decimals = kv[1];
    }
    return out;
}

TEST_F(Settings, KeyValueListRoundTrip)
{
    std::vector<key_string_rec> list;
    key_string_push_format(0, "INDEX=", nullptr, 0, 5, 3, list);
    key_string_push_format(0, "height=", nullptr, 2.5, 3, 2, list);
    key_string_push_format(0, "Unknown=", "skipped", 0, 0, 1, list);
    key_string_push_format(0, "Layer=", "Bgd", 0, 0, 1, list);
    key_string_push_format(0, "DECIMALS=", nullptr, 0, 2, 3, list);
    const std::vector<std::string> texts = {"INDEX=5", "height=2.500", "Unknown=skipped", "Layer=Bgd",
                                            "DECIMALS=2"};
    ASSERT_EQ(list.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(list[i].text, texts[i]);

    ASSERT_EQ(layer_create("Label_layer"), 1);
    regapp_register("LABEL_BGD_LIST");
    session().transcript().clear();
    EXPECT_EQ(layer_xdata_save_list("Label_layer", "LABEL_BGD_LIST", 1, list), 1);
    EXPECT_EQ(session().transcript().text(), "\nSave succes");

    std::vector<key_string_rec> back;
    EXPECT_EQ(drawing_setting_read_list("LABEL_BGD_LIST", "Label_layer", back), 1);
    ASSERT_EQ(back.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(back[i].text, texts[i]);
        EXPECT_EQ(back[i].key, 0);
    }
    const label_settings read = read_label_settings(back);
    EXPECT_EQ(read.height, "2.500");
    EXPECT_EQ(read.layer, "Bgd");
    EXPECT_EQ(read.decimals, "2");

    // The count comes from entry 0's value whatever its key: 3 reads entries 1 and 2 only.
    back[0].text = "COUNT=3";
    const label_settings partial = read_label_settings(back);
    EXPECT_EQ(partial.height, "2.500");
    EXPECT_EQ(partial.layer, "");

    std::vector<key_string_rec> none;
    EXPECT_EQ(drawing_setting_read_list("LABEL_BGD_LIST", "No_such_layer", none), -1);
    EXPECT_EQ(drawing_setting_read_list("OTHER_APP", "Label_layer", none), -1);
    EXPECT_TRUE(none.empty());
}

TEST_F(Settings, LayerNames)
{
    const struct {
        const char* name;
        int allow_star, valid;
    } cases[] = {
        {"Road_1", 0, 1}, {"A$B-2", 0, 1}, {"Road 1", 0, 0}, {"Road 1*", 1, 1}, {"Road 1*", 0, 0},
        {"Lots*", 1, 1},  {"*", 1, 1},     {"", 0, 0},       {"", 1, 0},        {"a.b", 0, 0},
    };
    const std::string alert =
        "Invalid characters in layer name.(R14)\nThe following characters are valid in layer "
        "names:\nA-Z\n0-9\n$-";
    for (const auto& c : cases) {
        session().transcript().alerts.clear();
        EXPECT_EQ(layer_name_valid(c.name, c.allow_star), c.valid) << "\"" << c.name << "\"";
        if (c.valid) {
            EXPECT_TRUE(session().transcript().alerts.empty()) << c.name;
        } else {
            ASSERT_EQ(session().transcript().alerts.size(), 1u) << c.name;
            EXPECT_EQ(session().transcript().alerts[0], alert);
        }
    }
}

TEST_F(Settings, LayersAreCreatedOnceAndMadeUsable)
{
    EXPECT_EQ(layer_flags_get("Lots"), -1);
    EXPECT_EQ(layer_ensure("Lots"), 1);
    EXPECT_EQ(layer_ensure("Lots"), 0);
    EXPECT_EQ(layer_group("Lots", 62), 7);
    EXPECT_EQ(layer_flags_get("Lots") & 5, 0);
    session().transcript().clear();
    EXPECT_EQ(layer_create("LOTS"), 0);  // table names ignore case
    EXPECT_EQ(session().transcript().text(), "\nLOTS already exists");

    const struct {
        int flags, colour;
        int flags_after, colour_after;
    } cases[] = {
        {1, 7, 0, 7},    // frozen: thawed
        {4, 7, 0, 7},    // locked: unlocked
        {5, 7, 0, 7},    // frozen and locked: both
        {0, -7, 0, 7},   // off: on
        {65, 7, 64, 7},  // frozen with a further bit: thawed, the bit kept
        {5, -3, 0, 3},   // all three
    };
    for (const auto& c : cases) {
        set_layer_state("Lots", c.flags, c.colour);
        layer_make_usable("Lots");
        EXPECT_EQ(layer_flags_get("Lots") & 5, c.flags_after & 5) << "flags " << c.flags;
        EXPECT_EQ(layer_flags_get("Lots") & 64, c.flags_after & 64) << "flags " << c.flags;
        EXPECT_EQ(layer_group("Lots", 62), c.colour_after) << "colour " << c.colour;
    }
    layer_make_usable("No_such_layer");  // nothing to do, nothing made
    EXPECT_FALSE(layer_exists("No_such_layer"));
}

TEST_F(Settings, ListingsAreSortedWithoutRegardToCase)
{
    for (const char* name : {"road", "Zeta", "ROAD", "alpha"}) add_layer_record(name);
    // The exchange sort over 0, road, Zeta, ROAD, alpha (worked by hand):
    // road<->alpha, then Zeta<->ROAD, then Zeta<->road.
    EXPECT_EQ(layer_table_list(), 5);
    EXPECT_EQ(layer_name_list, (std::vector<std::string>{"0", "alpha", "ROAD", "road", "Zeta"}));
    EXPECT_EQ(style_table_list(), 1);
    EXPECT_EQ(style_name_list, std::vector<std::string>{"Standard"});
    layer_list_free();
    EXPECT_TRUE(layer_name_list.empty());

    std::vector<key_string_rec> into = {key_string_init(0, "M")};
    layer_table_list_into(into);
    // Each name goes behind the entries that do not compare above it, so "ROAD"
    // lands behind "road", which the table lists first.
    std::vector<std::string> names;
    for (const key_string_rec& entry : into) names.push_back(entry.text);
    EXPECT_EQ(names, (std::vector<std::string>{"0", "alpha", "M", "road", "ROAD", "Zeta"}));
}

TEST_F(Settings, BlockLayerIsTheLayerOfTheFirstEntity)
{
    host::Drawing& dwg = drawing();
    host::Entity block;
    block.type = "BLOCK";
    block.groups = {host::Group::of_text(2, "Grid_Arrow"), host::Group::of_int(70, 0)};
    const long block_id = dwg.add_record("BLOCK", block).id;
    for (const char* layer : {"Arrows", "Heads"}) {
        host::Entity line;
        line.type = "LINE";
        line.groups = {host::Group::of_text(8, layer), host::Group::of_point(10, {0, 0, 0}),
                       host::Group::of_point(11, {1, 0, 0})};
        dwg.add_entity(line, block_id);
    }
    host::Entity empty;
    empty.type = "BLOCK";
    empty.groups = {host::Group::of_text(2, "Empty"), host::Group::of_int(70, 0)};
    dwg.add_record("BLOCK", empty);

    std::string layer = "unchanged";
    EXPECT_EQ(block_layer_get("grid_arrow", layer), 1);  // looked up upper-cased
    EXPECT_EQ(layer, "Arrows");
    EXPECT_EQ(block_layer_get("No_such_block", layer), 0);
    EXPECT_EQ(layer, "0");
    layer = "unchanged";
    EXPECT_EQ(block_layer_get("Empty", layer), 0);
    EXPECT_EQ(layer, "0");

    EXPECT_EQ(block_table_list(), 2);
    EXPECT_EQ(block_name_list, (std::vector<std::string>{"Empty", "Grid_Arrow"}));
}

TEST_F(Settings, PathTrackReloadsWhenAnotherDrawingBecomesCurrent)
{
    // A command's load step: reload when the tracker cleared the flag.
    int loaded = 0;
    std::string remembered, value;
    int loads = 0;
    settings_key_rec key;
    settings_key_make(key, "GRD_LBL", "default");
    auto load = [&] {
        dwg_path_track(loaded, remembered);
        if (loaded == 0) {
            ASSERT_EQ(drawing_setting_get(key, value), RTNORM);
            ++loads;
            loaded = 1;
        }
    };

    load();
    const std::string first_path = dwg_full_path();
    EXPECT_EQ(remembered, first_path);
    EXPECT_NE(first_path.find("Drawing1.dwg"), std::string::npos);
    layer_xdata_put(kSettingsLayer, "GRD_LBL", "first", 1);
    load();
    EXPECT_EQ(loads, 1);  // same drawing: no reload

    session().new_document();
    load();
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(value, "default");
    EXPECT_NE(remembered.find("Drawing2.dwg"), std::string::npos);
    layer_xdata_put(kSettingsLayer, "GRD_LBL", "second", 1);

    session().switch_to(0);
    load();
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(value, "first");
    session().switch_to(1);
    load();
    EXPECT_EQ(loads, 4);
    EXPECT_EQ(value, "second");

    // Paths are compared without regard to case.
    session().current().drawing.name = "DRAWING2.DWG";
    load();
    EXPECT_EQ(loads, 4);
}

}  // namespace
