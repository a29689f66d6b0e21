// The host fixture with small helpers to make entities through the API and read
// their lists back as groups.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "db/resbuf_convert.h"
#include "session/session.h"

class DbTest : public HostFixture {
protected:
    void answers(const std::string& script) { session().set_input(host::script_input(script)); }

    // acdbEntMake of the list, released afterwards.
    static int make(resbuf* list)
    {
        const int status = acdbEntMake(list);
        acutRelRb(list);
        return status;
    }
    static int modify(resbuf* list)
    {
        const int status = acdbEntMod(list);
        acutRelRb(list);
        return status;
    }
    // The id of the entity last made.
    static long last()
    {
        ads_name e = {0, 0};
        return acdbEntLast(e) == RTNORM ? e[0] : 0;
    }
    static std::vector<host::Group> groups_of(resbuf* list)
    {
        std::vector<host::Group> groups = host::groups_from_chain(list);
        acutRelRb(list);
        return groups;
    }
    static std::vector<host::Group> entget(long id)
    {
        ads_name e = {id, 0};
        return groups_of(acdbEntGet(e));
    }
    static const host::Group* find(const std::vector<host::Group>& groups, int code)
    {
        for (const host::Group& g : groups)
            if (g.code == code) return &g;
        return nullptr;
    }
    static int count(const std::vector<host::Group>& groups, int code)
    {
        int n = 0;
        for (const host::Group& g : groups) n += g.code == code;
        return n;
    }

    // Makers used by many tests.
    static long line(const char* layer, double x1, double y1, double x2, double y2)
    {
        ads_point a = {x1, y1, 0}, b = {x2, y2, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0)), RTNORM);
        return last();
    }
    static long point(const char* layer, double x, double y)
    {
        ads_point p = {x, y, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "POINT", 8, layer, 10, p, 0)), RTNORM);
        return last();
    }
    static long circle(const char* layer, double x, double y, double r)
    {
        ads_point c = {x, y, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "CIRCLE", 8, layer, 10, c, 40, r, 0)), RTNORM);
        return last();
    }
    static long text(const char* layer, double x, double y, double height, double rotation, const char* value)
    {
        ads_point p = {x, y, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "TEXT", 8, layer, 10, p, 40, height, 50, rotation, 1, value, 0)),
                  RTNORM);
        return last();
    }
};
