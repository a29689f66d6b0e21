// The screen as far as the plug-ins touch it: temporary vectors drawn with
// acedGrDraw, which a full redraw clears, and entity highlighting.
#include <algorithm>

#include "ads.h"
#include "db/resbuf_convert.h"
#include "session/session.h"

extern "C" {

int acedGrDraw(const ads_point from, const ads_point to, int colour, int highlight)
{
    host::Session* session = host::Session::current_or_null();
    if (!session || !session->has_document() || !from || !to) return RTERROR;
    host::GrVector vector;
    vector.from = {from[0], from[1], from[2]};
    vector.to = {to[0], to[1], to[2]};
    vector.colour = colour;
    vector.highlight = highlight;
    session->current().temp_vectors.push_back(vector);
    return RTNORM;
}

int acedRedraw(const ads_name entity, int mode)
{
    host::Session* session = host::Session::current_or_null();
    if (!session || !session->has_document()) return RTERROR;
    host::Document& document = session->current();
    long id = entity ? host::id_of(entity) : 0;
    if (id == 0) {
        // The whole drawing redrawn: the temporary vectors are gone.
        document.temp_vectors.clear();
        return RTNORM;
    }
    if (!document.drawing.store.contains(id) || document.drawing.store.erased(id)) return RTERROR;
    auto& lit = document.highlighted;
    auto place = std::find(lit.begin(), lit.end(), id);
    if (mode == 3 && place == lit.end()) lit.push_back(id);
    if (mode == 4 && place != lit.end()) lit.erase(place);
    return RTNORM;
}

}  // extern "C"
