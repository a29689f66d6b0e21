// Reading the installed symbol list, and its dump as text.
#include "symbol_list.h"

#include "ads.h"
#include "folders_registry.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

constexpr const char* kDumpFolder = "C:\\Program Files\\OrvikSurvey\\Data";
constexpr const char* kDumpFile = "C:\\Program Files\\OrvikSurvey\\Data\\Symboldata.txt";

std::uint32_t word_at(const std::string& bytes, size_t offset)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return value;
}

// The fields of a record in the order the dump writes them: a text of the
// given size, or an integer (size 0).
struct dump_field {
    size_t offset;
    size_t size;
};
constexpr dump_field kDumpFields[] = {{0, 255},  {255, 255}, {510, 50},  {560, 10},  {570, 255},
                                      {825, 51}, {876, 0},   {880, 0},   {884, 255}, {1139, 257},
                                      {1396, 0}, {1400, 10}, {1410, 258}};

}  // namespace

int symbol_list_read(const std::string& path, std::vector<std::string>& records, std::string& problem)
{
    records.clear();
    const std::optional<std::string> bytes = read_file_text(path);
    if (!bytes) {
        problem = "cannot be opened";
        return 0;
    }
    if (bytes->size() < symbol_list_header_size) {
        problem = "holds " + std::to_string(bytes->size()) + " bytes, fewer than its header of 8";
        return -1;
    }
    // The count is checked against the file's size before any record is read.
    const std::uint64_t count = word_at(*bytes, 4);
    const std::uint64_t expected = symbol_list_header_size + count * symbol_record_size;
    if (expected != bytes->size()) {
        problem = "counts " + std::to_string(count) + " symbols, which take " + std::to_string(expected) +
                  " bytes, but holds " + std::to_string(bytes->size());
        return -1;
    }
    records.reserve(static_cast<size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i)
        records.push_back(bytes->substr(symbol_list_header_size + static_cast<size_t>(i) * symbol_record_size,
                                        symbol_record_size));
    return 1;
}

std::string symbol_record_text(const std::string& record, size_t offset, size_t size)
{
    if (offset >= record.size()) return {};
    const std::string field = record.substr(offset, size);
    return str_trim(field.substr(0, field.find('\0')));
}

std::int32_t symbol_record_int(const std::string& record, size_t offset)
{
    if (offset + 4 > record.size()) return 0;
    return static_cast<std::int32_t>(word_at(record, offset));
}

std::string symboldata_path()
{
    return app_install_folder() + "\\data\\Symboldata.bin";
}

int symbol_data_dump(const std::string& path)
{
    std::vector<std::string> records;
    std::string problem;
    if (symbol_list_read(path, records, problem) != 1) {
        acutPrintf("\nThe symbol list %s %s; nothing is written.", path.c_str(), problem.c_str());
        return 0;
    }
    acutPrintf("\n[%i]", static_cast<int>(records.size()));
    std::string text;
    for (const std::string& record : records) {
        text += "DATADATADATADATA\n";
        for (const dump_field& field : kDumpFields) {
            text += field.size ? symbol_record_text(record, field.offset, field.size)
                               : std::to_string(symbol_record_int(record, field.offset));
            text += "\n";
        }
        acutPrintf("\n%s %s", symbol_record_text(record, 560, 10).c_str(),
                   symbol_record_text(record, 0, 255).c_str());
    }
    dir_create_path(kDumpFolder);
    if (!text_file_replace(kDumpFile, text)) {
        acutPrintf("\nCannot write %s.", kDumpFile);
        return 0;
    }
    return 1;
}
