#include "bgd_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ads.h"
#include "entity_makers.h"

std::vector<drawn_text> texts_of_drawing()
{
    std::vector<drawn_text> out;
    ads_name entity, next;
    if (acdbEntNext(nullptr, entity) != RTNORM) return out;
    for (;;) {
        resbuf* list = acdbEntGet(entity);
        drawn_text t;
        bool is_text = false, has_11 = false;
        for (resbuf* node = list; node; node = node->rbnext) {
            switch (node->restype) {
                case 0:
                    is_text = std::string(node->resval.rstring) == "TEXT";
                    break;
                case 8:
                    t.layer = node->resval.rstring;
                    break;
                case 1:
                    t.text = node->resval.rstring;
                    break;
                case 10:
                    if (!has_11) t.at = {node->resval.rpoint[0], node->resval.rpoint[1], 0};
                    break;
                case 11:
                    t.at = {node->resval.rpoint[0], node->resval.rpoint[1], 0};
                    has_11 = true;
                    break;
                case 40:
                    t.height = node->resval.rreal;
                    break;
                case 50:
                    t.angle_deg = node->resval.rreal * 180.0 / M_PI;
                    break;
                case 72:
                    t.justification = node->resval.rint;
                    break;
                default:
                    break;
            }
        }
        if (list) acutRelRb(list);
        if (is_text) out.push_back(t);
        if (acdbEntNext(entity, next) != RTNORM) break;
        entity[0] = next[0];
        entity[1] = next[1];
    }
    return out;
}

std::vector<drawn_text> texts_on(const std::string& layer)
{
    std::vector<drawn_text> out;
    for (const drawn_text& t : texts_of_drawing())
        if (t.layer == layer) out.push_back(t);
    return out;
}

drawn_text text_with(const std::vector<drawn_text>& texts, const std::string& content)
{
    std::vector<drawn_text> found;
    for (const drawn_text& t : texts)
        if (t.text == content) found.push_back(t);
    EXPECT_EQ(found.size(), 1u) << "texts \"" << content << "\"";
    return found.empty() ? drawn_text{} : found.front();
}

void make_line(const point3d_rec& a, const point3d_rec& b)
{
    ASSERT_EQ(line_make(a, b, "0"), RTNORM);
}

void make_lwpolyline(const std::vector<point3d_rec>& vertices, bool closed)
{
    lwpoly_chain().layer = "0";
    lwpoly_chain().flags = closed ? 1 : 0;
    for (const point3d_rec& p : vertices) lwpoly_make(p, 1);
    ASSERT_EQ(lwpoly_make(point3d_rec{}, 2), 1);
}

void make_polyline(const std::vector<point3d_rec>& vertices, const std::vector<int>& flags, int header_flags)
{
    {
        ent_list_builder header;
        header.type("POLYLINE").text(8, "0").int16(66, 1).point(10, point3d_rec{}).int16(70, header_flags);
        ASSERT_EQ(acdbEntMake(header.list()), RTNORM);
    }
    for (size_t i = 0; i < vertices.size(); ++i) {
        ent_list_builder vertex;
        vertex.type("VERTEX").text(8, "0").point(10, vertices[i]).int16(70, flags[i]);
        ASSERT_EQ(acdbEntMake(vertex.list()), RTNORM);
    }
    ent_list_builder end;
    end.type("SEQEND").text(8, "0");
    ASSERT_EQ(acdbEntMake(end.list()), RTNORM);
}
