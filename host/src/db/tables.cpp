// The symbol tables: acdbTblNext, acdbTblSearch, acdbTblObjName, acdbRegApp,
// and the layer classes of acdbclasses.h over the same LAYER table.
#include <cstring>

#include "acdbclasses.h"
#include "db/entities.h"
#include "db/resbuf_convert.h"
#include "session/session.h"

namespace host {

namespace {

// The table a name given to the API means ("layer", "Block"...); empty when none.
std::string table_of(const char* name)
{
    if (!name) return "";
    std::string key = upper_text(name);
    for (const char* table : kTables)
        if (key == table) return key;
    return "";
}

// Records a listing leaves out: model and paper space are not blocks a user sees.
bool hidden_record(const Entity& record)
{
    if (record.type != "BLOCK") return false;
    const std::string name = upper_text(record.text(2));
    return name.rfind("*MODEL_SPACE", 0) == 0 || name.rfind("*PAPER_SPACE", 0) == 0;
}

resbuf* record_list(const Drawing& drawing, const Entity& record)
{
    return entity_list_rb(0, record.type, shown_groups(drawing, record));
}

}  // namespace

}  // namespace host

using namespace host;

extern "C" {

resbuf* acdbTblNext(const char* table_name, int rewind)
{
    const std::string table = table_of(table_name);
    Drawing* open = current_drawing_or_null();
    if (table.empty() || !open) return nullptr;
    Drawing& drawing = *open;
    size_t& cursor = drawing.table_cursor[table];
    if (rewind) cursor = 0;
    const std::vector<long>& records = drawing.tables[table];
    while (cursor < records.size()) {
        const Entity* record = drawing.get(records[cursor++]);
        if (record && !record->erased && !hidden_record(*record)) return record_list(drawing, *record);
    }
    return nullptr;
}

resbuf* acdbTblSearch(const char* table_name, const char* name, int setnext)
{
    const std::string table = table_of(table_name);
    Drawing* open = current_drawing_or_null();
    if (table.empty() || !name || !open) return nullptr;
    Drawing& drawing = *open;
    const long id = drawing.find_record(table, name);
    const Entity* record = drawing.get(id);
    if (!record || record->erased) return nullptr;
    if (setnext) {
        if (const std::optional<size_t> place = drawing.index_in_table(table, id))
            drawing.table_cursor[table] = *place + 1;
    }
    return record_list(drawing, *record);
}

int acdbTblObjName(const char* table_name, const char* name, ads_name result)
{
    const std::string table = table_of(table_name);
    const Drawing* drawing = current_drawing_or_null();
    if (table.empty() || !name || !result || !drawing) return RTERROR;
    const long id = drawing->find_record(table, name);
    if (!id) return RTERROR;
    set_name(result, id);
    return RTNORM;
}

int acdbRegApp(const char* app)
{
    Drawing* open = current_drawing_or_null();
    if (!app || !valid_record_name(app) || !open) return RTERROR;
    Drawing& drawing = *open;
    if (drawing.find_record("APPID", app)) return RTERROR;  // already registered ("ACAD" always is)
    Entity record;
    record.type = "APPID";
    record.groups = {Group::of_text(2, app), Group::of_int(70, 0)};
    drawing.add_record("APPID", std::move(record));
    return RTNORM;
}

AcDbHostApplicationServices* acdbHostApplicationServices()
{
    static AcDbHostApplicationServices services;
    return &services;
}

}  // extern "C"

Acad::ErrorStatus AcCmColor::setColorIndex(unsigned short index)
{
    if (index > 256) return Acad::eInvalidInput;
    index_ = index;
    return Acad::eOk;
}

AcDbLayerTableRecord::AcDbLayerTableRecord() = default;
AcDbLayerTableRecord::~AcDbLayerTableRecord() = default;

Acad::ErrorStatus AcDbLayerTableRecord::setName(const char* name)
{
    if (!name || std::strlen(name) >= sizeof name_ || !host::valid_record_name(name))
        return Acad::eInvalidInput;
    std::strcpy(name_, name);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::close()
{
    // The database owns a record once it was added: closing releases it.
    if (added_) delete this;
    return Acad::eOk;
}

bool AcDbLayerTable::has(const char* name) const
{
    if (!name || !drawing_) return false;
    return static_cast<Drawing*>(drawing_)->find_record("LAYER", name) != 0;
}

Acad::ErrorStatus AcDbLayerTable::add(AcDbLayerTableRecord* record)
{
    if (!drawing_) return Acad::eNoDatabase;
    if (!record || !record->name_[0] || record->added_) return Acad::eInvalidInput;
    if (!for_write_) return Acad::eLockViolation;
    Drawing& drawing = *static_cast<Drawing*>(drawing_);
    if (drawing.find_record("LAYER", record->name_)) return Acad::eDuplicateRecordName;
    long flags = 0;
    if (record->frozen_) flags |= 1;
    if (record->locked_) flags |= 4;
    const long colour = record->colour_.colorIndex();
    Entity layer;
    layer.type = "LAYER";
    layer.groups = {Group::of_text(2, record->name_), Group::of_int(70, flags),
                    Group::of_int(62, record->off_ ? -colour : colour), Group::of_text(6, "CONTINUOUS")};
    drawing.add_record("LAYER", std::move(layer));
    record->added_ = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTable::close()
{
    delete this;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode)
{
    table = nullptr;
    if (!drawing_) return Acad::eNoDatabase;
    table = new AcDbLayerTable(drawing_);
    table->for_write_ = mode == AcDb::kForWrite;
    return Acad::eOk;
}

AcDbDatabase* AcDbHostApplicationServices::workingDatabase()
{
    // The working database is always the current document's drawing.
    Session* session = Session::current_or_null();
    if (!session || !session->has_document()) return nullptr;
    database_.drawing_ = &session->current().drawing;
    return &database_;
}
