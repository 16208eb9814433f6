#include "vbscript/library/Dictionary.h"

#include "vbscript/ScriptError.h"

#include <utility>

namespace vbscript {

namespace {

void requireArgs(std::span<Variant> args, size_t n)
{
    if (args.size() != n)
        raise(err::WrongNumberOfArguments);
}

Variant arrayOf(const ExecutionSettings &settings, const std::vector<Variant> &values)
{
    const qint32 ub = qint32(values.size()) - 1;
    auto arr = settings.newArray(std::span<const qint32>(&ub, 1), true);
    std::copy(values.begin(), values.end(), arr->data.begin());
    return Variant(std::move(arr));
}

} // namespace

// Items may be Dictionaries holding Dictionaries, a million deep: they are
// released one after another (releaseInTurn), not each inside the last.
Dictionary::~Dictionary()
{
    // The engine gets back what the entries were charged.
    m_settings->memory.credit(MemoryMeter::objectBytes(0) + m_charged + itemBytes());
    for (Entry &e : m_entries) {
        releaseInTurn(std::span<Variant>(&e.key, 1));
        releaseInTurn(std::span<Variant>(&e.item, 1));
    }
}

QString Dictionary::identity(const Variant &key) const
{
    // Booleans, numbers and dates are one key by their value as a Double.
    if (key.isNumber())
        return QLatin1Char('n') + QString::number(key.toDouble(m_settings->locale), 'g', 17);
    switch (key.type()) {
    case VarType::Empty: return QStringLiteral("e");
    case VarType::Null: return QStringLiteral("z");
    case VarType::String:
        return QLatin1Char('s') + (m_compareMode == 0 ? key.rawString() : key.rawString().toLower());
    case VarType::Object:
        return QLatin1Char('o')
               + QString::number(reinterpret_cast<quintptr>(key.rawObject().get()), 16);
    default: raise(err::TypeMismatch);
    }
}

qsizetype Dictionary::indexOf(const Variant &key) const
{
    return m_index.value(identity(key), -1);
}

void Dictionary::reindex()
{
    m_index.clear();
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_index.insert(identity(m_entries[i].key), qsizetype(i));
}

void Dictionary::add(const Variant &key, const Variant &item)
{
    const QString id = identity(key);
    if (m_index.contains(id))
        raise(err::KeyAlreadyAssociated);
    const qint64 bytes = MemoryMeter::entryBytes(id.size());
    m_settings->memory.charge(bytes);
    m_charged += bytes;
    m_index.insert(id, qsizetype(m_entries.size()));
    m_entries.push_back({key, item});
}

bool Dictionary::exists(const Variant &key) const { return indexOf(key) >= 0; }

Variant Dictionary::item(const Variant &key)
{
    const qsizetype i = indexOf(key);
    if (i >= 0)
        return m_entries[size_t(i)].item;
    add(key, Variant());
    return Variant();
}

void Dictionary::setItem(const Variant &key, const Variant &item)
{
    const qsizetype i = indexOf(key);
    if (i >= 0) {
        Variant &old = m_entries[size_t(i)].item;
        const qint64 freed = MemoryMeter::ownedBytes(old);
        old = item;
        m_settings->memory.credit(freed);
    } else {
        add(key, item);
    }
}

void Dictionary::rename(const Variant &key, const Variant &newKey)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        raise(err::ElementNotFound);
    if (indexOf(newKey) >= 0)
        raise(err::KeyAlreadyAssociated);
    m_index.remove(identity(key));
    m_entries[size_t(i)].key = newKey;
    m_index.insert(identity(newKey), i);
}

void Dictionary::remove(const Variant &key)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        raise(err::ElementNotFound);
    const qint64 bytes = MemoryMeter::entryBytes(identity(key).size());
    m_charged -= bytes;
    m_settings->memory.credit(bytes + MemoryMeter::ownedBytes(m_entries[size_t(i)].item));
    m_entries.erase(m_entries.begin() + i);
    reindex();
}

void Dictionary::removeAll()
{
    m_settings->memory.credit(std::exchange(m_charged, 0) + itemBytes());
    m_entries.clear();
    m_index.clear();
}

void Dictionary::collectValues(std::vector<const Variant *> &into) const
{
    for (const Entry &e : m_entries) {
        into.push_back(&e.key);
        into.push_back(&e.item);
    }
}

void Dictionary::surrenderEntries(std::vector<Variant> &into)
{
    for (Entry &e : m_entries) {
        into.push_back(std::move(e.key));
        into.push_back(std::move(e.item));
    }
    m_settings->memory.credit(std::exchange(m_charged, 0));
    m_entries.clear();
    m_index.clear();
}

qint64 Dictionary::itemBytes() const
{
    qint64 bytes = 0;
    for (const Entry &e : m_entries)
        bytes += MemoryMeter::ownedBytes(e.item);
    return bytes;
}

Variant Dictionary::keys() const
{
    std::vector<Variant> out;
    out.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        out.push_back(e.key);
    return arrayOf(*m_settings, out);
}

Variant Dictionary::items() const
{
    std::vector<Variant> out;
    out.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        out.push_back(e.item);
    return arrayOf(*m_settings, out);
}

void Dictionary::setCompareMode(int mode)
{
    // The mode decides which keys are equal, so it is fixed once keys exist.
    if (mode < 0 || !m_entries.empty())
        raise(err::InvalidProcedureCall);
    m_compareMode = mode;
}

Variant Dictionary::get(const QString &name, std::span<Variant> args)
{
    const QString member = name.toLower();
    if (member.isEmpty() || member == QLatin1String("item")) {
        requireArgs(args, 1);
        return item(args[0]);
    }
    if (member == QLatin1String("count")) {
        requireArgs(args, 0);
        return Variant(qint32(count()));
    }
    if (member == QLatin1String("exists")) {
        requireArgs(args, 1);
        return Variant(exists(args[0]));
    }
    if (member == QLatin1String("keys")) {
        requireArgs(args, 0);
        return keys();
    }
    if (member == QLatin1String("items")) {
        requireArgs(args, 0);
        return items();
    }
    if (member == QLatin1String("comparemode")) {
        requireArgs(args, 0);
        return Variant(qint32(m_compareMode));
    }
    call(name, args);
    return Variant();
}

void Dictionary::put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet)
{
    const QString member = name.toLower();
    if (member.isEmpty() || member == QLatin1String("item")) {
        requireArgs(args, 1);
        setItem(args[0], isSet ? value : value.valueOf());
    } else if (member == QLatin1String("key")) {
        requireArgs(args, 1);
        rename(args[0], value);
    } else if (member == QLatin1String("comparemode")) {
        requireArgs(args, 0);
        setCompareMode(value.valueOf().toLong(m_settings->locale));
    } else {
        raise(err::ObjectDoesntSupportProperty);
    }
}

void Dictionary::call(const QString &name, std::span<Variant> args)
{
    const QString member = name.toLower();
    if (member == QLatin1String("add")) {
        requireArgs(args, 2);
        add(args[0], args[1]);
    } else if (member == QLatin1String("remove")) {
        requireArgs(args, 1);
        remove(args[0]);
    } else if (member == QLatin1String("removeall")) {
        requireArgs(args, 0);
        removeAll();
    } else if (member.isEmpty() || member == QLatin1String("item") || member == QLatin1String("count")
               || member == QLatin1String("exists") || member == QLatin1String("keys")
               || member == QLatin1String("items") || member == QLatin1String("comparemode")) {
        get(name, args);
    } else {
        raise(err::ObjectDoesntSupportProperty);
    }
}

std::vector<Variant> Dictionary::enumerate()
{
    std::vector<Variant> out;
    out.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        out.push_back(e.key);
    return out;
}

} // namespace vbscript
