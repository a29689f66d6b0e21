// Texts in drawing files: UTF-8 in the drawing, UTF-8 in files of AC1021 and
// later, the code page of $DWGCODEPAGE in older ones with "\U+XXXX" for what it
// lacks; pictures and the font model show such escapes as their characters.
#include <gtest/gtest.h>

#include "ads.h"
#include "db/entities.h"
#include "db/text_encoding.h"
#include "db/textmetrics.h"
#include "dxf/dxf.h"
#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "host_fixture.h"

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
