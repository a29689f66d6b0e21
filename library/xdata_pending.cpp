#include "xdata_pending.h"

#include "entity_makers.h"

xdata_pending_rec& xdata_pending()
{
    static xdata_pending_rec pending;
    return pending;
}

void xdata_pending_set_real(double value)
{
    xdata_pending().has_real = true;
    xdata_pending().real = value;
}

void xdata_pending_set_int16(int value)
{
    xdata_pending().has_int16 = true;
    xdata_pending().int16 = value;
}

void xdata_pending_set_point(const point3d_rec& value)
{
    xdata_pending().has_point = true;
    xdata_pending().point = value;
}

void xdata_pending_set_text(const std::string& value)
{
    xdata_pending().has_text = true;
    xdata_pending().text = value;
}

void xdata_pending_set_int32(std::int32_t value)
{
    xdata_pending().has_int32 = true;
    xdata_pending().int32 = value;
}

void xdata_pending_set_dist(double value)
{
    xdata_pending().has_dist = true;
    xdata_pending().dist = value;
}

void xdata_pending_set_layer(const std::string& value)
{
    xdata_pending().has_layer = true;
    xdata_pending().layer = value;
}

void xdata_pending_clear()
{
    xdata_pending() = xdata_pending_rec{};
}

void xdata_pending_append(ent_list_builder& list)
{
    const xdata_pending_rec& p = xdata_pending();
    if (p.has_real) list.real(1040, p.real);
    if (p.has_int16) list.int16(1070, p.int16);
    if (p.has_point) list.point(1010, p.point);
    if (p.has_text) list.text(1000, p.text);
    if (p.has_int32) list.int32(1071, p.int32);
    if (p.has_dist) list.real(1041, p.dist);
    if (p.has_layer) list.text(1003, p.layer);
    xdata_pending_clear();
}
