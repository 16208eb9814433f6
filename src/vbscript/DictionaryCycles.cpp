#include "vbscript/DictionaryCycles.h"

#include "vbscript/library/Dictionary.h"

#include <unordered_map>

namespace vbscript {

void DictionaryCycles::track(const std::shared_ptr<Dictionary> &dictionary)
{
    // Dropped ones are swept out whenever the list has doubled, so a run
    // that makes Dictionaries by the million keeps it no longer than twice
    // those alive.
    if (m_tracked.size() >= 2 * m_trackedAfterSweep + 64) {
        std::erase_if(m_tracked, [](const std::weak_ptr<Dictionary> &weak) { return weak.expired(); });
        m_trackedAfterSweep = m_tracked.size();
    }
    m_tracked.push_back(dictionary);
}

namespace {

// Calls `visit` for every Dictionary that `values` refer to, directly or
// through arrays, without recursion: an array nested a million deep stays
// flat on the stack. With `ownedOnly`, arrays that something else shares are
// not entered (their references count as references from outside).
template<typename Visit>
void forEachReferenced(std::vector<const Variant *> values, bool ownedOnly, Visit &&visit)
{
    while (!values.empty()) {
        const Variant *v = values.back();
        values.pop_back();
        if (v->isObject()) {
            if (const std::shared_ptr<Object> &o = v->rawObject())
                visit(o.get());
        } else if (v->isArray() && v->rawArray()) {
            if (ownedOnly && v->rawArray().use_count() != 1)
                continue;
            for (const Variant &e : v->rawArray()->data)
                if (e.isObject() || e.isArray())
                    values.push_back(&e);
        }
    }
}

} // namespace

void DictionaryCycles::releaseTracked() noexcept
{
    try {
        std::vector<std::shared_ptr<Dictionary>> live;
        std::unordered_map<const Object *, size_t> indexOf;
        for (const std::weak_ptr<Dictionary> &weak : m_tracked) {
            if (std::shared_ptr<Dictionary> d = weak.lock()) {
                indexOf.emplace(d.get(), live.size());
                live.push_back(std::move(d));
            }
        }
        m_tracked.clear();
        m_trackedAfterSweep = 0;

        // References from the tracked Dictionaries' own keys and items.
        std::vector<long> inner(live.size(), 0);
        std::vector<std::vector<const Variant *>> values(live.size());
        for (size_t i = 0; i < live.size(); ++i) {
            live[i]->collectValues(values[i]);
            forEachReferenced(values[i], true, [&](const Object *o) {
                if (auto it = indexOf.find(o); it != indexOf.end())
                    ++inner[it->second];
            });
        }
        // Those referred to from anywhere else are held, and hold what they
        // reach. `live` itself holds one reference to each.
        std::vector<bool> held(live.size(), false);
        std::vector<size_t> pending;
        for (size_t i = 0; i < live.size(); ++i) {
            if (live[i].use_count() - 1 > inner[i]) {
                held[i] = true;
                pending.push_back(i);
            }
        }
        while (!pending.empty()) {
            const size_t i = pending.back();
            pending.pop_back();
            forEachReferenced(values[i], false, [&](const Object *o) {
                if (auto it = indexOf.find(o); it != indexOf.end() && !held[it->second]) {
                    held[it->second] = true;
                    pending.push_back(it->second);
                }
            });
        }
        std::vector<Variant> surrendered;
        for (size_t i = 0; i < live.size(); ++i) {
            if (held[i])
                m_tracked.push_back(live[i]);
            else
                live[i]->surrenderEntries(surrendered);
        }
        values.clear();
        live.clear();
        releaseInTurn(surrendered);
    } catch (...) {
        // Out of memory for the search itself: the cycles stay, as before.
    }
}

} // namespace vbscript
