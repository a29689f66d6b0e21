// 3D polylines from picked heights (b_treed_poly) through the host: vertices
// picked with typed heights, middle points whose heights are shared out by
// plan distance along the chain ("Auta"), the working layers kept in the
// drawing. The polylines are read back from the saved drawing with ezdxf, and
// the interpolated heights are worked out here from the picked points.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "constants.h"
#include "drawing_queries.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "settings_store.h"
#include "test_entities.h"

namespace {

// Each POLYLINE: "POLY layer flags is3d count", then "V flags x y z" per vertex.
const char* kPolylineScript = R"py(
import sys, ezdxf
for p in ezdxf.readfile(sys.argv[1]).modelspace().query("POLYLINE"):
    print("POLY", p.dxf.layer, p.dxf.flags, int(p.is_3d_polyline), len(p.vertices))
    for v in p.vertices:
        print("V", v.dxf.flags, v.dxf.location.x, v.dxf.location.y, v.dxf.location.z)
)py";

struct xyz {
    double x = 0, y = 0, z = 0;
};

std::string point_text(const xyz& p)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.6f,%.6f", p.x, p.y);
    return buffer;
}

// The heights of the middle points from A (with its z) to B at height zb:
// zA + (zb - zA) x the plan distance along the chain / the chain's length.
std::vector<double> shared_heights(const xyz& a, const std::vector<xyz>& middles, const xyz& b, double zb)
{
    std::vector<xyz> chain{a};
    chain.insert(chain.end(), middles.begin(), middles.end());
    chain.push_back(b);
    std::vector<double> along{0};
    for (size_t i = 1; i < chain.size(); ++i)
        along.push_back(along.back() + std::hypot(chain[i].x - chain[i - 1].x, chain[i].y - chain[i - 1].y));
    std::vector<double> heights;
    for (size_t i = 1; i + 1 < chain.size(); ++i)
        heights.push_back(a.z + (zb - a.z) * along[i] / along.back());
    return heights;
}

struct polyline_read {
    std::string layer;
    int flags = 0, is3d = 0;
    std::vector<int> vertex_flags;
    std::vector<xyz> vertices;
};

class TreedPolyTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    std::vector<polyline_read> saved_polylines(const std::string& name)
    {
        const std::string file = home() + "/" + name + ".dxf";
        run("SAVEAS " + file + "\n");
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kPolylineScript, {file}, output), 0) << output;
        std::vector<polyline_read> polylines;
        std::istringstream lines(output);
        for (std::string text; std::getline(lines, text);) {
            std::istringstream fields(text);
            std::string kind;
            fields >> kind;
            if (kind == "POLY") {
                polylines.emplace_back();
                int count = 0;
                fields >> polylines.back().layer >> polylines.back().flags >> polylines.back().is3d >> count;
            } else if (kind == "V" && !polylines.empty()) {
                int flags = 0;
                xyz p;
                fields >> flags >> p.x >> p.y >> p.z;
                polylines.back().vertex_flags.push_back(flags);
                polylines.back().vertices.push_back(p);
            }
        }
        return polylines;
    }

    size_t polyline_count() { return test_live_entities(drawing(), "POLYLINE").size(); }
};

// The example of heights 10 and 12 with middle points 10 m and 20 m along a
// 40 m chain, then a second Auta over uneven middle points, then a picked
// vertex at the previous level ("P"): one 3D POLYLINE (flags 8) whose vertices
// are 3D vertices (flags 32) at the heights worked out here.
TEST_F(TreedPolyTest, MiddlePointHeightsFollowTheDistanceAlongTheChain)
{
    const xyz a{0, 0, 10}, m1{6, 8}, m2{12, 16}, b{12, 36};
    const std::vector<xyz> middles2 = {{20, 40}, {21, 47.5}, {35, 47.5}};
    const xyz c{40, 60};
    const std::string script =
        "(b_treed_poly)\nok\n" + point_text(a) + "\n10\nA\n" + point_text(b) + "\n12\n" + point_text(m1) +
        "\n" + point_text(m2) + "\nF\nA\n" + point_text(c) + "\n7.25\n" + point_text(middles2[0]) + "\n" +
        point_text(middles2[1]) + "\n" + point_text(middles2[2]) + "\nF\n50,60\nP\nX\n";
    const std::string out = run(script);
    EXPECT_NE(out.find("\n3D Polyline version sds 1.1"), std::string::npos) << out;
    EXPECT_NE(out.find("\ne<X>it <U>ndo <R>edraw <S>etting <A>uta <L>ayer <Pick Point>"), std::string::npos);
    // After an Auta the next heights start from B's.
    EXPECT_NE(out.find("\nEnter Height<12.000>:"), std::string::npos) << out;
    EXPECT_NE(out.find("\n<P>rev Height <Enter Height><7.250>:P"), std::string::npos);
    const auto polylines = saved_polylines("chain");
    ASSERT_EQ(polylines.size(), 1u) << out;
    const polyline_read& p = polylines[0];
    EXPECT_EQ(p.layer, "0") << "the current layer";
    EXPECT_EQ(p.flags, 8);
    EXPECT_EQ(p.is3d, 1);
    std::vector<xyz> want = {a, {m1.x, m1.y, 10.5}, {m2.x, m2.y, 11.0}, {b.x, b.y, 12}};
    const auto heights = shared_heights({b.x, b.y, 12}, middles2, c, 7.25);
    for (size_t i = 0; i < middles2.size(); ++i) want.push_back({middles2[i].x, middles2[i].y, heights[i]});
    want.push_back({c.x, c.y, 7.25});
    want.push_back({50, 60, 7.25});
    ASSERT_EQ(p.vertices.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(p.vertex_flags[i], 32);
        EXPECT_NEAR(p.vertices[i].x, want[i].x, 1e-9);
        EXPECT_NEAR(p.vertices[i].y, want[i].y, 1e-9);
        EXPECT_NEAR(p.vertices[i].z, want[i].z, 1e-9);
    }
    EXPECT_NEAR(shared_heights(a, {m1, m2}, b, 12)[0], 10.5, 1e-12) << "the example's chain is 40 m long";
}

// Answers at the prompts: a word at the height prompt is asked again, Enter
// takes the last height, "P" the previous level; Undo with one vertex keeps
// it, with more removes the last; a word the loop does not know is passed over.
TEST_F(TreedPolyTest, HeightAnswersUndoAndUnknownWords)
{
    const std::string out =
        run("(b_treed_poly)\nok\nU\n0,0\nhigh\n5.5\nU\n10,0\n\nQ\n20,0\n6\n30,0\nP\nU\nU\n40,0\n^C\n7\nX\n");
    EXPECT_NE(out.find("<P>rev Height <Enter Height><0.000>:high"), std::string::npos) << out;
    const auto polylines = saved_polylines("answers");
    ASSERT_EQ(polylines.size(), 1u) << out;
    const std::vector<xyz> want = {{0, 0, 5.5}, {10, 0, 5.5}, {40, 0, 7}};
    ASSERT_EQ(polylines[0].vertices.size(), want.size()) << out;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(polylines[0].vertices[i].x, want[i].x, 1e-9);
        EXPECT_NEAR(polylines[0].vertices[i].z, want[i].z, 1e-9);
    }
}

// Leaving with a single vertex makes no polyline of one vertex, and says so;
// leaving with none makes nothing.
TEST_F(TreedPolyTest, OneVertexMakesNoPolyline)
{
    std::string out = run("(b_treed_poly)\nok\n5,5\n3\nX\n");
    EXPECT_NE(out.find("Only one vertex was picked: a 3D polyline needs two, so none was made."),
              std::string::npos)
        << out;
    out = run("(b_treed_poly)\n\n");
    EXPECT_EQ(polyline_count(), 0u);
    EXPECT_EQ(out.find("Only one vertex"), std::string::npos);
}

// Auta that cannot share heights adds nothing: an exit at the last point, no
// middle point, and a chain of no length (every point on A), which would
// divide by zero.
TEST_F(TreedPolyTest, AutaWithoutAChainAddsNothing)
{
    const std::string out =
        run("(b_treed_poly)\nok\n0,0\n1\nA\nX\nA\n10,0\n2\nF\nA\n0,0\n2\n0,0\n0,0\nF\n20,0\n4\nX\n");
    EXPECT_NE(out.find("No middle point was picked: nothing was added."), std::string::npos) << out;
    EXPECT_NE(out.find("The middle points and the last point lie on the first one: no heights to share out; "
                       "nothing was added."),
              std::string::npos);
    const auto polylines = saved_polylines("auta");
    ASSERT_EQ(polylines.size(), 1u);
    ASSERT_EQ(polylines[0].vertices.size(), 2u);
    for (const xyz& v : polylines[0].vertices) EXPECT_TRUE(std::isfinite(v.z));
    EXPECT_NEAR(polylines[0].vertices[1].x, 20, 1e-9);
    EXPECT_NEAR(polylines[0].vertices[1].z, 4, 1e-9);
}

// The working layers: a stored text with an empty field gives three layers;
// a drawing layer added, a new name typed, the polyline layer chosen; OK
// stores the list, and "L" chooses among them for the next polyline.
TEST_F(TreedPolyTest, WorkingLayersStoredAndChosen)
{
    regapp_register("TREED_POLY");
    ASSERT_EQ(layer_xdata_put(ORVIK_SETTINGS_LAYER, "TREED_POLY", "KERB,,DRAIN,EDGE,", 0), RTNORM);
    ASSERT_TRUE(test_make_point("SURVEY", 0, 0, 0));
    std::string out =
        run("(b_treed_poly)\nshow\nselect dwg_layer_listbox 2\npick add_btn\nset t_new_layer Wall-2\n"
            "select wk_layer_listbox 1\npick clayer_btn\nset t_draw_color 3\nshow\nok\n"
            "0,0\n1\n10,0\n2\nL\nselect wk_layer_listbox 0\nok\n20,0\n3\nX\n");
    EXPECT_NE(out.find("          0: KERB\n          1: DRAIN\n          2: EDGE\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("          0: KERB\n          1: DRAIN\n          2: EDGE\n          3: SURVEY\n"
                       "          4: Wall-2\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("t_clayer: edit_box, label \"Polyline layer :\", value \"DRAIN\""), std::string::npos);
    EXPECT_EQ(queries::stored_setting(drawing(), "TREED_POLY"), "KERB,DRAIN,EDGE,SURVEY,Wall-2,");
    EXPECT_NE(out.find("Prev Level:2.000 Layer:KERB"), std::string::npos) << "L chose KERB";
    const auto polylines = saved_polylines("layers");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0].layer, "KERB");
    EXPECT_EQ(polylines[0].vertices.size(), 3u);

    // Saved under a new name, the drawing's settings are read again and the
    // dialog shows. Removing a name the drawing has no layer of drops it;
    // removing a drawing layer gives it back.
    out =
        run("(b_treed_poly)\nselect wk_layer_listbox 4\npick remove_btn\nselect wk_layer_listbox 3\n"
            "pick remove_btn\nshow\nok\nX\n");
    EXPECT_EQ(queries::stored_setting(drawing(), "TREED_POLY"), "KERB,DRAIN,EDGE,");
    EXPECT_NE(out.find("          0: 0\n          1: Orvik_survey_temp\n          2: SURVEY\n"),
              std::string::npos)
        << "SURVEY back among the drawing layers:\n"
        << out;
    EXPECT_EQ(out.find("Wall-2"), std::string::npos) << "a typed name is gone:\n" << out;
}

// Layers are added while their names fit the stored text (254 characters);
// one more is refused with a message and the list stays whole. Bad names are
// refused too.
TEST_F(TreedPolyTest, WorkingLayersBeyondTheStoredTextAreRefused)
{
    // "TREED_POLY," and six names of 38 characters take 245 characters; a
    // seventh would take 284.
    std::string script = "(b_treed_poly)\n";
    for (int i = 0; i < 8; ++i)
        script += "set t_new_layer LAYER_" + std::to_string(i) + "_" + std::string(30, 'x') + "\n";
    script += "show\nset t_new_layer bad name\nset t_new_layer " + std::string(60, 'y') + "\nshow\nok\nX\n";
    const std::string out = run(script);
    EXPECT_NE(out.find("error: text, value \"Not added: the working layers would take"), std::string::npos)
        << out;
    EXPECT_NE(out.find("A new layer name is shorter than 60 characters."), std::string::npos);
    EXPECT_NE(out.find("** Alert: Invalid characters in layer name."), std::string::npos);
    const std::string kept = queries::stored_setting(drawing(), "TREED_POLY");
    EXPECT_EQ(kept.rfind("TREED_POLY,LAYER_0_", 0), 0u) << kept;
    EXPECT_EQ(kept.size(), 245u) << kept;
    EXPECT_NE(kept.find("LAYER_5_"), std::string::npos);
    EXPECT_EQ(kept.find("LAYER_6_"), std::string::npos);
}

// A cancelled first dialog ends the command; the next call shows it again.
// Another drawing has its own working layers.
TEST_F(TreedPolyTest, CancelledDialogAndAnotherDrawing)
{
    std::string out = run("(b_treed_poly)\ncancel\n");
    EXPECT_EQ(out.find("3D Polyline version"), std::string::npos) << out;
    out = run("(b_treed_poly)\nset t_new_layer KERB\nok\nX\n");
    EXPECT_NE(out.find("Dialog treedpoly_setting_dlg>"), std::string::npos);
    EXPECT_EQ(queries::stored_setting(drawing(), "TREED_POLY"), "TREED_POLY,KERB,");
    out = run("NEW\n(b_treed_poly)\nshow\nok\nX\n");
    EXPECT_EQ(out.find(": KERB"), std::string::npos) << out;
    EXPECT_EQ(queries::stored_setting(drawing(), "TREED_POLY"), "TREED_POLY,");
}

}  // namespace
