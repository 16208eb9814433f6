#pragma once

#include "DemoDatabase.h"

#include <nvtarnix/Error.h>

#include <QList>
#include <QMap>

#include <optional>

namespace tarnixdemo {

// Expressions the user accepted and the database has not taken yet (it was
// read-only or locked), by rule id. Each keeps its rule's name too, so that a
// rule another program deleted meanwhile can be created again: nothing the
// user accepted is dropped until it is stored or the user discards it.
class PendingEdits
{
public:
    // `rule` holds the accepted expression; it replaces one kept before.
    void keep(const Rule &rule);
    std::optional<Rule> find(int id) const;
    bool contains(int id) const { return m_rules.contains(id); }
    bool isEmpty() const { return m_rules.isEmpty(); }
    // In order of rule id.
    QList<Rule> rules() const { return m_rules.values(); }
    void clear() { m_rules.clear(); }

    // Stores the rule kept for `id` and forgets it; true when the rule had
    // been deleted and was created again. Raises the database's error, and
    // then keeps it.
    bool save(int id, DemoDatabase &database);

    struct Report
    {
        QList<Rule> saved;
        QList<Rule> recreated; // among the saved
        std::optional<nvtarnix::Error> lastError;
    };
    // Tries to store every kept rule; what fails stays kept.
    Report saveAll(DemoDatabase &database);

private:
    QMap<int, Rule> m_rules;
};

} // namespace tarnixdemo
