// The LISP-table application both plug-ins are made of, attached to the host
// with a table that has empty slots: they are skipped and do not count, and an
// entry flagged for acedRegFunc is called directly.
#include "lisp_table.h"

#include <cstddef>
#include <string>

#include "ads.h"
#include "host_fixture.h"
#include "session/session.h"

namespace {

int say_first()
{
    acedRetStr("first");
    return RSRSLT;
}
int say_second()
{
    acedRetStr("second");
    return RSRSLT;
}
int say_direct()
{
    acedRetStr("direct");
    return RSRSLT;
}

const ads_symbol_rec first = {"t_first", say_first, false, 0};
const ads_symbol_rec second = {"t_second", say_second, false, 0};
const ads_symbol_rec direct = {"t_direct", say_direct, true, 0};
const ads_symbol_rec* const kTable[] = {nullptr, &first, nullptr, &second, &direct, nullptr};

LispTableApp table_app(kTable, 6);

// What the drawing being closed still defines once the application has taken
// its leave of it (the closing drawing is current during that message).
size_t left_in_closing_drawing = 99;

AcRx::AppRetCode table_entry(AcRx::AppMsgCode msg, void* pkt)
{
    const AcRx::AppRetCode result = table_app.processMessage(msg, pkt);
    if (msg == AcRx::kUnloadDwgMsg) left_in_closing_drawing = host::Session::get().current().functions.size();
    return result;
}

class LispTable : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(session().attach_app("TableApp", table_entry));
    }
    std::string value_of(const std::string& expression)
    {
        auto value = session().eval(expression);
        return value ? value->printed() : "error";
    }
};

TEST_F(LispTable, EmptySlotsAreSkippedAndDoNotCount)
{
    const auto& functions = session().current().functions;
    ASSERT_EQ(functions.size(), 3u);
    EXPECT_EQ(functions.at("t_first").code, 0);
    EXPECT_EQ(functions.at("t_second").code, 1);
    EXPECT_EQ(functions.at("t_direct").code, 2);
    EXPECT_EQ(value_of("(t_first)"), "\"first\"");
    EXPECT_EQ(value_of("(t_second)"), "\"second\"");
    EXPECT_EQ(value_of("(t_direct)"), "\"direct\"");
    EXPECT_TRUE(table_app.unlock_application);
    EXPECT_TRUE(table_app.mdi_aware);
    EXPECT_NE(table_app.module_instance, nullptr);
}

TEST_F(LispTable, ClosingADrawingRemovesTheFunctionsThereOnly)
{
    run("new\n");
    ASSERT_EQ(session().documents().size(), 2u);
    EXPECT_EQ(session().documents()[1]->functions.size(), 3u);
    left_in_closing_drawing = 99;
    run("close 1\n");
    EXPECT_EQ(left_in_closing_drawing, 0u);
    ASSERT_EQ(session().documents().size(), 1u);
    EXPECT_EQ(session().current().functions.size(), 3u);
    EXPECT_EQ(value_of("(t_second)"), "\"second\"");
}

}  // namespace
