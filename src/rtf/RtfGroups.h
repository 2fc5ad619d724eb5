#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rtf/RtfFormats.h"

// The groups of an RTF file and where their text goes.
namespace rtf {

// Where the text and the words of a group go.
enum class Destination : std::uint8_t {
    Text,
    FontTable,
    ColorTable,
    FieldInstruction,
    Picture,
    Skip
};

// What a group sets and its inner groups inherit; a group's end gives the
// outer group its own back.
struct GroupState {
    CharProps chars;
    ParaProps para;
    Destination dest = Destination::Text;
    int unicodeSkip = 1;  // \ucN
};

// The open groups: the state in force and the states that group ends give
// back. Groups nested past MaxGroupDepth are skipped whole. Also holds a
// pending `\*`, which makes the destination that follows skipped unless the
// reader knows it; a group's start or end drops it.
class GroupStack {
public:
    GroupState& current() { return state_; }
    const GroupState& current() const { return state_; }
    // The number of groups open around the current one.
    std::size_t depth() const { return outer_.size(); }
    // Inside a skipped destination or a group past the depth limit.
    bool skipping() const { return overflow_ > 0 || state_.dest == Destination::Skip; }

    void open();
    // Ends the current group: the state it had, or nothing for an unmatched
    // '}' or the end of a group past the depth limit (nothing changes then).
    std::optional<GroupState> close();

    // The paragraph format in force when the outermost group ended, while no
    // group is open after it; nothing otherwise.
    std::optional<ParaProps> documentEnd() const;

    void star() { star_ = true; }
    // Whether a `\*` was pending; it no longer is.
    bool takeStar() {
        const bool was = star_;
        star_ = false;
        return was;
    }

private:
    GroupState state_;
    std::vector<GroupState> outer_;
    int overflow_ = 0;  // groups opened past MaxGroupDepth
    std::optional<ParaProps> documentEnd_;
    bool star_ = false;
};

}  // namespace rtf
