// A surveyor labels lots with arc sides through b_find_area, which finds each
// boundary with the host's bpoly and measures it with the host's "area", at
// full survey coordinates. Worked by hand: a 40 x 30 lot whose 40 m side is an
// arc of 60 degrees (radius 40) bulging out holds 1200 + 800 (pi/3 - sin 60)
// = 1344.938 m2; bulging in, 1200 - 144.938 = 1055.062 m2.
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "ads.h"
#include "db/entities.h"
#include "host_fixture.h"
#include "platform/win_platform.h"

namespace {

namespace fs = std::filesystem;
using host::Group;

class FindAreaArcs : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        // An installation folder of this test process: the command writes its
        // settings file there.
        install =
            (fs::path(home()).parent_path() / ("FindAreaArcs.install." + std::to_string(getpid()))).string();
        fs::remove_all(install);
        fs::create_directories(install + "/dcl");
        fs::create_directories(install + "/cfg");
        fs::copy_file(fs::path(ORVIK_INSTALL_TREE) / "dcl" / "Find_area_Dlg.dcl",
                      install + "/dcl/Find_area_Dlg.dcl");
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install);
        static int drawings = 0;
        drawing().name = "arc_lots" + std::to_string(++drawings) + ".dwg";
        ASSERT_TRUE(load_kestrom());
    }
    void TearDown() override
    {
        HostFixture::TearDown();
        std::error_code ignored;
        fs::remove_all(install, ignored);
    }

    void make(const char* type, std::vector<Group> groups)
    {
        groups.insert(groups.begin(), Group::of_text(8, "LOT"));
        ASSERT_EQ(host::entity_make(drawing(), type, std::move(groups), {}), RTNORM);
    }
    void line(double x1, double y1, double x2, double y2)
    {
        make("LINE", {Group::of_point(10, {x1, y1, 0}), Group::of_point(11, {x2, y2, 0})});
    }
    std::vector<std::string> labels()
    {
        std::vector<std::string> out;
        for (long id : drawing().model) {
            const host::Entity* e = static_cast<const host::Drawing&>(drawing()).get(id);
            if (e && !e->erased && e->type == "TEXT" && host::same_text(e->layer(), "Area"))
                out.push_back(e->text(1));
        }
        return out;
    }

    std::string install;
};

TEST_F(FindAreaArcs, LotsWithArcSidesAreLabelledWithTheirTrueAreas)
{
    const double e = 400000, n = 600000, rise = 40 * std::cos(M_PI / 6);
    // West lot: LINEs and an ARC bulging out of its south side.
    line(e + 40, n, e + 40, n + 30);
    line(e + 40, n + 30, e, n + 30);
    line(e, n + 30, e, n);
    make("ARC", {Group::of_point(10, {e + 20, n + rise, 0}), Group::of_real(40, 40),
                 Group::of_real(50, 4 * M_PI / 3), Group::of_real(51, 5 * M_PI / 3)});
    // East lot: a closed LWPOLYLINE whose south side bulges in (clockwise).
    const double f = e + 100;
    make("LWPOLYLINE", {Group::of_int(90, 4), Group::of_int(70, 1), Group::of_point(10, {f, n, 0}),
                        Group::of_real(42, -std::tan(M_PI / 12)), Group::of_point(10, {f + 40, n, 0}),
                        Group::of_point(10, {f + 40, n + 30, 0}), Group::of_point(10, {f, n + 30, 0})});
    const std::string out = run("(b_find_area)\nselect s_unit_a 0\nset t_kpcdec_a 3\nok\n" +
                                std::to_string(e + 20) + "," + std::to_string(n + 15) + "\n\n" +
                                std::to_string(f + 20) + "," + std::to_string(n + 20) + "\n\nX\n");
    EXPECT_EQ(labels(), (std::vector<std::string>{"1344.938m%%178", "1055.062m%%178"})) << out;
}

}  // namespace
