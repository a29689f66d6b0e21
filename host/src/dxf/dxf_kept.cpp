#include "dxf/dxf_kept.h"

#include <algorithm>
#include <charconv>

#include "db/entities.h"

namespace host {

void HandleRuns::add(long id, std::uint64_t handle)
{
    by_handle_.clear();
    if (!runs_.empty()) {
        Run& last = runs_.back();
        if (id == last.first_id + last.count && handle == last.first_handle + std::uint64_t(last.count)) {
            ++last.count;
            return;
        }
        if (id < last.first_id + last.count) sorted_ = false;
    }
    runs_.push_back({id, handle, 1});
}

std::uint64_t HandleRuns::find(long id) const
{
    if (!sorted_) {
        std::sort(runs_.begin(), runs_.end(),
                  [](const Run& a, const Run& b) { return a.first_id < b.first_id; });
        sorted_ = true;
    }
    auto after = std::upper_bound(runs_.begin(), runs_.end(), id,
                                  [](long value, const Run& run) { return value < run.first_id; });
    if (after == runs_.begin()) return 0;
    const Run& run = *(after - 1);
    return id < run.first_id + run.count ? run.first_handle + std::uint64_t(id - run.first_id) : 0;
}

long HandleRuns::id_of(std::uint64_t handle) const
{
    if (by_handle_.empty()) {
        by_handle_ = runs_;
        std::sort(by_handle_.begin(), by_handle_.end(),
                  [](const Run& a, const Run& b) { return a.first_handle < b.first_handle; });
    }
    auto after =
        std::upper_bound(by_handle_.begin(), by_handle_.end(), handle,
                         [](std::uint64_t value, const Run& run) { return value < run.first_handle; });
    if (after == by_handle_.begin()) return 0;
    const Run& run = *(after - 1);
    return handle < run.first_handle + std::uint64_t(run.count)
               ? run.first_id + long(handle - run.first_handle)
               : 0;
}

std::string kept_value(const KeptObject& object, int code)
{
    // The code lines are written as plain numbers when an object is kept.
    const std::string wanted = std::to_string(code);
    std::string found;
    for_each_kept_group(object.groups, [&](const KeptLine& line) {
        if (line.code != wanted) return true;
        found = line.value;
        return false;
    });
    return found;
}

std::string kept_xdata(const KeptObject& object)
{
    std::string found;
    for_each_kept_group(object.groups, [&](const KeptLine& line) {
        if (line.code != "1001") return true;
        found = object.groups.substr(line.begin);
        return false;
    });
    return found;
}

std::uint64_t parse_handle(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    std::uint64_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && ptr == text.data() + text.size() ? value : 0;
}

std::vector<const KeptLayoutBlock*> layout_blocks_without_record(const DxfKept& kept)
{
    std::vector<const KeptLayoutBlock*> list;
    std::set<std::uint64_t> records;
    // A block whose owner names no record but whose name a record holds has
    // that record: a second record of one name would make the file one that
    // other programs refuse.
    std::set<std::string> names;
    auto name_of = [](const KeptObject& object) { return upper_text(kept_value(object, 2)); };
    if (auto found = kept.records.find("BLOCK_RECORD"); found != kept.records.end())
        for (const KeptObject& record : found->second)
            if (!record.legacy) records.insert(record.handle), names.insert(name_of(record));
    for (const KeptLayoutBlock& layout : kept.layout_blocks) {
        const std::uint64_t owner = parse_handle(kept_value(layout.begin, 330));
        if (owner && !names.count(name_of(layout.begin)) && records.insert(owner).second)
            list.push_back(&layout);
    }
    return list;
}

}  // namespace host
