// Settings stored in a drawing come back when the drawing is saved as DXF,
// closed and opened again: both forms, and other applications' data beside them.
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "layer_texts.h"
#include "layers.h"
#include "outside_readers.h"
#include "settings_store.h"

namespace {

class SettingsFile : public HostFixture {};

// The (code, value) pairs of a DXF file, read line by line.
std::vector<std::pair<int, std::string>> dxf_pairs(const std::string& file)
{
    std::vector<std::pair<int, std::string>> pairs;
    std::ifstream in(file);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        if (!value.empty() && value.back() == '\r') value.pop_back();
        pairs.emplace_back(std::atoi(code.c_str()), value);
    }
    return pairs;
}

TEST_F(SettingsFile, BothFormsSurviveSaveCloseAndOpen)
{
    settings_key_rec key;
    settings_key_make(key, "LABEL_BGD", "Bgd");
    std::string value;
    ASSERT_EQ(drawing_setting_get(key, value), RTNORM);
    ASSERT_EQ(layer_xdata_put("Orvik_survey_temp", "LABEL_BGD", "Label_layer", 1), RTNORM);
    ASSERT_EQ(layer_create("Label_layer"), 1);
    regapp_register("LABEL_BGD_LIST");
    regapp_register("RAD_TBL");
    std::vector<key_string_rec> list;
    key_string_push_format(0, "INDEX=", nullptr, 0, 3, 3, list);
    key_string_push_format(0, "HEIGHT=", nullptr, 2.5, 3, 2, list);
    key_string_push_format(0, "layer=", "Bgd", 0, 0, 1, list);
    ASSERT_EQ(layer_xdata_save_list("Label_layer", "LABEL_BGD_LIST", 1, list), 1);
    ASSERT_EQ(layer_xdata_put("Label_layer", "RAD_TBL", "12,3,", 1), RTNORM);

    const std::string file = home() + "/settings.dxf";
    const std::string shown = run("saveas " + file + "\nclose\nopen " + file + "\n");
    ASSERT_EQ(session().documents().size(), 1u) << shown;

    // The file itself holds the list form as written, read without the host.
    const auto pairs = dxf_pairs(file);
    const std::vector<std::pair<int, std::string>> expected = {
        {1001, "LABEL_BGD_LIST"}, {1002, "{"},         {1000, "INDEX=3"},
        {1000, "HEIGHT=2.500"},   {1000, "layer=Bgd"}, {1002, "}"}};
    auto at = std::search(pairs.begin(), pairs.end(), expected.begin(), expected.end());
    EXPECT_NE(at, pairs.end()) << "the list form is not in " << file;

    // The drawing's path changed, so a command reloads, and finds what was stored.
    int loaded = 1;
    std::string remembered = "Drawing1.dwg";
    dwg_path_track(loaded, remembered);
    EXPECT_EQ(loaded, 0);
    EXPECT_NE(remembered.find("settings.dxf"), std::string::npos);
    EXPECT_EQ(drawing_setting_get(key, value), RTNORM);
    EXPECT_EQ(value, "Label_layer");
    std::vector<key_string_rec> back;
    EXPECT_EQ(drawing_setting_read_list("LABEL_BGD_LIST", "Label_layer", back), 1);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].text, "INDEX=3");
    EXPECT_EQ(back[1].text, "HEIGHT=2.500");
    EXPECT_EQ(back[2].text, "layer=Bgd");
    EXPECT_EQ(layer_texts("Label_layer", "RAD_TBL"), std::vector<std::string>{"12,3,"});
    EXPECT_EQ(layer_texts("Label_layer", "LABEL_BGD"), std::vector<std::string>{});

    // An independent reader sees the same data on the layers.
    std::string texts;
    outside::expect_ezdxf_reads(
        file, {"Orvik_survey_temp:LABEL_BGD", "Label_layer:LABEL_BGD_LIST", "Label_layer:RAD_TBL"}, &texts);
    EXPECT_EQ(texts,
              "Orvik_survey_temp LABEL_BGD Label_layer\n"
              "Label_layer LABEL_BGD_LIST INDEX=3\nLabel_layer LABEL_BGD_LIST HEIGHT=2.500\n"
              "Label_layer LABEL_BGD_LIST layer=Bgd\n"
              "Label_layer RAD_TBL 12,3,\n");
}

// A new text replaces the application's own text on the layer and leaves the
// other applications' data there, in memory and in the saved file.
TEST_F(SettingsFile, PutReplacesItsOwnTextAndKeepsTheOthersInTheFile)
{
    std::string value;
    settings_key_rec cutting, grid;
    ASSERT_EQ(drawing_setting_get(settings_key_make(cutting, "CUTTING", "Cutting"), value), RTNORM);
    ASSERT_EQ(drawing_setting_get(settings_key_make(grid, "GRD_LBL", "1000.000,0,"), value), RTNORM);
    regapp_register("KOLVA");
    std::vector<key_string_rec> list;
    key_string_push(list, 0, "INDEX=2");
    key_string_push(list, 0, "SCALE=500");
    ASSERT_EQ(layer_xdata_save_list("Orvik_survey_temp", "KOLVA", 1, list), 1);

    ASSERT_EQ(layer_xdata_put("Orvik_survey_temp", "CUTTING", "Cutting_2", 1), RTNORM);
    auto expect_layer_holds = [&](const char* when) {
        EXPECT_EQ(layer_texts("Orvik_survey_temp", "CUTTING"), std::vector<std::string>{"Cutting_2"}) << when;
        EXPECT_EQ(layer_texts("Orvik_survey_temp", "GRD_LBL"), std::vector<std::string>{"1000.000,0,"})
            << when;
        EXPECT_EQ(layer_texts("Orvik_survey_temp", "KOLVA"),
                  (std::vector<std::string>{"INDEX=2", "SCALE=500"}))
            << when;
    };
    expect_layer_holds("in memory");

    const std::string file = home() + "/replaced.dxf";
    const std::string shown = run("saveas " + file + "\nclose\nopen " + file + "\n");
    ASSERT_EQ(session().documents().size(), 1u) << shown;
    ASSERT_EQ(session().current().file_path, file) << shown;
    expect_layer_holds("after the file");
    // The replaced text is in the file once, the default it replaced not at all.
    const auto pairs = dxf_pairs(file);
    EXPECT_EQ(std::count(pairs.begin(), pairs.end(), std::pair<int, std::string>{1000, "Cutting_2"}), 1);
    EXPECT_EQ(std::count(pairs.begin(), pairs.end(), std::pair<int, std::string>{1000, "Cutting"}), 0);

    std::string texts;
    outside::expect_ezdxf_reads(
        file, {"Orvik_survey_temp:CUTTING", "Orvik_survey_temp:GRD_LBL", "Orvik_survey_temp:KOLVA"}, &texts);
    EXPECT_EQ(texts,
              "Orvik_survey_temp CUTTING Cutting_2\nOrvik_survey_temp GRD_LBL 1000.000,0,\n"
              "Orvik_survey_temp KOLVA INDEX=2\nOrvik_survey_temp KOLVA SCALE=500\n");
}

}  // namespace
