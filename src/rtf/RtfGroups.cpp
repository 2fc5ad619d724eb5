#include "rtf/RtfGroups.h"

#include "rtf/RtfReader.h"

namespace rtf {

void GroupStack::open() {
    star_ = false;
    if (overflow_ > 0 || outer_.size() >= static_cast<std::size_t>(MaxGroupDepth)) {
        ++overflow_;
        return;
    }
    outer_.push_back(state_);
}

std::optional<GroupState> GroupStack::close() {
    star_ = false;
    if (overflow_ > 0) {
        --overflow_;
        return std::nullopt;
    }
    if (outer_.empty()) return std::nullopt;
    GroupState closed = std::move(state_);
    state_ = std::move(outer_.back());
    outer_.pop_back();
    if (outer_.empty()) documentEnd_ = closed.para;
    return closed;
}

std::optional<ParaProps> GroupStack::documentEnd() const {
    if (!outer_.empty() || overflow_ > 0) return std::nullopt;
    return documentEnd_;
}

}  // namespace rtf
