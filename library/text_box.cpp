// The corners of a TEXT's box (kept apart from the other readers, so that only
// its callers need the host's text measuring).
#include <cmath>

#include "angles.h"
#include "entity_readers.h"
#include "plan_view.h"
#include "resbuf_util.h"

text_box_rec text_box_read;

int text_box_corners(const ads_name entity)
{
    resbuf* list = ent_get_in_plan(entity);
    point3d_rec insertion;
    ads_point lower_left = {0, 0, 0}, upper_right = {0, 0, 0};
    const bool measured = list != nullptr && rb_get_point(list, 10, insertion, 1) &&
                          acedTextBox(list, lower_left, upper_right) == RTNORM;
    const double rotation = measured ? rb_get_real(list, 50) : 0.0;
    acutRelRb(list);
    if (!measured) return 0;
    // The box's offsets are along and across the baseline: turn them by the
    // rotation and add them to the insertion point.
    const double c = std::cos(rotation), s = std::sin(rotation);
    auto turned = [&](double dx, double dy) {
        return point3d_rec{insertion.x + dx * c - dy * s, insertion.y + dx * s + dy * c, insertion.z};
    };
    text_box_read.corners[0] = insertion;
    text_box_read.corners[1] = turned(lower_left[X], upper_right[Y]);
    text_box_read.corners[2] = turned(upper_right[X], upper_right[Y]);
    text_box_read.corners[3] = turned(upper_right[X], lower_left[Y]);
    text_box_read.rotation = angle_rad_to_deg(rotation);
    return 1;
}
