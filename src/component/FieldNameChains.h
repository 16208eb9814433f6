#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace nvtarnix {

class View;

// Converting a script runs one step per field of the view, in collection
// order: every "[group.caption]" (or "[caption]") becomes "[ID]" on the way to
// the database and back again on the way out, and a later step may rewrite
// what an earlier one wrote.
//
// When no ID, caption or group caption holds a bracket, each bracketed token
// of the script simply follows its own chain of steps. Then one pass over the
// fields suffices: the script's distinct tokens are carried along, kept by the
// hash of their current value, and a field only costs a hash comparison unless
// it really names one of them. Nothing is built for the fields that do not.
//
// The hashes of every field's two names are worked out once per revision of
// the view, without building the names, and serve both directions.
struct FieldNameHashes
{
    std::vector<std::uint64_t> display; // "[group.caption]" or "[caption]"
    std::vector<std::uint64_t> stored;  // "[ID]"
};

// The hashes of the view's field names, or nothing when a name holds a
// bracket (then tokens may overlap across steps and the step-by-step
// replacer must be used).
std::optional<FieldNameHashes> hashFieldNames(const View &view);

// The script after every field's step; `hashes` must come from the view as it
// is now.
QString replaceAlongFields(const QString &text, const View &view, const FieldNameHashes &hashes,
                           bool toDatabase);

} // namespace nvtarnix
