#pragma once

#include <nvtarnix/Error.h>

#include <QHash>
#include <QList>
#include <QString>

namespace nvtarnix {

// An ordered collection whose items are reached by position (1 to Count) or by
// an optional string key, the way the host's scripting world has always known
// collections. Keys are exact and case-sensitive; enumeration follows
// insertion order.
template <typename T>
class KeyedCollection
{
public:
    using const_iterator = typename QList<T>::const_iterator;

    // Appends an item and returns it; an empty key leaves the item reachable
    // by position only. A key that is already taken is refused (error 457)
    // and the collection stays as it was.
    const T &Add(T item, const QString &key = {})
    {
        if (!key.isEmpty()) {
            if (m_positions.contains(key))
                throw Error(errors::KeyAlreadyAssociated, errorSource(),
                            QStringLiteral("This key is already associated with an element of this collection"));
            m_positions.insert(key, m_items.size());
        }
        m_items.append(std::move(item));
        m_keys.append(key);
        return m_items.constLast();
    }

    qsizetype Count() const { return m_items.size(); }
    bool Exists(const QString &key) const { return m_positions.contains(key); }

    // 1-based, as hosts count.
    const T &Item(qsizetype position) const
    {
        if (position < 1 || position > m_items.size())
            throw Error(errors::SubscriptOutOfRange, errorSource(), QStringLiteral("Subscript out of range"));
        return m_items.at(position - 1);
    }

    const T &Item(const QString &key) const
    {
        const auto it = m_positions.constFind(key);
        if (it == m_positions.cend())
            throw Error(errors::InvalidProcedureCall, errorSource(), QStringLiteral("Invalid procedure call or argument"));
        return m_items.at(*it);
    }

    // The key an item was added under (empty for an unkeyed one).
    const QString &Key(qsizetype position) const
    {
        Item(position);
        return m_keys.at(position - 1);
    }

    void Remove(const QString &key)
    {
        const auto it = m_positions.constFind(key);
        if (it == m_positions.cend())
            throw Error(errors::InvalidProcedureCall, errorSource(), QStringLiteral("Invalid procedure call or argument"));
        removeAt(*it);
    }

    void Remove(qsizetype position)
    {
        Item(position);
        removeAt(position - 1);
    }

    void Clear()
    {
        m_items.clear();
        m_keys.clear();
        m_positions.clear();
    }

    const_iterator begin() const { return m_items.cbegin(); }
    const_iterator end() const { return m_items.cend(); }

private:
    static QString errorSource() { return QStringLiteral("nvTarnix"); }

    void removeAt(qsizetype index)
    {
        m_items.removeAt(index);
        m_keys.removeAt(index);
        // Positions after the removed item move down by one; rebuilding keeps
        // the index obviously right and removal is rare.
        m_positions.clear();
        for (qsizetype i = 0; i < m_keys.size(); ++i)
            if (!m_keys.at(i).isEmpty())
                m_positions.insert(m_keys.at(i), i);
    }

    QList<T> m_items;
    QStringList m_keys;
    QHash<QString, qsizetype> m_positions;
};

} // namespace nvtarnix
