// Smoothing polylines: every LWPOLYLINE and old-style POLYLINE of a selection
// is splined with the host's PEDIT, except those on locked layers.
#pragma once

// The command: 1 when done, 0 when nothing was selected (the user left at
// once, which brings a tool menu in auto run back).
int spline_polylines_cmd();
