// Lot sub-division by required area (b_sub_div) and triangle division
// (b_triangle_div). Both take the required areas through ask_required_area and
// share its record: the last area as typed, its square metres, the unit, and
// the last answer to "Continue Yes/No", kept while the plug-in is loaded and
// set back whenever another drawing becomes current.
#pragma once

#include <string>

struct subdiv_rec {
    const char* unit_keywords[4] = {"M", "A", "H", "F"};
    const char* unit_names[4] = {"meter^2", "acre", "hectare", "feet^2"};
    double area_typed = 0.0;
    double area_m2 = 0.0;
    int unit = 0;
    std::string continue_answer = "Yes";
    std::string dwg_path;
    int set = 0;
};
subdiv_rec& subdiv();
// Sets the record up on the first call and again when the drawing's full path
// has changed.
void subdiv_setup();

// Asks the next required area: 1 with the value in the record, 0 when the user
// chose eXit. An area of 0 or less is refused and asked again.
int ask_required_area();

int b_sub_div();
int b_triangle_div();
