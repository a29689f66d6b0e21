// What a test reads back from a host drawing after a command ran: the live
// entities of a type in drawing order, the settings a command stored on the
// settings layer, and a block definition's entities.
#pragma once

#include <string>
#include <vector>

#include "db/drawing.h"

namespace queries {

// Model-space entities of the type (upper case, as group 0) that are not erased.
inline std::vector<const host::Entity*> live(const host::Drawing& drawing, const std::string& type)
{
    std::vector<const host::Entity*> out;
    for (long id : drawing.model) {
        const host::Entity* e = drawing.get(id);
        if (e && !e->erased && e->type == type) out.push_back(e);
    }
    return out;
}

// The first 1000 text of the application on the settings layer; empty when none.
inline std::string stored_setting(const host::Drawing& drawing, const std::string& app)
{
    const host::Entity* layer = drawing.get(drawing.find_record("LAYER", "Orvik_survey_temp"));
    const host::XDataApp* data = layer ? layer->xdata_of(app) : nullptr;
    if (!data) return {};
    for (const host::Group& g : data->items)
        if (g.code == 1000) return g.text;
    return {};
}

// The first 1000 text of the application on an entity; empty when none.
inline std::string xdata_text(const host::Entity& entity, const std::string& app)
{
    const host::XDataApp* data = entity.xdata_of(app);
    if (!data) return {};
    for (const host::Group& g : data->items)
        if (g.code == 1000) return g.text;
    return {};
}

// The entities of a block definition in order; empty when the block is missing.
inline std::vector<const host::Entity*> block_entities(const host::Drawing& drawing, const std::string& block)
{
    std::vector<const host::Entity*> out;
    auto found = drawing.block_entities.find(drawing.find_record("BLOCK", block));
    if (found == drawing.block_entities.end()) return out;
    for (long id : found->second)
        if (const host::Entity* e = drawing.get(id)) out.push_back(e);
    return out;
}

// How often part occurs in text.
inline size_t count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace queries
