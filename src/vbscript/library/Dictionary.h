#pragma once

#include "vbscript/ExecutionSettings.h"
#include "vbscript/Variant.h"

#include <QHash>
#include <vector>

namespace vbscript {

// Scripting.Dictionary: keys of any scalar subtype or object, kept in the
// order they were added. Numbers are one key whatever their subtype (1, 1.0
// and CByte(1) are the same key), text is compared as CompareMode says.
class Dictionary : public Object
{
public:
    // `settings`: the engine's, which keys and items convert under.
    explicit Dictionary(std::shared_ptr<const ExecutionSettings> settings) : m_settings(std::move(settings)) {}
    // Gives the engine back what its entries were charged.
    ~Dictionary() override;
    QString typeName() const override { return QStringLiteral("Dictionary"); }
    Variant get(const QString &name, std::span<Variant> args) override;
    void put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet) override;
    void call(const QString &name, std::span<Variant> args) override;
    std::vector<Variant> enumerate() override;

    int count() const { return int(m_entries.size()); }
    void add(const Variant &key, const Variant &item);
    bool exists(const Variant &key) const;
    // Item: reading a key that is not there adds it with an Empty item.
    Variant item(const Variant &key);
    void setItem(const Variant &key, const Variant &item);
    void rename(const Variant &key, const Variant &newKey);
    void remove(const Variant &key);
    void removeAll();
    Variant keys() const;
    Variant items() const;
    int compareMode() const { return m_compareMode; }
    void setCompareMode(int mode);

    // Every key and item, for a search of what refers to what.
    void collectValues(std::vector<const Variant *> &into) const;
    // Moves every key and item into `into` and leaves the Dictionary empty:
    // how a cycle of Dictionaries nothing else reaches is broken.
    void surrenderEntries(std::vector<Variant> &into);

private:
    struct Entry
    {
        Variant key;
        Variant item;
    };

    QString identity(const Variant &key) const;
    qsizetype indexOf(const Variant &key) const;
    void reindex();

    std::shared_ptr<const ExecutionSettings> m_settings;
    std::vector<Entry> m_entries;
    QHash<QString, qsizetype> m_index;
    int m_compareMode = 0;
    qint64 m_charged = 0;  // what the engine was charged for the entries
    // What the items hold that nothing else shares: theirs to give back.
    qint64 itemBytes() const;
};

} // namespace vbscript
