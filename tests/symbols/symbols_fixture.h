// The host with Kestrom loaded, the sibling stand-ins of install/exe_file
// started as real processes (Tarnic and Merrow, each scripted by a file in
// the test's home), a fast message pump, and the routines no LISP function
// reaches run from script commands as a caller would run them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/sysvars.h"
#include "drawing_queries.h"
#include "folders_registry.h"
#include "host_fixture.h"
#include "merrow.h"
#include "platform/siblings.h"
#include "platform/win_platform.h"
#include "symbol_legend.h"
#include "symbol_list.h"
#include "symbols.h"
#include "test_entities.h"

class SymbolsTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        // The wait's limit of 600 pump seconds (in the plug-in and here) is
        // 30 real seconds at this pace: time enough for a stand-in to start.
        session().pump_second_ms = 50;
        app_folders = app_folder_rec{};
        legend_values() = legend_values_rec{};
        run_and_wait_set_limit(600);
        clear_sibling_standins();
        session().register_script_command("MERROW", [](const std::string&) { merrow_import(); });
        session().register_script_command("MERROW_OPT", [](const std::string&) { merrow_opt_cmd(); });
        session().register_script_command("LEGEND", [](const std::string&) { legend_dlg_run(); });
        session().register_script_command("SYMTEXT_ADD", [](const std::string&) { symbol_text_add(); });
        session().register_script_command("SYMTEXT_SHOW", [](const std::string&) { symbol_text_show(); });
        session().register_script_command("SYMDUMP", [](const std::string& path) { symbol_data_dump(path); });
    }

    void TearDown() override
    {
        host::platform::wait_children();
        HostFixture::TearDown();
    }

    static std::string install() { return ORVIK_INSTALL_TREE; }
    static std::string symbol_file(const std::string& name)
    {
        return install() + "\\drawing\\symbol\\" + name + ".dwg";
    }
    void write_text(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string read_text(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // What the stand-ins do at their next start.
    void tarnic_script(const std::string& lines) { write_text(home() + "/Tarnic.script", lines); }
    void merrow_script(const std::string& lines) { write_text(home() + "/Merrow.script", lines); }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    size_t entity_count() { return live_all().size(); }
    std::vector<const host::Entity*> live_all()
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model)
            if (const host::Entity* e = drawing().get(id); e && !e->erased) out.push_back(e);
        return out;
    }
    std::string clayer() { return host::sysvar_string(drawing(), "CLAYER"); }
    std::string registry(const std::string& name)
    {
        return host::platform::registry_read_text(host::platform::kProductKey, name).value_or("<missing>");
    }
};

inline constexpr double kPi = 3.14159265358979323846;

// The point at a bearing (degrees clockwise from north) and distance.
inline host::Point3 along(double x, double y, double bearing, double distance)
{
    return {x + distance * std::sin(bearing * kPi / 180.0), y + distance * std::cos(bearing * kPi / 180.0),
            0};
}

#define EXPECT_AT(point, ex, ey)            \
    do {                                    \
        EXPECT_NEAR((point).x, (ex), 1e-6); \
        EXPECT_NEAR((point).y, (ey), 1e-6); \
    } while (0)
