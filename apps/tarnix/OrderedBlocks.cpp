#include "OrderedBlocks.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <deque>
#include <memory>
#include <vector>

namespace tarnixcli {

namespace {

struct InFlight
{
    std::shared_ptr<RowBlock> block;
    QFuture<BlockOutcome> outcome;
};

} // namespace

void runInOrder(int jobs, const std::function<bool(RowBlock &)> &read,
                const std::function<BlockOutcome(RowBlock &)> &evaluate,
                const std::function<void(const BlockOutcome &)> &deliver)
{
    // Blocks in read order, and blocks delivered and free to fill again.
    std::deque<InFlight> inFlight;
    std::vector<std::shared_ptr<RowBlock>> spare;
    // Declared after the blocks, so destroyed before them: its destructor
    // waits for every worker, whichever way this function is left.
    QThreadPool pool;
    pool.setMaxThreadCount(jobs);
    // Two blocks a worker keep every worker busy while the reader waits for
    // the oldest.
    const size_t depth = 2 * size_t(jobs) + 1;

    const auto deliverOldest = [&] {
        InFlight oldest = std::move(inFlight.front());
        inFlight.pop_front();
        deliver(oldest.outcome.result());
        spare.push_back(std::move(oldest.block));
    };
    const auto deliverAll = [&] {
        while (!inFlight.empty())
            deliverOldest();
    };

    for (;;) {
        std::shared_ptr<RowBlock> block;
        if (spare.empty()) {
            block = std::make_shared<RowBlock>();
        } else {
            block = std::move(spare.back());
            spare.pop_back();
        }
        bool more = false;
        try {
            more = read(*block);
        } catch (...) {
            deliverAll();  // the rows before the failure still count
            throw;
        }
        if (!more)
            break;
        QFuture<BlockOutcome> outcome =
            QtConcurrent::run(&pool, [raw = block.get(), &evaluate] { return evaluate(*raw); });
        inFlight.push_back({std::move(block), std::move(outcome)});
        while (inFlight.size() >= depth)
            deliverOldest();
    }
    deliverAll();
}

} // namespace tarnixcli
