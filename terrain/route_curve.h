// Route curves: two straights that meet at an intersection point (IP) joined
// by a circular curve of radius R, entered and left through transition
// (spiral) curves of lengths L1 and L2. The elements, the four key points
// T1 (straight to first transition), T2 (transition to circle), T3 (circle to
// second transition) and T4 (second transition to straight), the stations set
// out along the three parts by chords and deflections, and the merged
// setting-out table that the drawing and the radiation table read.
//
// Bearings are whole-circle degrees clockwise from north; the incoming
// bearing points from the IP back along the incoming straight and the
// outgoing bearing from the IP along the outgoing straight.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "points.h"

// The curve's work data: what the dialog edits, what the settings keep, and
// what the computation fills in.
struct tcurve_work_rec {
    // Given
    double R = 0;
    double L1 = 0, L2 = 0;    // L2 follows L1 unless two_transitions is set
    int two_transitions = 0;  // second_ls_tg
    double interval_c = 0;    // t_rc_interval: circular station spacing
    double interval_t = 0;    // t_ls_interval: transition station spacing
    double min_chord = 2.5;   // t_min_chord: shortest chord that ends a part
    double ch_T1 = 0;         // t_tcch
    point3d_rec IP;
    double bearing_in = 0, bearing_out = 0;
    double D = 0;  // deflection at the IP, degrees
    std::string ip_name = "IP1";
    double scale = 1000.0, text_height = 1.3, text_width = 1.0, rotation = 90.0;
    double table_x = 0, table_y = 0;
    int ask_chords = 0;    // start_coord_tg: each part's first chord is asked
    int curve_length = 0;  // lies_tg: 1 the circular length from Dc, 0 from the computed points
    int print_flag = 1;    // print_tg: stored only
    std::string layer = "Transition_curve";

    // Computed
    double phi1 = 0, phi2 = 0;  // spiral angles, degrees
    double Dc = 0;              // central angle of the circular part, degrees
    double lc = 0;              // R x Dc
    double lc2 = 0;             // circular length between the computed T2 and T3
    double theta = 0;           // central angle between the computed T2 and T3, degrees
    double shift1 = 0, shift2 = 0;
    double Ts1 = 0, Ts2 = 0;  // tangent lengths IP-T1 and IP-T4
    double ch_T2 = 0, ch_T3 = 0, ch_T4 = 0;
    point3d_rec T1, T2, T3, T4, centre;
    int turn1 = 1;   // +1 when T4 lies right of T1-IP (a right-hand curve)
    int turn2 = -1;  // the same seen from T4
};

// One station of a part.
struct tcurve_station_rec {
    double chainage = 0;
    double chord = 0;   // from the station before it
    double length = 0;  // along the part from where its deflections are measured
    double deflection_min = 0;
    double deflection_deg = 0;
    point3d_rec point;
};

// One row of the merged table.
struct tcurve_row_rec : tcurve_station_rec {
    std::string name;   // "T1".."T4" or "C<n>"
    int part = 1;       // 1 first transition, 2 circle, 3 second transition
    int duplicate = 0;  // 1 for a key point repeated where the next part opens
};

// The three parts and the merged table.
struct tcurve_table_rec {
    std::vector<tcurve_station_rec> first, circle, second;
    std::vector<tcurve_row_rec> rows;
    std::string summary;  // "T1,<n>,T2,<n>,T3,<n>,T4"
};

// The one work record of the route-curve commands.
tcurve_work_rec& tcwk();

// The deflection D at the IP from the two bearings: |180 - the angle between them|.
double tcurve_deflection_of(double bearing_in, double bearing_out);

// The elements and key points of w from its given values. An empty text, or
// what is wrong with the values (nothing of w is then changed).
std::string tcurve_elements(tcurve_work_rec& w);

// The part of the routine that asks for a part's first chord. Called with
// the part's title line, the part's start chainage, the interval, the chord
// found, whether the chainage runs backwards from the start, and the part's
// length; returns the chord to use.
using tcurve_chord_asker = std::function<double(int part, double start_chainage, double interval,
                                                double chord, bool backwards, double length)>;

// The first chord of a part: from the start chainage to the first round
// chainage that the interval reaches (counted backwards for the second
// transition), never zero.
double tcurve_first_chord(double start_chainage, double interval, bool backwards);

// Where the stations of a part lie, as lengths from its start (the start and
// end themselves not included): the first chord, then whole intervals, so that
// no chord shorter than the minimum ends the part. With short_first_rule a
// first chord below the minimum also takes one whole interval off.
std::vector<double> tcurve_part_positions(double length, double first_chord, double interval,
                                          double min_chord, bool short_first_rule);

// Sets out the three parts of a computed curve and builds the merged table.
// ask (may be empty) is called for each part's first chord.
tcurve_table_rec tcurve_set_out(const tcurve_work_rec& w, const tcurve_chord_asker& ask);

// "T1,<n>,T2,<n>,T3,<n>,T4" back into the station names of the polyline's
// vertices; false when the text is no such summary.
bool tcurve_names_from_summary(const std::string& summary, std::vector<std::string>& names);

// The built-in data sets of the dialog's sample list ("None" first).
const std::vector<std::string>& tcurve_sample_names();
// Loads data set `index` (1 and up) into w; false for an index without one.
// The zoom window's corners go into corner1 and corner2.
bool tcurve_sample_load(int index, tcurve_work_rec& w, point3d_rec& corner1, point3d_rec& corner2);
