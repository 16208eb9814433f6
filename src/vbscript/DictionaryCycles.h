#pragma once

// Dictionaries that hold each other (d.Add "self", d; or a chain that comes
// back round) keep each other alive after the run that made them is over:
// reference counts never reach zero. An engine remembers the Dictionaries
// its runs create and, when a run ends, lets go of the items of those that
// only other such Dictionaries still reach. A Dictionary anything else holds
// (a variable, the host, a class instance, the run's result) keeps its items,
// and so does everything it reaches.

#include <memory>
#include <vector>

namespace vbscript {

class Dictionary;

class DictionaryCycles
{
public:
    void track(const std::shared_ptr<Dictionary> &dictionary);
    // Breaks the cycles no one outside reaches. Never throws: it runs as a
    // run ends, an error of the run perhaps on its way out.
    void release() noexcept
    {
        if (!m_tracked.empty())
            releaseTracked();
    }

private:
    void releaseTracked() noexcept;

    std::vector<std::weak_ptr<Dictionary>> m_tracked;
    size_t m_trackedAfterSweep = 0;
};

} // namespace vbscript
