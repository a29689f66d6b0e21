// Helpers of the bearing-distance label tests: the drawing's TEXTs as read
// back through the host, and legs made as LINE, LWPOLYLINE and POLYLINE.
#pragma once

#include <string>
#include <vector>

#include "points.h"

struct drawn_text {
    std::string layer;
    std::string text;
    point3d_rec at;         // group 11 when present, else 10
    double height = 0;      // 40
    double angle_deg = 0;   // 50 in degrees
    int justification = 0;  // 72
};

// Every TEXT of the drawing, in drawing order.
std::vector<drawn_text> texts_of_drawing();
// The TEXTs on a layer.
std::vector<drawn_text> texts_on(const std::string& layer);
// The only TEXT with this content; fails the test when there is not exactly one.
drawn_text text_with(const std::vector<drawn_text>& texts, const std::string& content);

void make_line(const point3d_rec& a, const point3d_rec& b);
void make_lwpolyline(const std::vector<point3d_rec>& vertices, bool closed);
// An old-style POLYLINE of the header flags (70): one VERTEX for each point,
// with its flag (70).
void make_polyline(const std::vector<point3d_rec>& vertices, const std::vector<int>& flags,
                   int header_flags = 0);
