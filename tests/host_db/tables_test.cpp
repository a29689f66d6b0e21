// Symbol tables, registered applications, the layer classes and system variables.
#include <cstdlib>
#include <cstring>

#include "acdbclasses.h"
#include "db_test.h"

namespace {

class Tables : public DbTest {
protected:
    std::vector<std::string> names(const char* table)
    {
        std::vector<std::string> out;
        for (resbuf* r = acdbTblNext(table, 1); r; r = acdbTblNext(table, 0)) {
            const auto groups = groups_of(r);
            out.push_back(find(groups, 2)->text);
        }
        return out;
    }
};

TEST_F(Tables, ANewDrawingHasItsStandardRecords)
{
    EXPECT_EQ(names("LAYER"), std::vector<std::string>{"0"});
    EXPECT_EQ(names("style"), std::vector<std::string>{"Standard"});
    EXPECT_EQ(names("LTYPE"), std::vector<std::string>{"CONTINUOUS"});
    EXPECT_EQ(names("APPID"), std::vector<std::string>{"ACAD"});
    EXPECT_TRUE(names("BLOCK").empty());
    const auto style = groups_of(acdbTblSearch("STYLE", "STANDARD", 0));
    EXPECT_DOUBLE_EQ(find(style, 40)->real, 0.0);
    EXPECT_DOUBLE_EQ(find(style, 41)->real, 1.0);
    const auto layer = groups_of(acdbTblSearch("LAYER", "0", 0));
    EXPECT_EQ(layer.front().code, 0);  // table lists have no -1
    EXPECT_EQ(layer.front().text, "LAYER");
    EXPECT_EQ(find(layer, 62)->integer, 7);
    EXPECT_EQ(acdbTblNext("NOSUCHTABLE", 1), nullptr);
}

TEST_F(Tables, ListingSearchAndNamesIgnoreCase)
{
    line("Road", 0, 0, 1, 0);
    line("road", 0, 0, 1, 0);  // the same layer
    line("ARAS-P", 0, 0, 1, 0);
    EXPECT_EQ(names("LAYER"), (std::vector<std::string>{"0", "Road", "ARAS-P"}));
    ads_name a, b;
    ASSERT_EQ(acdbTblObjName("layer", "ROAD", a), RTNORM);
    ASSERT_EQ(acdbTblObjName("LAYER", "Road", b), RTNORM);
    EXPECT_TRUE(ads_name_equal(a, b));
    EXPECT_EQ(acdbTblObjName("LAYER", "Missing", a), RTERROR);
    EXPECT_EQ(acdbTblSearch("LAYER", "Missing", 0), nullptr);

    // A search with setnext makes the next listing go on after the record found.
    acutRelRb(acdbTblSearch("LAYER", "road", 1));
    const auto next = groups_of(acdbTblNext("LAYER", 0));
    EXPECT_EQ(find(next, 2)->text, "ARAS-P");
    EXPECT_EQ(acdbTblNext("LAYER", 0), nullptr);
}

TEST_F(Tables, BlockListingLeavesOutModelAndPaperSpace)
{
    for (const char* name : {"*Model_Space", "*Paper_Space", "Grid_Arrow"}) {
        host::Entity record;
        record.type = "BLOCK";
        record.groups = {host::Group::of_text(2, name), host::Group::of_int(70, 0)};
        drawing().add_record("BLOCK", record);
    }
    EXPECT_EQ(names("BLOCK"), std::vector<std::string>{"Grid_Arrow"});
}

TEST_F(Tables, LayerRecordsMadeAndChangedThroughTheEntityApi)
{
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, "Orvik_survey_temp", 70, 0, 0)), RTNORM);
    EXPECT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, "ORVIK_SURVEY_TEMP", 0)), RTERROR);  // exists
    ads_name e;
    ASSERT_EQ(acdbTblObjName("LAYER", "Orvik_survey_temp", e), RTNORM);
    auto record = entget(e[0]);
    EXPECT_EQ(record[0].code, -1);
    EXPECT_EQ(find(record, 62)->integer, 7);

    // Settings are kept as the layer's extended data; other bits of 70 stay.
    ASSERT_EQ(acdbRegApp("LOT_NUMBER"), RTNORM);
    ASSERT_EQ(modify(acutBuildList(-1, e, 70, 64 | 4, 62, -3, -3, 1001, "LOT_NUMBER", 1000, "12", 0)),
              RTNORM);
    resbuf* apps = acutBuildList(RTSTR, "LOT_NUMBER", 0);
    record = groups_of(acdbEntGetX(e, apps));
    acutRelRb(apps);
    EXPECT_EQ(find(record, 70)->integer, 68);
    EXPECT_EQ(find(record, 62)->integer, -3);  // off
    EXPECT_EQ(find(record, 1000)->text, "12");
    // A locked layer's own record can still be changed (its settings, its flags).
    EXPECT_EQ(modify(acutBuildList(-1, e, 70, 0, 0)), RTNORM);
    // Table records are not erased.
    EXPECT_EQ(acdbEntDel(e), RTERROR);
}

TEST_F(Tables, RenamedRecordsAreFoundByTheirNewNamesOnly)
{
    for (const char* name : {"KERB", "FENCE", "DRAIN"})
        ASSERT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, name, 0)), RTNORM);
    ads_name kerb, fence;
    ASSERT_EQ(acdbTblObjName("LAYER", "kerb", kerb), RTNORM);
    ASSERT_EQ(acdbTblObjName("LAYER", "FENCE", fence), RTNORM);

    // Through the entity API.
    ASSERT_EQ(modify(acutBuildList(-1, kerb, 2, "Kerb_Line", 0)), RTNORM);
    ads_name found;
    EXPECT_EQ(acdbTblObjName("LAYER", "KERB", found), RTERROR);
    ASSERT_EQ(acdbTblObjName("LAYER", "KERB_LINE", found), RTNORM);
    EXPECT_EQ(found[0], kerb[0]);
    // A name given up can be taken by another record.
    ASSERT_EQ(modify(acutBuildList(-1, fence, 2, "kerb", 0)), RTNORM);
    ASSERT_EQ(acdbTblObjName("LAYER", "KERB", found), RTNORM);
    EXPECT_EQ(found[0], fence[0]);
    EXPECT_EQ(modify(acutBuildList(-1, kerb, 2, "DRAIN", 0)), RTERROR);  // taken

    // By the host's own code through a writable record.
    drawing().get(kerb[0])->find(2)->text = "WALL";
    EXPECT_EQ(drawing().find_record("LAYER", "kerb_line"), 0);
    EXPECT_EQ(drawing().find_record("LAYER", "wall"), kerb[0]);
    EXPECT_EQ(names("LAYER"), (std::vector<std::string>{"0", "WALL", "kerb", "DRAIN"}));
}

TEST_F(Tables, RegAppRefusesNamesAlreadyRegistered)
{
    EXPECT_EQ(acdbRegApp("ACAD"), RTERROR);
    EXPECT_EQ(acdbRegApp("KOLVA"), RTNORM);
    EXPECT_EQ(acdbRegApp("kolva"), RTERROR);
    EXPECT_EQ(acdbRegApp(""), RTERROR);
    EXPECT_EQ(acdbRegApp("A,B"), RTERROR);
    EXPECT_EQ(names("APPID"), (std::vector<std::string>{"ACAD", "KOLVA"}));
}

TEST_F(Tables, LayerClassesWorkOnTheSameTable)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    ASSERT_NE(db, nullptr);
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(db->getLayerTable(table, AcDb::kForWrite), Acad::eOk);
    EXPECT_TRUE(table->has("0"));
    EXPECT_FALSE(table->has("Contour_Major"));

    auto* record = new AcDbLayerTableRecord;
    ASSERT_EQ(record->setName("Contour_Major"), Acad::eOk);
    AcCmColor colour;
    ASSERT_EQ(colour.setColorIndex(3), Acad::eOk);
    record->setColor(colour);
    record->setIsOff(true);
    ASSERT_EQ(table->add(record), Acad::eOk);
    record->close();  // released by the database

    AcDbLayerTableRecord unnamed;
    EXPECT_EQ(unnamed.setName("A<B"), Acad::eInvalidInput);
    EXPECT_EQ(unnamed.setName("Road 1"), Acad::eOk);  // blanks are allowed

    auto* again = new AcDbLayerTableRecord;
    again->setName("contour_major");
    EXPECT_EQ(table->add(again), Acad::eDuplicateRecordName);
    delete again;  // a record that was not added stays the caller's
    table->close();

    const auto layer = groups_of(acdbTblSearch("LAYER", "CONTOUR_MAJOR", 0));
    EXPECT_EQ(find(layer, 62)->integer, -3);
    EXPECT_EQ(find(layer, 70)->integer, 0);

    // A table opened for read adds nothing.
    ASSERT_EQ(db->getLayerTable(table, AcDb::kForRead), Acad::eOk);
    auto* refused = new AcDbLayerTableRecord;
    refused->setName("ReadOnly");
    EXPECT_NE(table->add(refused), Acad::eOk);
    delete refused;
    table->close();
    EXPECT_EQ(acdbTblSearch("LAYER", "ReadOnly", 0), nullptr);
}

class SysVars : public DbTest {
protected:
    resbuf get(const char* name, int expected_status = RTNORM)
    {
        resbuf rb{};
        EXPECT_EQ(acedGetVar(name, &rb), expected_status) << name;
        return rb;
    }
    std::string get_string(const char* name)
    {
        resbuf rb = get(name);
        EXPECT_EQ(rb.restype, RTSTR) << name;
        std::string value = rb.resval.rstring ? rb.resval.rstring : "";
        std::free(rb.resval.rstring);
        return value;
    }
    int set_string(const char* name, const char* value)
    {
        resbuf rb{};
        rb.restype = RTSTR;
        rb.resval.rstring = const_cast<char*>(value);
        return acedSetVar(name, &rb);
    }
    int set_short(const char* name, short value)
    {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        return acedSetVar(name, &rb);
    }
};

TEST_F(SysVars, TypesAndDefaults)
{
    struct Case {
        const char* name;
        int type;
    };
    const Case cases[] = {
        {"CMDECHO", RTSHORT},   {"LUPREC", RTSHORT},     {"AREA", RTREAL},        {"PERIMETER", RTREAL},
        {"OFFSETDIST", RTREAL}, {"ANGBASE", RTREAL},     {"ANGDIR", RTSHORT},     {"AUNITS", RTSHORT},
        {"LUNITS", RTSHORT},    {"DIMZIN", RTSHORT},     {"OSMODE", RTSHORT},     {"TEXTSIZE", RTREAL},
        {"PLINETYPE", RTSHORT}, {"SPLINETYPE", RTSHORT}, {"SPLINESEGS", RTSHORT}, {"FILEDIA", RTSHORT},
        {"CMDDIA", RTSHORT},    {"ATTREQ", RTSHORT},     {"HPBOUND", RTSHORT},    {"VIEWCTR", RT3DPOINT},
        {"VIEWSIZE", RTREAL},   {"SCREENSIZE", RTPOINT}, {"PICKBOX", RTSHORT}};
    for (const Case& c : cases) EXPECT_EQ(get(c.name).restype, c.type) << c.name;
    EXPECT_EQ(get("luprec").resval.rint, 4);
    EXPECT_EQ(get("LUNITS").resval.rint, 2);
    EXPECT_EQ(get("SPLINETYPE").resval.rint, 6);
    EXPECT_EQ(get("SPLINESEGS").resval.rint, 8);
    EXPECT_DOUBLE_EQ(get("TEXTSIZE").resval.rreal, 2.5);
    EXPECT_EQ(get_string("CLAYER"), "0");
    EXPECT_EQ(get_string("TEXTSTYLE"), "Standard");
    EXPECT_EQ(get_string("DWGNAME"), "Drawing1.dwg");
    get("NOSUCHVAR", RTERROR);
    EXPECT_EQ(set_short("NOSUCHVAR", 1), RTERROR);
}

TEST_F(SysVars, RulesOfSetting)
{
    EXPECT_EQ(set_short("LUPREC", 3), RTNORM);
    EXPECT_EQ(get("LUPREC").resval.rint, 3);
    EXPECT_EQ(set_short("LUPREC", 12), RTERROR);           // beyond the range
    EXPECT_EQ(set_string("LUPREC", "3"), RTERROR);         // wrong type
    EXPECT_EQ(set_string("DWGPREFIX", "/tmp/"), RTERROR);  // read-only
    EXPECT_EQ(set_short("AREA", 1), RTERROR);

    line("Contours", 0, 0, 1, 1);
    EXPECT_EQ(set_string("CLAYER", "contours"), RTNORM);
    EXPECT_EQ(get_string("CLAYER"), "Contours");  // the record's own spelling
    EXPECT_EQ(set_string("CLAYER", "Missing"), RTERROR);
    ads_point p = {0, 0, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, "Frozen", 70, 1, 0)), RTNORM);
    EXPECT_EQ(set_string("CLAYER", "Frozen"), RTERROR);
    EXPECT_EQ(get_string("CLAYER"), "Contours");
    // New entities go to the current layer.
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, p, 0)), RTNORM);
    EXPECT_EQ(find(entget(last()), 8)->text, "Contours");
    EXPECT_EQ(set_string("TEXTSTYLE", "NoStyle"), RTERROR);

    // Each document keeps its own values.
    session().new_document();
    EXPECT_EQ(get("LUPREC").resval.rint, 4);
    EXPECT_EQ(get_string("CLAYER"), "0");
}

}  // namespace
