// The database as the host's own commands and LISP reach it: the Layer command's
// locks and freezes seen by the entity API and selections, system variables set
// from LISP.
#include "db_test.h"

namespace {

using HostFlow = DbTest;

TEST_F(HostFlow, LayerCommandLocksAreHonouredByEntMod)
{
    const long id = line("Fence", 0, 0, 5, 0);
    ads_name e = {id, 0};
    run("(command \"layer\" \"lock\" \"Fence\" \"\")\n");
    EXPECT_EQ(modify(acutBuildList(-1, e, 8, "Other", 0)), RTERROR);
    run("(command \"layer\" \"unlock\" \"Fence\" \"\")\n");
    EXPECT_EQ(modify(acutBuildList(-1, e, 8, "Other", 0)), RTNORM);
    EXPECT_EQ(find(entget(id), 8)->text, "Other");
}

TEST_F(HostFlow, FrozenLayersAreSeenByXButNotByWindowsOrCurrentLayer)
{
    const long id = line("Tin", 0, 0, 5, 0);
    run("(command \"layer\" \"freeze\" \"Tin\" \"\")\n");
    ads_name ss;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, ss), RTNORM);
    ads_name first;
    ASSERT_EQ(acedSSName(ss, 0, first), RTNORM);
    EXPECT_EQ(first[0], id);
    acedSSFree(ss);
    ads_point a = {-1, -1, 0}, b = {6, 1, 0};
    EXPECT_EQ(acedSSGet("C", a, b, nullptr, ss), RTERROR);

    const std::string shown = run("(setvar \"CLAYER\" \"Tin\")\n(getvar \"CLAYER\")\n");
    EXPECT_NE(shown.find("rejected"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"0\""), std::string::npos) << shown;
}

}  // namespace
