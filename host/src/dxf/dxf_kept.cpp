#include "dxf/dxf_kept.h"

#include <algorithm>

namespace host {

void HandleRuns::add(long id, std::uint64_t handle)
{
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

std::string kept_value(const KeptObject& object, int code)
{
    // The code lines are written as plain numbers when an object is kept.
    const std::string& g = object.groups;
    const std::string wanted = std::to_string(code);
    for (size_t at = 0; at < g.size();) {
        size_t code_end = g.find('\n', at);
        if (code_end == std::string::npos) break;
        size_t value_end = g.find('\n', code_end + 1);
        if (value_end == std::string::npos) value_end = g.size();
        if (g.compare(at, code_end - at, wanted) == 0)
            return g.substr(code_end + 1, value_end - code_end - 1);
        at = value_end + 1;
    }
    return "";
}

}  // namespace host
