#include "OrderedBlocks.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
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
    // Blocks handed to the workers that none has begun.
    std::atomic<int> waiting = 0;
    // Declared after the blocks, so destroyed before them: its destructor
    // waits for every worker, whichever way this function is left.
    QThreadPool pool;
    const int workers = jobs - 1;
    pool.setMaxThreadCount(qMax(1, workers));
    // Two blocks a thread keep every thread busy while the oldest is awaited.
    const size_t depth = 2 * size_t(jobs) + 1;

    const auto deliverOldest = [&] {
        InFlight oldest = std::move(inFlight.front());
        inFlight.pop_front();
        deliver(oldest.outcome.result());
        // A block whose results outgrew one outcome is finished here, in
        // order, part by part: each part's lines are written before the
        // next is made.
        while (!oldest.block->finished())
            deliver(evaluate(*oldest.block));
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
        // The reading thread is one of the `jobs` that evaluate: when every
        // worker already has a block waiting, it evaluates this one itself
        // rather than queue it. So no thread waits for a core that another
        // of ours holds, and reading, which only this thread can do, is
        // never starved by evaluating.
        QFuture<BlockOutcome> outcome;
        if (waiting.load() >= workers) {
            outcome = QtFuture::makeReadyFuture(evaluate(*block));
        } else {
            ++waiting;
            outcome = QtConcurrent::run(&pool, [raw = block.get(), &evaluate, &waiting] {
                --waiting;
                return evaluate(*raw);
            });
        }
        inFlight.push_back({std::move(block), std::move(outcome)});
        while (inFlight.size() >= depth)
            deliverOldest();
    }
    deliverAll();
}

} // namespace tarnixcli
