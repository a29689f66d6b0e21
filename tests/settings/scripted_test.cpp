// The settings store driven from a script as a command would use it: a small
// stand-in plug-in defines LISP functions whose C code is a command's load and
// save steps, and the script opens, switches and closes drawings around them.
#include <string>

#include "ads.h"
#include "arxapp.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "settings_store.h"

namespace {

// A command's settings as the real commands keep them: a record, the loaded
// flag and the remembered drawing path, all for the life of the plug-in.
settings_key_rec grid_key;
int grid_loaded = 0;
std::string grid_path;
std::string grid_value;

// (t_load): the command's load step; prints "Reloaded: <text>" when it read the
// drawing, and returns the settings it holds.
int t_load()
{
    dwg_path_track(grid_loaded, grid_path);
    if (grid_loaded == 0) {
        settings_key_make(grid_key, "GRD_LBL", "1000.000,0,");
        if (drawing_setting_get(grid_key, grid_value) != RTNORM) acutPrintf("\nFailed reading the settings");
        acutPrintf("\nReloaded: %s", grid_value.c_str());
        grid_loaded = 1;
    }
    acedRetStr(grid_value.c_str());
    return RSRSLT;
}

// (t_save "text"): the command's save step.
int t_save()
{
    const resbuf* args = acedGetArgs();
    if (args == nullptr || args->restype != RTSTR) return RSRSLT;
    grid_value = args->resval.rstring;
    if (layer_xdata_put(grid_key.layer, grid_key.app, grid_value.c_str(), 1) != RTNORM)
        acutPrintf("\nFailed save cfg to layer %s", grid_key.layer);
    acedRetVoid();
    return RSRSLT;
}

AcRx::AppRetCode standin_entry(AcRx::AppMsgCode msg, void*)
{
    switch (msg) {
        case AcRx::kLoadDwgMsg:
            acedDefun("t_load", 0);
            acedDefun("t_save", 1);
            break;
        case AcRx::kUnloadDwgMsg:
            acedUndef("t_load", 0);
            acedUndef("t_save", 1);
            break;
        case AcRx::kInvkSubrMsg:
            if (acedGetFunCode() == 0) t_load();
            if (acedGetFunCode() == 1) t_save();
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}

class ScriptedSettings : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        grid_loaded = 0;
        grid_path.clear();
        grid_value.clear();
        ASSERT_TRUE(session().attach_app("standin", standin_entry));
    }
};

TEST_F(ScriptedSettings, EachDrawingKeepsItsOwnSettingsAndSwitchingReloadsThem)
{
    const std::string shown =
        run("(t_load)\n"
            "(t_save \"250.000,1,\")\n"
            "(t_load)\n"
            "new\n"
            "(t_load)\n"
            "(t_save \"500.000,0,\")\n"
            "switch 1\n"
            "(t_load)\n"
            "switch 2\n"
            "(t_load)\n"
            "(t_load)\n");
    EXPECT_EQ(shown,
              "\nCommand: (t_load)\nReloaded: 1000.000,0,\n\"1000.000,0,\""  // first use: the default
              "\nCommand: (t_save \"250.000,1,\")\nnil"
              "\nCommand: (t_load)\n\"250.000,1,\""  // same drawing: no reload
              "\nCommand: new\nDrawing2.dwg is the current drawing."
              "\nCommand: (t_load)\nReloaded: 1000.000,0,\n\"1000.000,0,\""
              "\nCommand: (t_save \"500.000,0,\")\nnil"
              "\nCommand: switch 1\nDrawing1.dwg is the current drawing."
              "\nCommand: (t_load)\nGRD_LBL already registered\nReloaded: 250.000,1,\n\"250.000,1,\""
              "\nCommand: switch 2\nDrawing2.dwg is the current drawing."
              "\nCommand: (t_load)\nGRD_LBL already registered\nReloaded: 500.000,0,\n\"500.000,0,\""
              "\nCommand: (t_load)\n\"500.000,0,\"");

    // Each drawing has its settings layer as the first read made it: colour 7,
    // thawed, on and unlocked, with its own text.
    const char* stored[] = {"250.000,1,", "500.000,0,"};
    ASSERT_EQ(session().documents().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const host::Drawing& d = session().documents()[i]->drawing;
        const host::Entity* layer = d.get(d.find_record("LAYER", "Orvik_survey_temp"));
        ASSERT_NE(layer, nullptr) << d.name;
        EXPECT_EQ(layer->integer(62), 7) << d.name;
        EXPECT_EQ(layer->integer(70), 0) << d.name;
        const host::XDataApp* data = layer->xdata_of("GRD_LBL");
        ASSERT_NE(data, nullptr) << d.name;
        ASSERT_EQ(data->items.size(), 1u) << d.name;
        EXPECT_EQ(data->items[0].code, 1000);
        EXPECT_EQ(data->items[0].text, stored[i]) << d.name;
    }
}

TEST_F(ScriptedSettings, StoredSettingsComeBackFromTheSavedFile)
{
    const std::string file = home() + "/grid.dxf";
    const std::string shown =
        run("(t_load)\n(t_save \"250.000,1,\")\nsaveas " + file + "\nclose\nopen " + file + "\n(t_load)\n");
    // Opened again under its file's path: the command reloads and finds its text.
    EXPECT_NE(
        shown.find("\nCommand: (t_load)\nGRD_LBL already registered\nReloaded: 250.000,1,\n\"250.000,1,\""),
        std::string::npos)
        << shown;
    std::string texts;
    outside::expect_ezdxf_reads(file, {"Orvik_survey_temp:GRD_LBL"}, &texts);
    EXPECT_EQ(texts, "Orvik_survey_temp GRD_LBL 250.000,1,\n");
}

}  // namespace
