// Field splitting and the small text routines, as tables of cases.
#include "text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FieldCase {
    const char* source;
    int n;
    const char* delimiter;
    const char* expected;
};

TEST(StrGetField, TableOfCases)
{
    const FieldCase cases[] = {
        {"a,b,c", 1, ",", "a"},
        {"a,b,c", 2, ",", "b"},
        {"a,b,c", 3, ",", "c"},
        {"a,b,c", 4, ",", "c"},  // past the last field: the text after the last delimiter
        {"a,b,c", 0, ",", "c"},  // below 1 likewise
        {"a,b,c", -3, ",", "c"},
        {"a,b,", 3, ",", ""},
        {"abc", 1, ",", "abc"},
        {"abc", 7, ",", "abc"},
        {"", 1, ",", ""},
        {"1.000,2.000,,", 1, ",", "1.000"},
        {"1.000,2.000,,", 2, ",", "2.000"},
        {"1.000,2.000,,", 3, ",", ""},
        {"1.000,2.000,,", 4, ",", ""},
        {"1.000,2.000,,", 5, ",", ""},
        {"12.5,7,A", 2, ",", "7"},
        {"12.5,7,A", 5, ",", "A"},
        {"a,b,c", 2, ",,", "a,b,c"},  // a delimiter of two characters never matches
        {"a,b,c", 2, "", "a,b,c"},
        {"x;y", 2, ";", "y"},
        {",lead", 1, ",", ""},
        {",lead", 2, ",", "lead"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(str_get_field(c.source, c.n, c.delimiter), c.expected)
            << "source \"" << c.source << "\" field " << c.n << " delimiter \"" << c.delimiter << "\"";
}

TEST(StrGetField, TextsLongerThanTheOldBuffersAreSplitWhole)
{
    // 300 characters in the first field, 400 in the third: far beyond 254.
    const std::string first(300, 'x'), third(400, 'z');
    const std::string source = first + ",mid," + third;
    EXPECT_EQ(str_get_field(source, 1, ","), first);
    EXPECT_EQ(str_get_field(source, 2, ","), "mid");
    EXPECT_EQ(str_get_field(source, 3, ","), third);
    EXPECT_EQ(str_get_field(source, 9, ","), third);
    const std::string no_delimiter(1000, 'q');
    EXPECT_EQ(str_get_field(no_delimiter, 2, ","), no_delimiter);
}

TEST(StrSplit, SkipsBlanksAfterDelimitersButKeepsThoseBefore)
{
    struct Case {
        const char* text;
        char d;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"  a = b", '=', {"a ", "b"}},
        {"INDEX=3", '=', {"INDEX", "3"}},
        {"\t x=\t y", '=', {"x", "y"}},
        {"key=", '=', {"key", ""}},
        {"a,,b", ',', {"a", "", "b"}},
        {"   ", '=', {}},
        {"", '=', {}},
        {"plain", '=', {"plain"}},
        {"a=b=c", '=', {"a", "b", "c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(str_split(c.text, c.d), c.expected) << "text \"" << c.text << "\"";
}

TEST(StrFind, FindsAndRefuses)
{
    EXPECT_EQ(str_find("abcabc", "bc"), 1);
    EXPECT_EQ(str_find("abc", "x"), -1);
    EXPECT_EQ(str_find("", "a"), -1);
    EXPECT_EQ(str_find("abc", ""), -1);

    EXPECT_EQ(str_find_from(1, "abcabc", "bc"), 4);  // strictly above i
    EXPECT_EQ(str_find_from(0, "abcabc", "bc"), 1);
    EXPECT_EQ(str_find_from(-1, "abc", "a"), 0);
    EXPECT_EQ(str_find_from(2, "abc", "c"), -1);  // i + 1 not below the length
    EXPECT_EQ(str_find_from(4, "abcabc", "bc"), -1);

    EXPECT_EQ(str_rfind("a.b.c", "."), 3);
    EXPECT_EQ(str_rfind(".5", "."), 0);  // index 0 counts
    EXPECT_EQ(str_rfind("abc", "."), -1);
    EXPECT_EQ(str_rfind("abcabc", "abc"), 3);

    EXPECT_EQ(str_contains("Hello", "ell"), 1);
    EXPECT_EQ(str_contains("Hello", "ELL"), 0);
    EXPECT_EQ(str_contains("He", "Hello"), 0);

    const char* text = "find me";
    EXPECT_EQ(str_find_ptr(text, "me"), text + 5);
    EXPECT_EQ(str_find_ptr(text, "you"), nullptr);
    EXPECT_EQ(str_find_ptr("ab", "abc"), nullptr);
}

TEST(StrPieces, CutsAtTheirEdges)
{
    EXPECT_EQ(str_mid_from("abcdef", 2), "cdef");
    EXPECT_EQ(str_mid_from("abc", 3), "");
    EXPECT_EQ(str_mid_from("abc", 9), "");
    EXPECT_EQ(str_left("abcdef", 3), "abc");
    EXPECT_EQ(str_left("abc", 0), "");
    EXPECT_EQ(str_left("abc", 10), "abc");
    EXPECT_EQ(str_mid("abcdef", 1, 4), "bcd");
    EXPECT_EQ(str_mid("abcdef", 4, 4), "");
    EXPECT_EQ(str_mid("abcdef", 5, 2), "");
    EXPECT_EQ(str_mid("abc", 1, 99), "bc");
    EXPECT_EQ(str_mid_len("abcdef", 2, 3), "cde");
    EXPECT_EQ(str_mid_len("abcdef", 4, 10), "ef");
    EXPECT_EQ(str_mid_len("abc", 5, 1), "");
    EXPECT_EQ(str_trim("  a b  "), "a b");
    EXPECT_EQ(str_trim("\ta\t"), "\ta\t");  // only the blank counts
    EXPECT_EQ(str_trim("    "), "");
}

TEST(StrEdits, CaseReplaceCountRepeatPad)
{
    std::string t = "MiXed 1";
    str_lower(t);
    EXPECT_EQ(t, "mixed 1");
    str_upper(t);
    EXPECT_EQ(t, "MIXED 1");
    str_replace_char(t, 'X', '-');
    EXPECT_EQ(t, "MI-ED 1");

    std::string out;
    EXPECT_EQ(str_replace_all("aaa", out, "a", "aa"), 3);  // replaced text is not rescanned
    EXPECT_EQ(out, "aaaaaa");
    EXPECT_EQ(str_replace_all("1,2,3", out, ",", ", "), 2);
    EXPECT_EQ(out, "1, 2, 3");
    EXPECT_EQ(str_replace_all("none", out, "x", "y"), 0);
    EXPECT_EQ(out, "none");

    EXPECT_EQ(str_unescape_quot("say &quothi&quot"), "say \"hi\"");

    EXPECT_EQ(str_count_char("Banana", "a"), 3);
    EXPECT_EQ(str_count_char("Banana", "B"), 1);
    EXPECT_EQ(str_count_char("bAnAnA", "a"), 3);
    EXPECT_EQ(str_count_char("", "a"), 0);

    EXPECT_EQ(str_repeat(" ", 1), "");
    EXPECT_EQ(str_repeat(" ", 0), "");
    EXPECT_EQ(str_repeat("ab", 4), "ababab");

    EXPECT_EQ(str_pad_right("ab", 3, out), 4);
    EXPECT_EQ(out, "ab  ");
    EXPECT_EQ(str_pad_right("abcdef", 3, out), 6);
    EXPECT_EQ(out, "abcdef");
    EXPECT_EQ(str_pad_left("7", 3), "  7");
    EXPECT_EQ(str_pad_left("1234", 3), "1234");
    EXPECT_EQ(str_length("four"), 4);
}

}  // namespace
