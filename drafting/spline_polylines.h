// Smoothing polylines: every LWPOLYLINE and old-style POLYLINE of a selection
// is splined with the host's PEDIT, except those on locked layers.
#pragma once

// The command; returns when done.
void spline_polylines_cmd();
