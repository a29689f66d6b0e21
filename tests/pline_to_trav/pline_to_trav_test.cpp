// b_ltrav as a user runs it: the dialog, the polyline picked, the traverse
// file written or added to; then the file opened in b_trav and plotted, whose
// traverse line must come back onto every vertex of the polyline to a
// millimetre per hundred metres of traverse (and a millimetre within the
// first hundred), new file and appended alike.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ads.h"
#include "drawing_queries.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

namespace fs = std::filesystem;

struct vertex {
    double x, y;
};

std::string read_text(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// An LWPOLYLINE on "SURVEY" through the vertices, with its flags and elevation.
void make_lwpolyline(const std::vector<vertex>& vertices, int flags, double elevation = 0)
{
    ASSERT_TRUE(test_make_lwpolyline("SURVEY", flags, vertices, elevation));
}

// A winding line of n legs from (x0, y0), each of a length in [shortest,
// longest] and a direction that turns by up to 75 degrees each leg, drawn
// from a fixed sequence so every run is the same.
std::vector<vertex> winding(double x0, double y0, int n, double shortest, double longest)
{
    std::vector<vertex> out{{x0, y0}};
    unsigned state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) & 0xffff) / 65535.0;
    };
    double direction = 0.7;
    for (int i = 0; i < n; ++i) {
        direction += (next() - 0.5) * 2.6;
        const double length = shortest + (longest - shortest) * next();
        out.push_back(
            {out.back().x + length * std::sin(direction), out.back().y + length * std::cos(direction)});
    }
    return out;
}

class PlineToTrav : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        drawing().prefix = home() + "/";
        drawing().name = "plan.dwg";
    }
    std::string path(const std::string& name) const { return home() + "/" + name; }

    // b_ltrav with the dialog lines given, picking the polyline at p.
    std::string convert(const std::string& dialog_lines, const vertex& p)
    {
        char at[96];
        std::snprintf(at, sizeof at, "%.6f,%.6f", p.x, p.y);
        return run("(b_ltrav)\n" + dialog_lines + "ok\n" + at + "\n");
    }

    // The file opened in b_trav and plotted (adjust off): the traverse line's
    // vertices as the plot drew them.
    std::vector<vertex> plotted(const std::string& file)
    {
        for (const host::Entity* e : queries::live(drawing(), "LWPOLYLINE"))
            if (e->layer() == "LotLine") const_cast<host::Entity*>(e)->erased = true;
        run("(b_trav)\nO\n" + file + "\nS\npick yes\nX\n");
        std::vector<vertex> out;
        for (const host::Entity* e : queries::live(drawing(), "LWPOLYLINE")) {
            if (e->layer() != "LotLine") continue;
            for (const host::Group& g : e->groups)
                if (g.code == 10) out.push_back({g.point.x, g.point.y});
        }
        return out;
    }

    // Each vertex within 1 mm per 100 m of traverse from the start (1 mm
    // within the first 100 m).
    void expect_reproduced(const std::vector<vertex>& want, const std::vector<vertex>& got)
    {
        ASSERT_EQ(got.size(), want.size());
        double along = 0;
        for (size_t k = 0; k < want.size(); ++k) {
            if (k > 0) along += std::hypot(want[k].x - want[k - 1].x, want[k].y - want[k - 1].y);
            const double off = std::hypot(got[k].x - want[k].x, got[k].y - want[k].y);
            EXPECT_LE(off, 0.001 * std::max(1.0, along / 100.0)) << "vertex " << k << " at " << along << " m";
        }
    }
};

TEST_F(PlineToTrav, ANewFileReproducesEveryVertex)
{
    // Long legs at survey coordinates, and short ones whose roundings would
    // add up if each leg were taken from the polyline alone.
    struct Case {
        const char* name;
        std::vector<vertex> polyline;
    } cases[] = {{"long", winding(400000, 600000, 14, 20, 180)}, {"short", winding(1000, 2000, 60, 3, 9)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make_lwpolyline(c.polyline, 0, 12.5);
        const std::string file = path(std::string(c.name) + ".trv");
        convert("set t_file " + file + "\nset t_stnstart 100\n", c.polyline.front());
        const std::string text = read_text(file);
        ASSERT_EQ(text.rfind("KOLVA3\nP,100,100,", 0), 0u) << text;
        // Every leg with the vertex's level (the polyline's elevation).
        EXPECT_NE(text.find("\nT,100,101,"), std::string::npos);
        EXPECT_NE(text.find(",12.500,METER\n"), std::string::npos);
        expect_reproduced(c.polyline, plotted(file));
    }
}

// Added to a traverse file that b_trav keeps (version 4, a radiation to 50
// after its last leg): the legs go on from the traverse's last station, 3,
// with numbers after every number the file holds, in records of the file's
// own version that b_trav reads back.
TEST_F(PlineToTrav, LegsAddedToAFileGoOnFromItsLastStation)
{
    const std::string file = path("site.trv");
    std::ofstream(file) << "KOLVA4\n"
                           "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
                           "T,1,2,90.0000,100.000,0.000,METER,\n"
                           "T,2,3,180.0000,100.000,0.000,METER,\n"
                           "R,2,50,45.0000,10.000,0.000,METER,";  // no line end after the last record
    std::vector<vertex> polyline = winding(1100, 1900, 8, 30, 120);
    make_lwpolyline(polyline, 0);
    const std::string shown = convert("pick tg_add\nset t_file " + file + "\n", polyline.front());
    const std::string text = read_text(file);
    EXPECT_NE(text.find("\nR,2,50,45.0000,10.000,0.000,METER,\nT,3,51,"), std::string::npos) << text;
    EXPECT_NE(text.find("\nT,51,52,"), std::string::npos);
    std::istringstream lines(text);
    int added = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("T,", 0) != 0 || line.rfind("T,1,", 0) == 0 || line.rfind("T,2,", 0) == 0) continue;
        ++added;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 7) << line;  // eight fields, the code empty
        EXPECT_EQ(line.back(), ',') << line;
    }
    EXPECT_EQ(added, 8);
    // b_trav draws the file's legs and the added ones as one line.
    std::vector<vertex> want = {{1000, 2000}, {1100, 2000}};
    want.insert(want.end(), polyline.begin(), polyline.end());
    expect_reproduced(want, plotted(file));
}

// A closed polyline closes on its first station, once: with three corners or
// with its last vertex already back on its first. Legs along the axes carry
// the exact axis bearings.
TEST_F(PlineToTrav, AClosedPolylineGetsItsClosingLegOnce)
{
    const std::vector<vertex> square = {{0, 0}, {0, 50}, {40, 50}, {40, 0}};
    std::vector<vertex> drawn_closed = square;
    drawn_closed.push_back(square.front());
    struct Case {
        const char* name;
        std::vector<vertex> polyline;
        int flags;
    } cases[] = {{"closed", square, 1}, {"closed-twice", drawn_closed, 1}, {"drawn-back", drawn_closed, 0}};
    double x = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<vertex> polyline = c.polyline;
        for (vertex& v : polyline) v.x += x;
        make_lwpolyline(polyline, c.flags);
        const std::string file = path(std::string(c.name) + ".trv");
        convert("set t_file " + file + "\nset t_stnstart 1\n", polyline.front());
        char p[64];
        std::snprintf(p, sizeof p, "P,1,1,%.6f,0.000000,0.000,METER\n", x);
        EXPECT_EQ(read_text(file), std::string("KOLVA3\n") + p +
                                       "T,1,2,0.0000,50.000,0.000,METER\n"
                                       "T,2,3,90.0000,40.000,0.000,METER\n"
                                       "T,3,4,180.0000,50.000,0.000,METER\n"
                                       "T,4,1,270.0000,40.000,0.000,METER\n");
        x += 100;
    }
    // An open polyline has no closing leg.
    make_lwpolyline({{500, 0}, {500, 50}, {540, 50}}, 0);
    convert("pick p_file\n" + path("open.trv") + "\n", {500, 0});  // the file named through its dialog
    EXPECT_EQ(read_text(path("open.trv")),
              "KOLVA3\n"
              "P,1,1,500.000000,0.000000,0.000,METER\n"
              "T,1,2,0.0000,50.000,0.000,METER\n"
              "T,2,3,90.0000,40.000,0.000,METER\n");
}

TEST_F(PlineToTrav, WhatCannotBeConvertedIsSaidAndNothingWritten)
{
    // OK without a file name shows the dialog again with the message.
    const std::string missing = run("(b_ltrav)\nset t_file \"\"\nok\nshow\ncancel\n");
    EXPECT_NE(missing.find("l_errr: text, value \"File Name miss\""), std::string::npos) << missing;

    // A LINE is not converted: the file is not written.
    ads_point start = {0, 0, 0}, end = {10, 10, 0};
    resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "0", 10, start, 11, end, 0);
    ASSERT_EQ(acdbEntMake(line), RTNORM);
    acutRelRb(line);
    const std::string shown = convert("set t_file " + path("line.trv") + "\n", {0, 0});
    EXPECT_NE(shown.find("\nLINE found"), std::string::npos);
    EXPECT_NE(shown.find("\nOnly an LWPOLYLINE is turned into a traverse file; nothing was written."),
              std::string::npos);
    EXPECT_FALSE(fs::exists(path("line.trv")));

    // Adding to a file that is not there: the alert, and no file made.
    make_lwpolyline({{100, 0}, {100, 10}}, 0);
    run("(b_ltrav)\npick tg_add\nset t_file " + path("none.trv") + "\nok\n");
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>{"File error."});
    EXPECT_FALSE(fs::exists(path("none.trv")));

    // Nothing picked (adding is switched off again first).
    const std::string nothing =
        run("(b_ltrav)\npick tg_add\nset t_file " + path("x.trv") + "\nok\n500,500\n");
    EXPECT_NE(nothing.find("\nSelecting a polyline failed..."), std::string::npos) << nothing;
    EXPECT_FALSE(fs::exists(path("x.trv")));
}

}  // namespace
