// Small lot tools: b_moffset (several parallel copies of one object at equal
// steps through the host's OFFSET command) and the corner-cut check
// corner_cut_lines (how far two LINEs stop short of their common corner,
// compared with the standard truncation sizes, and optionally closed up to it).
#pragma once

// The command; its step and count are kept while the plug-in is loaded and set
// back to 0.0 and 1 when another drawing becomes current. Returns 1 when the
// offsets were run, 0 when the command ended early.
int b_moffset();

// The corner-cut check: the make-line, decimals and warning choices are asked on
// the first call and kept from then on. 1 when the corner was checked, 0 on a
// cancel, a wrong entity or two lines without a corner.
int corner_cut_lines();
// The standard corner-cut sizes in metres, in the order they are compared.
inline constexpr double corner_cut_sizes[3] = {2.286, 6.096, 4.572};
