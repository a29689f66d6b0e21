// The cross-section tests' fixture: Kestrom loaded in a host of the test's own
// home, a fast message pump (a pump second of 25 ms, so the wait for the
// cross-section program gives up after 600 pump seconds, 15 real seconds: time
// enough for the stand-in program's python to start on a busy machine),
// and the files the commands exchange: the point file, the temporary folder's
// "dunmar*.tmp" and the stand-in program's script.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "platform/siblings.h"
#include "platform/win_platform.h"
#include "test_entities.h"

// The two drawings every angle-bearing case runs in: the default one, and one
// set to survey angles (north at 0, clockwise).
struct xsec_drawing_case {
    const char* name;
    const char* setup;
};
inline constexpr xsec_drawing_case kXsecDrawings[] = {
    {"default", ""}, {"survey angles", "(setvar \"ANGBASE\" 1.5707963267949)\n(setvar \"ANGDIR\" 1)\n"}};

class XsecTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        session().pump_second_ms = 25;
    }
    void TearDown() override
    {
        host::platform::wait_children();
        HostFixture::TearDown();
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string path(const std::string& name) const { return home() + "/" + name; }
    // The product's temporary folder as this machine names it.
    std::string temp(const std::string& name) const
    {
        return home() + "/AppData/Roaming/PelmoraSoftware/OrvikSurvey/temp/" + name;
    }
    // The script that the stand-in cross-section program follows.
    void dunmar_script(const std::string& script) { write(path("dunmar_script.txt"), script); }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    size_t entity_count()
    {
        size_t n = 0;
        for (long id : drawing().model)
            if (const host::Entity* e = drawing().get(id); e && !e->erased) ++n;
        return n;
    }
    // The vertices (group 10) of an LWPOLYLINE, in order.
    static std::vector<host::Point3> vertices(const host::Entity& e)
    {
        std::vector<host::Point3> out;
        for (const host::Group& g : e.groups)
            if (g.code == 10) out.push_back(g.point);
        return out;
    }
    static size_t count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};
