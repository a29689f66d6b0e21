// What the lot-tool tests share: a session with Kestrom loaded in a drawing of
// its own name (the plug-in stays loaded between tests and keeps its values per
// drawing), makers of the entities a plan holds, the drawing's live entities,
// and the saved drawing read back by python3 with ezdxf and shapely.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "outside_readers.h"

class LotToolsTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        static int drawings = 0;
        drawing().name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                         std::to_string(++drawings) + ".dwg";
        ASSERT_TRUE(load_kestrom());
    }

    using Group = host::Group;

    long make(const std::string& type, std::vector<Group> groups)
    {
        long id = 0;
        EXPECT_EQ(host::entity_make(drawing(), type, std::move(groups), {}, &id), RTNORM) << type;
        return id;
    }
    long line(double x1, double y1, double x2, double y2, const std::string& layer = "LOT")
    {
        return make("LINE", {Group::of_text(8, layer), Group::of_point(10, {x1, y1, 0}),
                             Group::of_point(11, {x2, y2, 0})});
    }
    // A closed outline of LINEs through the corners.
    void outline(const std::vector<std::pair<double, double>>& corners, const std::string& layer = "LOT")
    {
        for (size_t i = 0; i < corners.size(); ++i) {
            const auto& a = corners[i];
            const auto& b = corners[(i + 1) % corners.size()];
            line(a.first, a.second, b.first, b.second, layer);
        }
    }
    long text(const std::string& layer, double x, double y, const std::string& string)
    {
        return make("TEXT", {Group::of_text(8, layer), Group::of_point(10, {x, y, 0}),
                             Group::of_real(40, 1.0), Group::of_text(1, string)});
    }
    // An LWPOLYLINE through (x, y, bulge) vertices.
    long lwpolyline(const std::vector<std::vector<double>>& vertices, bool closed,
                    const std::string& layer = "LOT")
    {
        std::vector<Group> groups = {Group::of_text(8, layer),
                                     Group::of_int(90, static_cast<long>(vertices.size())),
                                     Group::of_int(70, closed ? 1 : 0)};
        for (const auto& v : vertices) {
            groups.push_back(Group::of_point(10, {v[0], v[1], 0}));
            if (v.size() > 2 && v[2] != 0) groups.push_back(Group::of_real(42, v[2]));
        }
        return make("LWPOLYLINE", groups);
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type && (layer.empty() || host::same_text(e->layer(), layer)))
                out.push_back(e);
        }
        return out;
    }
    size_t entity_count()
    {
        size_t n = 0;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased) ++n;
        }
        return n;
    }

    // Saves the drawing and runs a python3 script on it (argv[1] the file, then
    // the arguments); its output. The script must end with status 0.
    std::string python_on_saved(const std::string& script, const std::vector<std::string>& arguments = {})
    {
        const std::string file = home() + "/saved.dxf";
        run("SAVEAS " + file + "\n");
        const std::string python = outside::ezdxf_python();
        EXPECT_FALSE(python.empty()) << "python3-ezdxf is needed (.ci/install-deps installs it)";
        const std::string script_file = home() + "/check.py";
        {
            std::FILE* out = std::fopen(script_file.c_str(), "w");
            std::fputs(script.c_str(), out);
            std::fclose(out);
        }
        std::string command = python + " '" + script_file + "' '" + file + "'";
        for (const std::string& a : arguments) command += " '" + a + "'";
        std::string output;
        EXPECT_EQ(outside::run_tool(command, output), 0) << output;
        return output;
    }
};
