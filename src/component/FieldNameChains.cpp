#include "component/FieldNameChains.h"

#include "component/BracketReplacer.h"

#include <nvtarnix/View.h>

#include <QHash>
#include <QStringView>

namespace nvtarnix {

namespace {

// FNV-1a over UTF-16 units: it can be fed piece by piece, so a field's name
// is hashed exactly as the joined string would be without joining it.
class NameHash
{
public:
    // Returns false when the piece holds a bracket.
    bool feed(QStringView piece)
    {
        bool plain = true;
        for (QChar c : piece) {
            plain = plain && c != u'[' && c != u']';
            add(c.unicode());
        }
        return plain;
    }
    void add(char16_t unit)
    {
        m_value ^= unit;
        m_value *= 0x100000001b3ULL;
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xcbf29ce484222325ULL;
};

std::uint64_t hashOf(QStringView text)
{
    NameHash h;
    h.feed(text);
    return h.value();
}

bool displayNameIs(const ViewField &field, QStringView value)
{
    const QString &group = field.groupcaption();
    const QString &caption = field.vardescription();
    if (group.isEmpty())
        return value.size() == caption.size() + 2 && value.mid(1, caption.size()) == caption;
    return value.size() == group.size() + caption.size() + 3 && value.mid(1, group.size()) == group
           && value[group.size() + 1] == u'.' && value.mid(group.size() + 2, caption.size()) == caption;
}

bool storedNameIs(const ViewField &field, QStringView value)
{
    return value.size() == field.ID().size() + 2 && value.mid(1, field.ID().size()) == field.ID();
}

QString displayName(const ViewField &field)
{
    return field.groupcaption().isEmpty()
               ? u'[' + field.vardescription() + u']'
               : u'[' + field.groupcaption() + u'.' + field.vardescription() + u']';
}

// One occurrence of a bracketed token in the script.
struct Occurrence
{
    qsizetype start;
    qsizetype end; // one past the closing bracket
    int token;
};

} // namespace

std::optional<FieldNameHashes> hashFieldNames(const View &view)
{
    FieldNameHashes hashes;
    const auto count = std::size_t(view.Fields().Count());
    hashes.display.reserve(count);
    hashes.stored.reserve(count);
    for (const auto &field : view.Fields()) {
        NameHash display;
        display.add(u'[');
        bool plain = true;
        if (!field->groupcaption().isEmpty()) {
            plain = display.feed(field->groupcaption());
            display.add(u'.');
        }
        plain = display.feed(field->vardescription()) && plain;
        display.add(u']');

        NameHash stored;
        stored.add(u'[');
        plain = stored.feed(field->ID()) && plain;
        stored.add(u']');
        if (!plain)
            return std::nullopt;
        hashes.display.push_back(display.value());
        hashes.stored.push_back(stored.value());
    }
    return hashes;
}

QString replaceAlongFields(const QString &text, const View &view, const FieldNameHashes &hashes,
                           bool toDatabase)
{
    // The tokens as the step-by-step rule sees them: from a '[' to the next
    // bracket if that is a ']'; another '[' there starts a new candidate.
    std::vector<Occurrence> occurrences;
    std::vector<QStringView> values; // current value of each distinct token
    QHash<QStringView, int> distinct;
    forEachBracketToken(text, [&](qsizetype open, qsizetype close) {
        const QStringView token = QStringView(text).mid(open, close - open + 1);
        auto it = distinct.constFind(token);
        if (it == distinct.cend()) {
            it = distinct.insert(token, int(values.size()));
            values.push_back(token);
        }
        occurrences.push_back({open, close + 1, *it});
    });
    if (occurrences.empty())
        return text;

    QHash<std::uint64_t, std::vector<int>> byValue;
    byValue.reserve(qsizetype(values.size()));
    // Most fields name none of the tokens; a bit per hash value (folded to 16
    // bits) turns most of them away before the hash table is asked.
    std::vector<std::uint64_t> mayHold(1024, 0);
    const auto mark = [&](std::uint64_t h) { mayHold[(h >> 6) & 1023] |= 1ULL << (h & 63); };
    const auto marked = [&](std::uint64_t h) { return (mayHold[(h >> 6) & 1023] >> (h & 63)) & 1; };
    for (int t = 0; t < int(values.size()); ++t) {
        const std::uint64_t h = hashOf(values[std::size_t(t)]);
        byValue[h].push_back(t);
        mark(h);
    }

    const auto &searchHashes = toDatabase ? hashes.display : hashes.stored;
    const auto &replacementHashes = toDatabase ? hashes.stored : hashes.display;
    std::vector<QString> replacements; // owns what `values` points at
    std::vector<int> moving;
    std::size_t j = 0;
    for (const auto &field : view.Fields()) {
        const std::size_t step = j++;
        if (!marked(searchHashes[step]))
            continue;
        const auto bucket = byValue.find(searchHashes[step]);
        if (bucket == byValue.end())
            continue;
        // Every token equal to the search text moves together: the step
        // replaces all of its occurrences at once.
        moving.clear();
        auto &held = *bucket;
        for (auto t = held.begin(); t != held.end();) {
            const QStringView value = values[std::size_t(*t)];
            if (toDatabase ? displayNameIs(*field, value) : storedNameIs(*field, value)) {
                moving.push_back(*t);
                t = held.erase(t);
            } else {
                ++t;
            }
        }
        if (moving.empty())
            continue;
        if (held.empty())
            byValue.erase(bucket);
        replacements.push_back(toDatabase ? u'[' + field->ID() + u']' : displayName(*field));
        for (int t : moving)
            values[std::size_t(t)] = replacements.back();
        mark(replacementHashes[step]);
        auto &target = byValue[replacementHashes[step]];
        target.insert(target.end(), moving.begin(), moving.end());
    }

    QString result;
    result.reserve(text.size() + text.size() / 4);
    qsizetype done = 0;
    for (const Occurrence &o : occurrences) {
        result.append(QStringView(text).mid(done, o.start - done));
        result.append(values[std::size_t(o.token)]);
        done = o.end;
    }
    result.append(QStringView(text).mid(done));
    return result;
}

} // namespace nvtarnix
