// The DCL reader: the product's own dialog files, prototypes and attributes,
// and the errors that make a file unusable.
#include "dialogs/dcl_parse.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using host::DclError;
using host::DclFile;
using host::DclTile;
using host::parse_dcl;

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every tile of a tree in the file's order.
void collect(const DclTile& tile, std::vector<const DclTile*>& out)
{
    out.push_back(&tile);
    for (const DclTile& child : tile.children) collect(child, out);
}

const DclTile* find_key(const DclTile& dialog, const std::string& key)
{
    std::vector<const DclTile*> tiles;
    collect(dialog, tiles);
    for (const DclTile* tile : tiles)
        if (tile->attribute("key") == key) return tile;
    return nullptr;
}

DclFile parse_installed(const std::string& name)
{
    const std::string path = std::string(ORVIK_INSTALL_TREE) + "/dcl/" + name;
    DclError error;
    const auto file = parse_dcl(read_file(path), path, &error);
    EXPECT_TRUE(file) << error.text();
    return file.value_or(DclFile{});
}

TEST(DclFiles, YesNoCancelHasItsTiles)
{
    const DclFile file = parse_installed("YesNoCancel.dcl");
    ASSERT_EQ(file.dialogs.count("yes_no_dlg"), 1u);
    const DclTile& dialog = file.dialogs.at("yes_no_dlg");
    const std::pair<const char*, const char*> expected[] = {
        {"main", "text"}, {"msg", "text"}, {"yes", "button"}, {"no", "button"}, {"cancel", "button"}};
    for (const auto& [key, kind] : expected) {
        const DclTile* tile = find_key(dialog, key);
        ASSERT_NE(tile, nullptr) << key;
        EXPECT_EQ(tile->kind, kind) << key;
    }
}

TEST(DclFiles, PolylineConfirmHasItsTiles)
{
    const DclFile file = parse_installed("PolylineConfirm.dcl");
    ASSERT_EQ(file.dialogs.count("PolylineConfirm_dlg"), 1u);
    const DclTile& dialog = file.dialogs.at("PolylineConfirm_dlg");
    const std::pair<const char*, const char*> expected[] = {{"rb_CoordFrame", "radio_button"},
                                                            {"rb_CoordSpline", "radio_button"},
                                                            {"rb_CoordFrameSpline", "radio_button"},
                                                            {"tg_neverAsk", "toggle"},
                                                            {"t_msg", "text"},
                                                            {"exit", "button"}};
    for (const auto& [key, kind] : expected) {
        const DclTile* tile = find_key(dialog, key);
        ASSERT_NE(tile, nullptr) << key;
        EXPECT_EQ(tile->kind, kind) << key;
    }
    EXPECT_EQ(find_key(dialog, "exit")->attribute("action"), "(done_dialog 1)");
}

TEST(DclReader, PrototypesCommentsAndAttributes)
{
    const std::string text = R"(// a comment line
@include "acad.dcl"
dcl_settings : default_dcl_settings { audit_level = 3; }
/* a prototype of this file,
   used twice below */
wide_edit : edit_box { edit_width = 12; fixed_width = true; }
test_dlg : dialog {
    label = "A \"quoted\" title";
    : wide_edit { key = "t_a"; label = "&A:"; mnemonic = "A"; }
    : wide_edit { key = "t_b"; edit_width = 20; }
    : boxed_radio_row { key = "radio_ip"; label = "Which";
        : radio_button { key = "rb_x"; value = "1"; }
        : radio_button { key = "rb_y"; }
    }
    : popup_list { key = "pop_l"; list = "one\ntwo\nthree"; width = 20; }
    spacer;
    ok_cancel_help;
    errtile;
}
)";
    DclError error;
    const auto file = parse_dcl(text, "test.dcl", &error);
    ASSERT_TRUE(file) << error.text();
    ASSERT_EQ(file->dialogs.count("test_dlg"), 1u);
    EXPECT_EQ(file->prototypes.count("wide_edit"), 1u);
    const DclTile& dialog = file->dialogs.at("test_dlg");
    EXPECT_EQ(dialog.attribute("label"), "A \"quoted\" title");

    const DclTile* a = find_key(dialog, "t_a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->kind, "edit_box");
    EXPECT_EQ(a->attribute("edit_width"), "12");  // from the prototype
    EXPECT_TRUE(a->flag("fixed_width"));
    EXPECT_EQ(a->attribute("mnemonic"), "A");
    EXPECT_EQ(find_key(dialog, "t_b")->attribute("edit_width"), "20");  // overridden

    EXPECT_EQ(find_key(dialog, "radio_ip")->kind, "boxed_radio_row");
    EXPECT_EQ(find_key(dialog, "radio_ip")->children.size(), 2u);
    EXPECT_EQ(find_key(dialog, "pop_l")->attribute("list"), "one\ntwo\nthree");

    // The prototypes' standard keys.
    EXPECT_TRUE(find_key(dialog, "accept")->flag("is_default"));
    EXPECT_TRUE(find_key(dialog, "cancel")->flag("is_cancel"));
    EXPECT_EQ(find_key(dialog, "help")->kind, "button");
    EXPECT_EQ(find_key(dialog, "error")->kind, "text");
}

TEST(DclReader, ErrorsNameTheLine)
{
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"d : dialog {\n  : buton { key = \"a\"; }\n}\n", 2, "unknown tile kind 'buton'"},
        {"d : dialog {\n  : button { key = \"a\" }\n}\n", 2, "';' expected"},
        {"d : dialog {\n  : button { key = \"a; }\n}\n", 2, "not closed"},
        {"d : dialog {\n\n  /* never closed\n}\n", 3, "comment not closed"},
        {"d : dialog {\n  : button { key = \"a\"; }\n", 3, "'}' expected"},
        {"d : dialog {\n  : text { : button { key = \"a\"; } }\n}\n", 2, "cannot hold"},
        {"d dialog { }\n", 1, "':' expected"},
        {"p : p { }\nd : dialog { : p { } }\n", 1, "built on itself"},
    };
    for (const Case& c : cases) {
        DclError error;
        EXPECT_FALSE(parse_dcl(c.text, "bad.dcl", &error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        EXPECT_EQ(error.text().rfind("bad.dcl, line ", 0), 0u);
    }
}

// Files nested or built up past what a dialog needs are refused with the
// line where the limit was passed, before the reader runs out of stack or memory.
TEST(DclReader, FilesPastTheLimitsAreRefusedWithTheirLine)
{
    const int deep = 100000;
    std::string nested = "d : dialog {\n";
    for (int i = 0; i < deep; ++i) nested += ": row {\n";
    for (int i = 0; i < deep; ++i) nested += "}\n";
    nested += "}\n";

    std::string chain = "p0 : row { }\n";
    for (int i = 1; i < deep; ++i)
        chain += "p" + std::to_string(i) + " : p" + std::to_string(i - 1) + " { }\n";

    // Each prototype holds two of the one before: 2^40 tiles if it were built.
    std::string doubling = "p0 : text { }\n";
    for (int i = 1; i <= 40; ++i)
        doubling += "p" + std::to_string(i) + " : row { : p" + std::to_string(i - 1) + " { } : p" +
                    std::to_string(i - 1) + " { } }\n";

    struct Case {
        std::string text;
        int line;  // 0: any
        std::string says;
    };
    const Case cases[] = {
        // The dialog and 255 rows inside it are 256 levels; the next row is one too many.
        {nested, host::kDclNestingLimit + 1, "tiles nested deeper than 256 levels"},
        {chain, 0, "nested deeper than 512 levels"},
        {doubling, 0, "the tiles come to more than 100000"},
        {"p : row { : p { } }\n", 1, "prototype 'p' is built on itself"},
    };
    for (const Case& c : cases) {
        DclError error;
        EXPECT_FALSE(parse_dcl(c.text, "deep.dcl", &error));
        if (c.line) {
            EXPECT_EQ(error.line, c.line);
        }
        EXPECT_GT(error.line, 0);
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
    }

    // Up to the limit the file is read.
    std::string allowed = "d : dialog {\n";
    for (int i = 1; i < host::kDclNestingLimit; ++i) allowed += ": row {\n";
    for (int i = 1; i < host::kDclNestingLimit; ++i) allowed += "}\n";
    allowed += "}\n";
    DclError error;
    EXPECT_TRUE(parse_dcl(allowed, "deep.dcl", &error)) << error.text();
}

}  // namespace
