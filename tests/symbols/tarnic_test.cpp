// b_tarnic through the host as a user runs it: the picker Tarnic is the
// stand-in program of install/exe_file, started and waited for through the
// shell, told by the test's Tarnic.script which symbol to answer. Positions
// and sizes are worked out here from the picked points.
#include <array>
#include <cstdlib>

#include "layers.h"
#include "symbols_fixture.h"

namespace {

using queries::count;

class Tarnic : public SymbolsTest {};

TEST_F(Tarnic, InsertTakesRotationAndScaleAndLeavesTheBlockLayerCurrent)
{
    tarnic_script("symbol=LAMP\n");
    const std::string out = run("(b_tarnic)\n100,200\nR\n30\n500\n");
    EXPECT_NE(out.find("\nsym_command INSERT sym_dwg:" + symbol_file("LAMP")), std::string::npos) << out;
    // What the command told the picker.
    EXPECT_EQ(registry("database"), install() + "/data");
    EXPECT_EQ(registry("version"), "V2");
    EXPECT_EQ(registry("tarnic"), "INSERT," + symbol_file("LAMP"));

    const auto inserts = live("INSERT");
    ASSERT_EQ(inserts.size(), 1u);
    EXPECT_EQ(inserts[0]->text(2), "LAMP");
    EXPECT_EQ(inserts[0]->layer(), "SYM_LAMP");
    EXPECT_AT(inserts[0]->point(10), 100, 200);
    EXPECT_NEAR(inserts[0]->real(41), 0.5, 1e-12);
    EXPECT_NEAR(inserts[0]->real(42), 0.5, 1e-12);
    EXPECT_NEAR(inserts[0]->real(50), 30 * kPi / 180, 1e-9);
    EXPECT_EQ(clayer(), "SYM_LAMP");
    EXPECT_EQ(live_all().size(), 1u) << "the block was loaded without a reference left over";

    // The picker's "YES": on the layer that was current, which stays current.
    ASSERT_EQ(layer_create("WORK"), 1);
    ASSERT_TRUE(host::set_sysvar_string(drawing(), "CLAYER", "WORK"));
    tarnic_script("symbol=LAMP\nclayer=YES\n");
    run("(b_tarnic)\n120,200\n\n");
    const auto both = live("INSERT");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1]->layer(), "WORK");
    EXPECT_NEAR(both[1]->real(41), 0.5, 1e-12) << "the plot scale is remembered";
    EXPECT_NEAR(both[1]->real(50), 30 * kPi / 180, 1e-9) << "and the rotation";
    EXPECT_EQ(clayer(), "WORK");
}

// The label stands a text height from the point along the bearing to the
// second pick, whatever the drawing's angle settings.
TEST_F(Tarnic, Symbol1PlacesTheBlockAndItsLabelAlongThePickedBearing)
{
    for (int survey = 0; survey < 2; ++survey) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) run("NEW\n(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        tarnic_script("symbol=TREE\n");
        const host::Point3 next = along(100, 200, 30, 10);
        std::string out =
            run("(b_tarnic)\n100,200\n" + std::to_string(next.x) + "," + std::to_string(next.y) + "\n\n");
        EXPECT_NE(out.find("\nPlot Scale 1:1000.000 Text Height:1.300"), std::string::npos) << out;
        auto inserts = live("INSERT");
        ASSERT_EQ(inserts.size(), 1u);
        EXPECT_EQ(inserts[0]->layer(), "SYM_TREE");
        EXPECT_NEAR(inserts[0]->real(50), 30 * kPi / 180, 1e-6);
        EXPECT_NEAR(inserts[0]->real(41), 1.0, 1e-12);
        auto texts = live("TEXT");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0]->text(1), "TR");
        EXPECT_EQ(texts[0]->layer(), "SYM_TREE");
        const host::Point3 label = along(100, 200, 30, 1.3);
        EXPECT_AT(texts[0]->point(10), label.x, label.y);
        EXPECT_NEAR(texts[0]->real(40), 1.3, 1e-12);
        EXPECT_NEAR(texts[0]->real(50), 60 * kPi / 180, 1e-6) << "the baseline runs along the bearing 30";

        // Changed settings: plot scale 500 and text height 2 make a label of
        // height 1 one unit from the point; a symbol without a label gets none.
        tarnic_script("symbol=TREE\n");
        out = run("(b_tarnic)\n50,50\n60,50\nYes\n500\n2\n");
        texts = live("TEXT");
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_AT(texts[1]->point(10), 51, 50);
        EXPECT_NEAR(texts[1]->real(40), 1.0, 1e-12);
        EXPECT_NEAR(live("INSERT")[1]->real(41), 0.5, 1e-12);
        tarnic_script("symbol=SHRUB\ncommand=SYMBOL1\n");
        run("(b_tarnic)\n70,50\n80,50\nYes\n1000\n1.3\n");  // back to the first settings
        EXPECT_EQ(live("INSERT").size(), 3u);
        EXPECT_EQ(live("TEXT").size(), 2u) << "the shrub has no label";
    }
}

TEST_F(Tarnic, Symbol2PlacesAPairWithItsLabelBetweenAndTheLine)
{
    tarnic_script("symbol=EPOLE\n");
    const std::string out = run("(b_tarnic)\n0,0\n30,40\nY\n\n\nY\n");
    EXPECT_NE(out.find("\nPlot Scale 1:1000.000 Text Height:1.300 Make Line No"), std::string::npos) << out;
    const auto inserts = live("INSERT", "SYM_EPOLE");
    ASSERT_EQ(inserts.size(), 2u);
    EXPECT_AT(inserts[0]->point(10), 0, 0);
    EXPECT_AT(inserts[1]->point(10), 30, 40);
    const double bearing = std::atan2(30.0, 40.0) * 180 / kPi;
    for (const host::Entity* e : inserts) EXPECT_NEAR(e->real(50), bearing * kPi / 180, 1e-6);
    const auto texts = live("TEXT", "SYM_EPOLE");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text(1), "EP");
    EXPECT_EQ(texts[0]->integer(72), 4);
    EXPECT_AT(texts[0]->point(11), 15, 20);
    const auto lines = live("LINE", "SYM_EPOLE");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_AT(lines[0]->point(10), 0, 0);
    EXPECT_AT(lines[0]->point(11), 30, 40);

    // The make-line setting is kept: the next pair shows it.
    tarnic_script("symbol=TPOLE\n");
    const std::string again = run("(b_tarnic)\n100,0\n100,10\n\n");
    EXPECT_NE(again.find("Make Line Yes"), std::string::npos);
    EXPECT_EQ(live("LINE", "SYM_TPOLE").size(), 1u);
}

// Spacing 10, gap 1 and box half-width 2 at 1:1000 on legs of 25 m and 20 m
// and one shorter than a spacing: symbols at 10 and 20 m from each leg's start
// (none at the start), line pieces between them short of each symbol by the
// gap, the piece from the end back to the last symbol, and a box round each
// leg that has a symbol.
TEST_F(Tarnic, Symbol3ChainsSymbolsAlongEachLeg)
{
    tarnic_script("answer=SYMBOL3," + symbol_file("FENCE") + ",10,1,2,FENCE_LN;\n");
    const std::string out = run("(b_tarnic)\n\n0,0\n0,25\n20,25\n25,25\n\n");
    const auto inserts = live("INSERT");
    std::vector<host::Point3> at;
    for (const host::Entity* e : inserts) {
        EXPECT_EQ(e->text(2), "FENCE");
        EXPECT_EQ(e->layer(), "SYM_FENCE");
        at.push_back(e->point(10));
    }
    ASSERT_EQ(at.size(), 4u) << out;
    EXPECT_AT(at[0], 0, 10);
    EXPECT_AT(at[1], 0, 20);
    EXPECT_AT(at[2], 10, 25);
    EXPECT_AT(at[3], 20, 25);
    EXPECT_NEAR(inserts[0]->real(50), 0, 1e-9);
    EXPECT_NEAR(inserts[2]->real(50), kPi / 2, 1e-9);

    // Pieces as (x1, y1, x2, y2), in the order drawn.
    const std::vector<std::array<double, 4>> expected = {
        // leg 1 (north, 25 m): 0-9, 11-19, from the end 25 back to 21
        {0, 0, 0, 9},
        {0, 11, 0, 19},
        {0, 25, 0, 21},
        // its box
        {-2, 0, -2, 25},
        {-2, 25, 2, 25},
        {2, 25, 2, 0},
        {2, 0, -2, 0},
        // leg 2 (east, 20 m): 0-9, 11-19; the last symbol is at the end
        {0, 25, 9, 25},
        {11, 25, 19, 25},
        {0, 27, 20, 27},
        {20, 27, 20, 23},
        {20, 23, 0, 23},
        {0, 23, 0, 27}};
    const auto lines = live("LINE");
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i]->layer(), "FENCE_LINE") << "the layer of the line block's first entity";
        EXPECT_AT(lines[i]->point(10), expected[i][0], expected[i][1]);
        EXPECT_AT(lines[i]->point(11), expected[i][2], expected[i][3]);
    }
}

TEST_F(Tarnic, ACancelledPickDrawsNothingAndSaysNothing)
{
    const size_t before = entity_count();
    tarnic_script("answer=CANCEL\n");
    const std::string out = run("(b_tarnic)\n");
    EXPECT_EQ(entity_count(), before);
    EXPECT_EQ(out.find("sym_command"), std::string::npos) << out;
    EXPECT_EQ(registry("tarnicClayer"), "No");
}

// A picker that never answers: the wait ends at its limit with a message,
// and the drawing is as it was.
TEST_F(Tarnic, APickerThatNeverAnswersEndsAtTheTimeLimit)
{
    const size_t before = entity_count();
    const size_t layers = drawing().tables["LAYER"].size();
    tarnic_script("silent=8\n");
    session().pump_second_ms = 1;
    run_and_wait_set_limit(600);
    const std::string out = run("(b_tarnic)\n10,10\n");
    EXPECT_NE(out.find("\nTarnic.exe gave no answer within 600 seconds; the command stops here."),
              std::string::npos)
        << out;
    EXPECT_EQ(entity_count(), before);
    EXPECT_EQ(drawing().tables["LAYER"].size(), layers);
    EXPECT_EQ(out.find("Pick point"), std::string::npos);
}

// Answers the command cannot use are named, and nothing is drawn. A SYMBOL3
// spacing of 0 or less would place symbols for ever along a leg.
TEST_F(Tarnic, AnswersThatCannotBeUsedAreNamed)
{
    struct Case {
        std::string answer;
        std::string message;
    } cases[] = {
        {"SYMBOL9," + symbol_file("TREE"), "\"SYMBOL9\" is not a symbol command"},
        {"INSERT", "it names no block drawing"},
        {"SYMBOL3," + symbol_file("FENCE") + ",0,1,2,FENCE_LN;", "the spacing 0 is not above 0"},
        {"SYMBOL3," + symbol_file("FENCE") + ",-10,1,2,FENCE_LN;", "the spacing -10 is not above 0"},
        {"SYMBOL3," + symbol_file("FENCE") + ",ten,1,2,FENCE_LN;", "the spacing \"ten\" is not a number"},
        {"SYMBOL3," + symbol_file("FENCE") + ",10,1", "a SYMBOL3 answer needs spacing, gap"},
    };
    const size_t before = entity_count();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        tarnic_script("answer=" + c.answer + "\n");
        const std::string out = run("(b_tarnic)\n0,0\n0,100\n\n");
        EXPECT_NE(out.find("\nThe symbol picker's answer \"" + c.answer + "\" cannot be used: " + c.message),
                  std::string::npos)
            << out;
        EXPECT_EQ(entity_count(), before);
    }
    // A block drawing that is not there.
    tarnic_script("answer=INSERT," + install() + "\\drawing\\symbol\\NOPE.dwg\n");
    const std::string out = run("(b_tarnic)\n5,5\n");
    EXPECT_NE(
        out.find("\nThe symbol's block drawing " + install() + "\\drawing\\symbol\\NOPE.dwg cannot be read"),
        std::string::npos)
        << out;
    EXPECT_EQ(entity_count(), before);
}

// A plot scale of 0 or less is asked again: it would make the chain's
// spacing 0 too.
TEST_F(Tarnic, APlotScaleOfZeroOrLessIsAskedAgain)
{
    tarnic_script("answer=SYMBOL3," + symbol_file("FENCE") + ",10,0,0,FENCE_LN;\n");
    const std::string out = run("(b_tarnic)\nYes\n0\n-500\n2000\n\n0,0\n0,45\n\n");
    EXPECT_EQ(count(out, "\nThe value must be more than 0.\n"), 2u) << out;
    const auto inserts = live("INSERT");
    ASSERT_EQ(inserts.size(), 2u) << "20 m apart at 1:2000 on a 45 m leg";
    EXPECT_AT(inserts[0]->point(10), 0, 20);
    EXPECT_AT(inserts[1]->point(10), 0, 40);
    EXPECT_NEAR(inserts[0]->real(41), 2.0, 1e-12);
    EXPECT_TRUE(live("LINE").empty()) << "no gap and no box: no lines";
}

// With no script and a person at a terminal (a pseudo-terminal made by
// Python's pty module, typed into from a pipe) the picker lists the installed
// symbols and answers the one chosen.
TEST_F(Tarnic, ThePickerAsksAPersonAtATerminal)
{
    ASSERT_EQ(
        host::platform::registry_write_text(host::platform::kProductKey, "database", install() + "/data"),
        true);
    ASSERT_TRUE(host::platform::registry_write_text(host::platform::kProductKey, "version", "V2"));
    const std::string command =
        "(sleep 0.5; printf '6\\ny\\n') | CADHOST_HOME='" + home() +
        "' timeout 60 python3 -c 'import pty, sys; sys.exit(pty.spawn(sys.argv[1:]))' '" + install() +
        "/exe_file/Tarnic' tarnic >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(registry("tarnic"), "INSERT," + symbol_file("LAMP"));
    EXPECT_EQ(registry("tarnicClayer"), "YES");
}

}  // namespace
