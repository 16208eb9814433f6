#pragma once

#include "RuleBlocks.h"

#include <functional>

namespace tarnixcli {

// Evaluates blocks on `jobs` threads, the calling thread, which also reads
// them, and jobs - 1 workers; hands the outcomes back on the calling thread
// in the order the blocks were read. At most a few blocks per thread are in flight,
// and a delivered block is filled again, so memory stays flat however many
// rows there are.
//
// `read` fills the block it is given and returns false at the end; `evaluate`
// runs on any of the threads and may leave part of the block for a next call
// (RowBlock::finished), which the calling thread makes before the block's
// next part is due; `deliver` receives each outcome in turn. Should `read`
// throw, the blocks read before are still evaluated and delivered before the
// exception leaves; whatever throws, no worker outlives the call.
void runInOrder(int jobs, const std::function<bool(RowBlock &)> &read,
                const std::function<BlockOutcome(RowBlock &)> &evaluate,
                const std::function<void(const BlockOutcome &)> &deliver);

} // namespace tarnixcli
