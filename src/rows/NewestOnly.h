#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <utility>

namespace nvtarnix::rows {

// Work that the user's typing outdates: the wizard's count and its preview.
// Each start cancels the work before it at once, through the flag the work
// polls, and only the newest result is delivered, queued to the receiver's
// thread; the caller never waits for the work. Destroying it cancels what
// runs and waits for that to stop, so a delivery never outlives its owner.
class NewestOnly
{
public:
    explicit NewestOnly(QObject *receiver) : m_receiver(receiver)
    {
        // Work that ignores its cancel flag for a moment (a count still
        // leaving SQLite) must not hold up the next.
        m_pool.setMaxThreadCount(2);
    }
    ~NewestOnly()
    {
        cancel();
        m_pool.waitForDone();
    }
    NewestOnly(const NewestOnly &) = delete;
    NewestOnly &operator=(const NewestOnly &) = delete;

    // work(const std::atomic_bool *cancelled) returns the result; deliver
    // takes it on the receiver's thread unless newer work has started.
    template <class Work, class Deliver>
    void start(Work work, Deliver deliver)
    {
        cancel();
        m_cancel = std::make_shared<std::atomic_bool>(false);
        m_pool.start([this, work = std::move(work), deliver = std::move(deliver), flag = m_cancel,
                      generation = m_generation] {
            auto result = work(flag.get());
            if (flag->load())
                return;
            QMetaObject::invokeMethod(
                m_receiver,
                [this, deliver, result = std::move(result), generation] {
                    if (generation == m_generation)
                        deliver(result);
                },
                Qt::QueuedConnection);
        });
    }

    // Stops the running work; its result is dropped.
    void cancel()
    {
        if (m_cancel)
            m_cancel->store(true);
        m_cancel.reset();
        ++m_generation;
    }

    // Whether work is still running, cancelled or not.
    bool running() const { return m_pool.activeThreadCount() > 0; }

private:
    QObject *m_receiver;
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_generation = 0;
};

} // namespace nvtarnix::rows
