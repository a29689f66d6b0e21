// Reading a user's text file line by line: the byte-order mark, CR LF line
// ends and blank lines, with the lines keeping their numbers in the file.
#include "text_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<long, std::string>> lines_of(const std::string& content)
{
    const std::string path = testing::TempDir() + "text_lines_test.txt";
    std::ofstream(path, std::ios::binary) << content;
    std::vector<std::pair<long, std::string>> out;
    EXPECT_TRUE(text_file_lines(path, [&](long n, std::string_view line) { out.emplace_back(n, line); }));
    std::remove(path.c_str());
    return out;
}

TEST(TextFileLines, MarkLineEndsAndBlankLines)
{
    using L = std::vector<std::pair<long, std::string>>;
    struct Case {
        const char* content;
        L expected;
    } cases[] = {
        {"a,b\nc,d\n", L{{1, "a,b"}, {2, "c,d"}}},
        {"\xEF\xBB\xBF"
         "a,b\r\nc,d\r\n",
         L{{1, "a,b"}, {2, "c,d"}}},
        {"\xEF\xBB\xBF\r\nx\r\n", L{{2, "x"}}},     // a mark on a blank first line
        {"a\n\n  \t\r\nb", L{{1, "a"}, {4, "b"}}},  // blank lines skipped, numbers kept; no last line end
        {"x\xEF\xBB\xBF\n\xEF\xBB\xBFy\n",
         L{{1, "x\xEF\xBB\xBF"}, {2, "\xEF\xBB\xBFy"}}},  // only a leading mark
        {"a \t\r\n", L{{1, "a \t"}}},                     // blanks inside a line are the caller's
        {"", L{}},
    };
    for (const Case& c : cases) EXPECT_EQ(lines_of(c.content), c.expected) << c.content;
}

TEST(TextFileLines, MissingFileIsReported)
{
    bool called = false;
    EXPECT_FALSE(
        text_file_lines("/nonexistent/folder/file.csv", [&](long, std::string_view) { called = true; }));
    EXPECT_FALSE(text_file_lines("", [&](long, std::string_view) { called = true; }));
    EXPECT_FALSE(called);
}

}  // namespace
