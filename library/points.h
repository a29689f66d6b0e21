// The points every geometry, entity-maker and selection routine takes.
#pragma once

#include <vector>

struct point3d_rec {
    double x = 0, y = 0, z = 0;
};

// A number with a point: vertex lists (the number is the vertex flags), point
// lists and paths.
struct numbered_point {
    int number = 0;
    point3d_rec point;
};

using numbered_point_list = std::vector<numbered_point>;

inline numbered_point numbered_point_set(int number = 0, point3d_rec point = {})
{
    return numbered_point{number, point};
}
inline void numbered_point_push(numbered_point_list& list, int number, point3d_rec point)
{
    list.push_back(numbered_point_set(number, point));
}
inline void numbered_point_push_b(numbered_point_list& list, int number, point3d_rec point)
{
    numbered_point_push(list, number, point);
}
