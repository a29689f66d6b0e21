// Texts in drawing files: UTF-8 in the drawing, UTF-8 in files of AC1021 and
// later, the code page of $DWGCODEPAGE in older ones with "\U+XXXX" for what it
// lacks; pictures and the font model show such escapes as their characters.
#include <gtest/gtest.h>

#include <filesystem>

#include "ads.h"
#include "db/entities.h"
#include "db/text_encoding.h"
#include "db/textmetrics.h"
#include "dxf/dxf.h"
#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "host_fixture.h"
#include "outside_readers.h"

using namespace dxftest;
using host::Group;

namespace {

// The texts every case carries: Latin-1, the euro of code page 1252, Greek and
// Cyrillic outside it, a character outside the 16-bit range is left out.
const char* const kTexts[] = {"45°30'", "Tschüss", "€ 1500", "Ω = 2 π r", "Ширина"};

class Encoding : public HostFixture {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }

    void make_texts()
    {
        for (const char* text : kTexts)
            ASSERT_EQ(host::entity_make(drawing(), "TEXT",
                                        {Group::of_text(8, "Grüße"), Group::of_text(1, text),
                                         Group::of_point(10, {}), Group::of_real(40, 1)},
                                        {}),
                      RTNORM);
    }

    std::vector<std::string> texts_of(const host::Drawing& d)
    {
        std::vector<std::string> out;
        for (long id : d.model)
            if (d.get(id)->type == "TEXT") out.push_back(d.get(id)->text(1));
        return out;
    }

    // Drawings of AC1015 that ezdxf writes, one per "CODE_PAGE|codec|layer|text|..."
    // line, as CODE_PAGE.dxf: the layer and a TEXT on it for each text, in the
    // code page (python's codec of it) with "\U+XXXX" for what it lacks.
    void write_code_page_files(const std::vector<std::string>& specs)
    {
        const char* script = R"(
import sys, io, re, ezdxf
for spec in sys.argv[2:]:
    page, codec, layer, *texts = spec.split("|")
    doc = ezdxf.new("R2000")
    doc.layers.add(layer)
    for t in texts:
        doc.modelspace().add_text(t, dxfattribs={"layer": layer})
    stream = io.StringIO()
    doc.write(stream)
    text = re.sub(r"(\$DWGCODEPAGE\n *3\n)[^\n]*", lambda m: m.group(1) + page, stream.getvalue())
    open(sys.argv[1] + "/" + page + ".dxf", "wb").write(text.encode(codec, errors="dxfreplace"))
)";
        std::vector<std::string> args = {home()};
        args.insert(args.end(), specs.begin(), specs.end());
        std::string output;
        ASSERT_EQ(outside::run_ezdxf_script(script, args, output), 0) << output;
    }

    // The TEXT values and layers ezdxf reads, its \U+XXXX escapes decoded.
    std::vector<std::string> ezdxf_texts(const std::string& file)
    {
        const char* script = R"(
import sys, ezdxf
from ezdxf.lldxf.encoding import decode_dxf_unicode
doc = ezdxf.readfile(sys.argv[1])
out = open(sys.argv[2], "w", encoding="utf-8")
for e in doc.modelspace():
    if e.dxftype() == "TEXT": out.write(decode_dxf_unicode(e.dxf.text) + "|" + decode_dxf_unicode(e.dxf.layer) + "\n")
)";
        std::string output, list = file + ".texts";
        EXPECT_EQ(outside::run_ezdxf_script(script, {file, list}, output), 0) << output;
        std::vector<std::string> texts;
        std::string all = file_text(list);
        for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
            texts.push_back(all.substr(at, end - at));
        return texts;
    }
};

TEST_F(Encoding, SavedTextsAreInTheCodePageAndEzdxfReadsEveryCharacter)
{
    make_texts();
    std::string file = path("texts.dxf");
    run("SAVEAS " + file);
    std::string bytes = file_text(file);
    EXPECT_NE(bytes.find("\nANSI_1252\n"), std::string::npos);
    EXPECT_NE(bytes.find("\n45\xB0"
                         "30'\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\nTsch\xFCss\n"), std::string::npos);
    EXPECT_NE(bytes.find("\n\x80 1500\n"), std::string::npos);
    EXPECT_NE(bytes.find("\n\\U+03A9 = 2 \\U+03C0 r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\nGr\xFC\xDF"
                         "e\n"),
              std::string::npos);
    EXPECT_EQ(bytes.find("\xC3"), std::string::npos) << "no UTF-8 bytes in a code-page file";

    std::vector<std::string> read = ezdxf_texts(file);
    ASSERT_EQ(read.size(), std::size(kTexts));
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i], std::string(kTexts[i]) + "|Grüße");

    std::string error;
    auto opened = host::open_drawing_document(file, error);
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(texts_of(opened->drawing), std::vector<std::string>(std::begin(kTexts), std::end(kTexts)));
    EXPECT_NE(opened->drawing.find_record("LAYER", "Grüße"), 0);
}

// Files that ezdxf writes in several versions open with every character.
TEST_F(Encoding, FilesOfEveryVersionOpenWithTheirCharacters)
{
    const char* script = R"(
import sys, ezdxf
doc = ezdxf.new(sys.argv[2])
if sys.argv[3]: doc.header["$DWGCODEPAGE"] = sys.argv[3]
doc.layers.add("Grüße")
for t in sys.argv[4:]:
    doc.modelspace().add_text(t, dxfattribs={"layer": "Grüße"})
doc.saveas(sys.argv[1])
)";
    struct Case {
        const char* version;
        const char* code_page;
        std::vector<std::string> texts;
    };
    const std::vector<std::string> all(std::begin(kTexts), std::end(kTexts));
    for (const Case& c :
         {Case{"R2010", "", all}, Case{"R2018", "", all}, Case{"R2000", "", all},
          Case{"R2000", "ANSI_1251", {"Ширина", "Длина"}}, Case{"R2000", "ANSI_1250", {"Łódź", "Příliš"}}}) {
        SCOPED_TRACE(std::string(c.version) + " " + c.code_page);
        std::string file = path(std::string("ezdxf_") + c.version + c.code_page + ".dxf"), output;
        std::vector<std::string> args = {file, c.version, c.code_page};
        args.insert(args.end(), c.texts.begin(), c.texts.end());
        ASSERT_EQ(outside::run_ezdxf_script(script, args, output), 0) << output;
        std::string error;
        auto opened = host::open_drawing_document(file, error);
        ASSERT_TRUE(opened) << error;
        EXPECT_EQ(texts_of(opened->drawing), c.texts);
        EXPECT_NE(opened->drawing.find_record("LAYER", "Grüße"), 0);

        // Saved again, ezdxf reads the same characters.
        std::string saved = file + ".saved.dxf";
        ASSERT_TRUE(host::save_drawing_document(*opened, saved, error)) << error;
        std::vector<std::string> back = ezdxf_texts(saved);
        ASSERT_EQ(back.size(), c.texts.size());
        for (size_t i = 0; i < back.size(); ++i) EXPECT_EQ(back[i], c.texts[i] + "|Grüße");
    }
}

// Every code page a file can name, as ezdxf writes it (texts and a layer
// name in the code page, "\U+XXXX" for what it lacks): OPEN and SAVE through
// the host keep the texts inside the drawing and in the saved file, in the
// file's own code page, and the saved file differs from its source in no group.
TEST_F(Encoding, EveryCodePageIsReadAndWrittenInItself)
{
    struct Case {
        const char* code_page;
        const char* codec;  // python's name of it
        const char* layer;
        std::vector<std::string> texts;  // the last one holds a character the code page lacks
    };
    const std::vector<Case> cases = {
        {"ANSI_874", "cp874", "ที่ดิน", {"ถนน สาย ๑", "Ж"}},
        {"ANSI_932", "cp932", "境界線", {"測量 図面", "ソ表示 ｱｲｳ", "ก"}},
        {"ANSI_936", "gbk", "图层", {"中文 测量", "地块面积", "ก"}},
        {"ANSI_949", "cp949", "경계", {"측량 도면", "ก"}},
        {"ANSI_950", "cp950", "圖層", {"測量圖 許功蓋", "ก"}},
        {"ANSI_1250", "cp1250", "Łódź", {"Příliš žluťoučký", "Ж"}},
        {"ANSI_1251", "cp1251", "Ширина", {"Длина участка", "ก"}},
        {"ANSI_1252", "cp1252", "Grüße", {"€ 1500 Tschüss", "Ж"}},
        {"ANSI_1253", "cp1253", "Ωμέγα", {"Εμβαδόν οικοπέδου", "Ж"}},
        {"ANSI_1254", "cp1254", "Ğüşİ", {"Arsa alanı", "Ж"}},
        {"ANSI_1255", "cp1255", "שכבה", {"שלום עולם", "Ж"}},
        {"ANSI_1256", "cp1256", "طبقة", {"مرحبا بالعالم", "Ж"}},
        {"ANSI_1257", "cp1257", "Ąžuolas", {"Žemės sklypas", "Ж"}},
        {"ANSI_1258", "cp1258", "Đất", {"Đường ơ ư", "Ж"}},
        {"ANSI_1361", "johab", "경계", {"측량 도면", "ก"}},
        {"DOS437", "cp437", "Ñandú", {"½ Ñandú", "Ж"}},
        {"DOS850", "cp850", "Ørsted", {"Ørsted Þ", "Ж"}},
        {"DOS852", "cp852", "Łódź", {"Příliš", "Ж"}},
        {"DOS855", "cp855", "Жизнь", {"Ширина", "ก"}},
        {"DOS857", "cp857", "Ğış", {"Arsa alanı", "Ж"}},
        {"DOS860", "cp860", "São", {"Ção", "Ж"}},
        {"DOS861", "cp861", "Þórður", {"Þórður", "Ж"}},
        {"DOS863", "cp863", "Québec", {"Québec", "Ж"}},
        {"DOS864", "cp864", "سلام", {"سلام", "Ж"}},
        {"DOS865", "cp865", "Ærø", {"Ærø", "Ж"}},
        {"DOS866", "cp866", "Ширина", {"Длина участка", "ก"}},
        {"DOS869", "cp869", "ΑΒΓ", {"ΔΕΖ", "Ж"}},
        {"DOS932", "cp932", "境界線", {"測量 図面", "ก"}},
        {"MACINTOSH", "mac_roman", "Café", {"Café ñ", "Ж"}},
        {"BIG5", "big5", "圖層", {"測量圖 許功蓋", "ก"}},
        {"GB2312", "gbk", "图层", {"中文 测量", "ก"}},
        {"KSC5601", "cp949", "경계", {"측량 도면", "ก"}},
        {"JOHAB", "johab", "경계", {"측량 도면", "ก"}},
        {"ISO8859-1", "latin_1", "Grüße", {"Tschüss", "Ж"}},
        {"ISO8859-2", "iso8859_2", "Łódź", {"Příliš", "Ж"}},
        {"ISO8859-5", "iso8859_5", "Ширина", {"Длина", "ก"}},
        {"ISO8859-7", "iso8859_7", "Ωμέγα", {"Εμβαδόν", "Ж"}},
        {"ISO8859-9", "iso8859_9", "Ğüşİ", {"Arsa alanı", "Ж"}},
    };
    // One line per case: code page, codec, layer, texts.
    std::vector<std::string> specs;
    for (const Case& c : cases) {
        std::string spec = std::string(c.code_page) + "|" + c.codec + "|" + c.layer;
        for (const std::string& text : c.texts) spec += "|" + text;
        specs.push_back(spec);
    }
    write_code_page_files(specs);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        const std::string source = path(std::string(c.code_page) + ".dxf");
        const std::string saved = path(std::string(c.code_page) + ".saved.dxf");
        std::filesystem::copy_file(source, saved);
        std::string transcript = run("OPEN " + saved);
        EXPECT_EQ(transcript.find("not one this host knows"), std::string::npos) << transcript;
        EXPECT_EQ(texts_of(drawing()), c.texts);
        EXPECT_NE(drawing().find_record("LAYER", c.layer), 0);
        run("SAVE\nCLOSE");
    }

    // ezdxf reads the saved files in their code page; the comparison helper
    // finds no group changed.
    const std::string read_script = std::string(R"(
import sys
sys.path.insert(0, ")") + ORVIK_SOURCE_DIR +
                                    R"(/tests/dxf")
import ezdxf, dxf_groups
from ezdxf.lldxf.encoding import decode_dxf_unicode as u
out = open(sys.argv[1] + "/read.txt", "w", encoding="utf-8")
for spec in sys.argv[2:]:
    page, codec, *_ = spec.split("|")
    source, saved = sys.argv[1] + "/" + page + ".dxf", sys.argv[1] + "/" + page + ".saved.dxf"
    doc = ezdxf.readfile(saved, encoding=codec)
    layers = [u(e.dxf.layer) for e in doc.modelspace() if e.dxftype() == "TEXT"]
    texts = [u(e.dxf.text) for e in doc.modelspace() if e.dxftype() == "TEXT"]
    out.write("|".join([doc.header["$DWGCODEPAGE"], codec, layers[0] if layers else "", *texts]) + "\n")
    for difference in dxf_groups.compare_files(source, saved):
        out.write(page + " differs: " + difference + "\n")
)";
    std::vector<std::string> args = {home()};
    args.insert(args.end(), specs.begin(), specs.end());
    std::string output;
    ASSERT_EQ(outside::run_ezdxf_script(read_script, args, output), 0) << output;
    std::string read = file_text(path("read.txt"));
    std::string expected;
    for (const std::string& spec : specs) expected += spec + "\n";
    EXPECT_EQ(read, expected);
}

// A code page no converter here knows: OPEN says so, the texts are the
// file's bytes and SAVE writes them back as they were, under the file's name
// of its code page.
TEST_F(Encoding, ACodePageNoConverterKnowsKeepsTheFilesBytes)
{
    write_code_page_files({"DOS720|cp720|طبقة|مرحبا"});
    const std::string source = path("DOS720.dxf"), saved = path("saved.dxf");
    std::filesystem::copy_file(source, saved);
    std::string transcript = run("OPEN " + saved);
    EXPECT_NE(transcript.find("the code page \"DOS720\" is not one this host knows; texts are shown as read "
                              "and written back unchanged"),
              std::string::npos)
        << transcript;
    run("SAVE");
    const std::string before = file_text(source), after = file_text(saved);
    const std::string layer = "\n\xE1\xA0\xE7\xA1\n", text = "\n\xEA\xA9\xA5\xA0\x9F\n";  // in code page 720
    EXPECT_NE(before.find(layer), std::string::npos);
    EXPECT_NE(before.find(text), std::string::npos);
    EXPECT_NE(after.find(layer), std::string::npos);
    EXPECT_NE(after.find(text), std::string::npos);
    EXPECT_NE(after.find("$DWGCODEPAGE\n3\nDOS720\n"), std::string::npos);
}

// The font model and the picture count and show "\U+XXXX" and UTF-8 characters as one glyph each.
TEST_F(Encoding, EscapesAndCharactersAreOneGlyphEach)
{
    struct Case {
        const char* text;
        int glyphs;
        const char* shown;
    };
    for (const Case& c : {Case{"45\\U+00B0", 3, "45°"}, Case{"45°", 3, "45°"}, Case{"%%d", 1, "°"},
                          Case{"\\U+03A9\\u+03c0", 2, "Ωπ"}, Case{"\\U+12", 5, "\\U+12"},
                          Case{"a\xFF"
                               "b",
                               3, "aÿb"}}) {
        EXPECT_EQ(host::glyph_count(c.text), c.glyphs) << c.text;
        EXPECT_EQ(host::displayed_text(c.text), c.shown) << c.text;
    }
    EXPECT_EQ(host::text_from_file("45\xB0", &host::default_code_page()), "45°");
    EXPECT_EQ(host::text_from_file("45°", &host::default_code_page()), "45°") << "UTF-8 in a code-page file";
    EXPECT_EQ(host::text_for_file("π€", &host::default_code_page()), "\\U+03C0\x80");
    EXPECT_EQ(host::text_for_file("π€", nullptr), "π€");
}

}  // namespace
