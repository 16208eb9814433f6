#include "schema/ReplacementSteps.h"

#include <QHash>

namespace nvtarnix {

namespace {

bool isBracket(QChar c)
{
    return c == u'[' || c == u']';
}

// FNV-1a over UTF-16 units: it can be fed piece by piece, so a text given in
// pieces hashes exactly as the joined text would.
class TokenHash
{
public:
    void add(QChar c)
    {
        m_value ^= c.unicode();
        m_value *= 0x100000001b3ULL;
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xcbf29ce484222325ULL;
};

std::uint64_t hashOf(QStringView text)
{
    TokenHash hash;
    for (QChar c : text)
        hash.add(c);
    return hash.value();
}

// "[" + text without brackets + "]"
bool isToken(QStringView text)
{
    if (text.size() < 2 || text.front() != u'[' || text.back() != u']')
        return false;
    for (QChar c : text.mid(1, text.size() - 2)) {
        if (isBracket(c))
            return false;
    }
    return true;
}

// The text's tokens, each distinct token with its current value, found by
// the hash of that value. A bit per hash (folded to 16 bits) turns most steps
// away before the hash table is asked.
//
// The tokens are exactly the places where a "[" is followed by a "]" with no
// bracket between. So when tokens are replaced by a text without brackets
// (the check's samples), a new token can only form where the bracket before
// a replaced token is a "[" and the one after it a "]"; everywhere else the
// other tokens stay as they are, and the text need not be read again.
class Tokens
{
public:
    explicit Tokens(QString text) : m_text(std::move(text)) { scan(); }

    bool empty() const { return m_live == 0; }
    bool mayHold(std::uint64_t hash) const { return (m_filter[(hash >> 6) & 1023] >> (hash & 63)) & 1; }
    bool holds(std::uint64_t hash) const { return m_byHash.contains(hash); }

    // Takes the tokens whose value has the hash and is the search text out of
    // the index: they move together, as a step replaces all of them at once.
    template <typename IsSearch>
    void take(std::uint64_t hash, IsSearch isSearch, std::vector<int> &moving)
    {
        moving.clear();
        const auto bucket = m_byHash.find(hash);
        if (bucket == m_byHash.end())
            return;
        auto &held = *bucket;
        for (auto t = held.begin(); t != held.end();) {
            if (isSearch(m_values[std::size_t(*t)])) {
                moving.push_back(*t);
                t = held.erase(t);
            } else {
                ++t;
            }
        }
        if (held.empty())
            m_byHash.erase(bucket);
    }

    // Gives the tokens taken a value that is a token itself: the other tokens
    // stay as they are.
    void give(const std::vector<int> &moving, QString value)
    {
        m_owned.push_back(std::move(value));
        const std::uint64_t hash = hashOf(m_owned.back());
        for (int t : moving)
            m_values[std::size_t(t)] = m_owned.back();
        mark(hash);
        auto &target = m_byHash[hash];
        target.insert(target.end(), moving.begin(), moving.end());
    }

    // Gives the tokens taken any other value: they are tokens no more. False
    // when the text must be read again for its tokens: the value holds a
    // bracket, or a new token formed around a replaced one.
    bool retire(const std::vector<int> &moving, QString value)
    {
        const bool bracketFree = !value.contains(u'[') && !value.contains(u']');
        m_owned.push_back(std::move(value));
        for (int t : moving)
            m_values[std::size_t(t)] = m_owned.back();
        if (!bracketFree)
            return false;
        if (m_gapBefore.empty())
            findGaps();
        std::vector<bool> retired(m_values.size(), false);
        for (int t : moving)
            retired[std::size_t(t)] = true;
        for (int o = m_firstLive; o >= 0;) {
            const int next = m_nextLive[std::size_t(o)];
            if (retired[std::size_t(m_occurrences[std::size_t(o)].token)] && !unlink(o))
                return false;
            o = next;
        }
        return true;
    }

    // The text with every token at its current value.
    QString text() const
    {
        if (m_owned.empty())
            return m_text;
        QString result;
        result.reserve(m_text.size() + m_text.size() / 4);
        qsizetype done = 0;
        for (const Occurrence &o : m_occurrences) {
            result.append(QStringView(m_text).mid(done, o.start - done));
            result.append(m_values[std::size_t(o.token)]);
            done = o.end;
        }
        result.append(QStringView(m_text).mid(done));
        return result;
    }

private:
    struct Occurrence
    {
        qsizetype start;
        qsizetype end; // one past the closing bracket
        int token;
    };

    // The first and the last bracket of the text between two live tokens;
    // 0 for none.
    struct Gap
    {
        char16_t first = 0;
        char16_t last = 0;
    };

    void mark(std::uint64_t hash) { m_filter[(hash >> 6) & 1023] |= 1ULL << (hash & 63); }

    static Gap gapOf(QStringView text)
    {
        Gap gap;
        for (QChar c : text) {
            if (isBracket(c)) {
                if (!gap.first)
                    gap.first = c.unicode();
                gap.last = c.unicode();
            }
        }
        return gap;
    }

    // Worked out when the first token is retired; replacing tokens by tokens
    // never needs them.
    void findGaps()
    {
        const int count = int(m_occurrences.size());
        m_gapBefore.resize(std::size_t(count));
        m_previousLive.resize(std::size_t(count));
        m_nextLive.resize(std::size_t(count));
        qsizetype done = 0;
        for (int o = 0; o < count; ++o) {
            const Occurrence &occurrence = m_occurrences[std::size_t(o)];
            m_gapBefore[std::size_t(o)] = gapOf(QStringView(m_text).mid(done, occurrence.start - done));
            m_previousLive[std::size_t(o)] = o - 1;
            m_nextLive[std::size_t(o)] = o + 1 < count ? o + 1 : -1;
            done = occurrence.end;
        }
        m_gapAfterLast = gapOf(QStringView(m_text).mid(done));
        m_firstLive = count ? 0 : -1;
    }

    // Takes the occurrence o out of the live ones; its two gaps become one.
    // False when that joins a "[" before it with a "]" after it.
    bool unlink(int o)
    {
        const int previous = m_previousLive[std::size_t(o)];
        const int next = m_nextLive[std::size_t(o)];
        const Gap before = m_gapBefore[std::size_t(o)];
        Gap &after = next >= 0 ? m_gapBefore[std::size_t(next)] : m_gapAfterLast;
        if (before.last == u'[' && after.first == u']')
            return false;
        after = {before.first ? before.first : after.first, after.last ? after.last : before.last};
        (previous >= 0 ? m_nextLive[std::size_t(previous)] : m_firstLive) = next;
        if (next >= 0)
            m_previousLive[std::size_t(next)] = previous;
        --m_live;
        return true;
    }

    // From each "[" to the next bracket if that is a "]"; another "[" there
    // starts a new candidate. Every occurrence of a token is found this way.
    void scan()
    {
        const QStringView text(m_text);
        QHash<QStringView, int> distinct;
        for (qsizetype open = text.indexOf(u'['); open >= 0;) {
            qsizetype close = open + 1;
            while (close < text.size() && !isBracket(text[close]))
                ++close;
            if (close == text.size())
                break;
            if (text[close] == u'[') {
                open = close;
                continue;
            }
            const QStringView token = text.mid(open, close - open + 1);
            auto it = distinct.constFind(token);
            if (it == distinct.cend()) {
                it = distinct.insert(token, int(m_values.size()));
                m_values.push_back(token);
            }
            m_occurrences.push_back({open, close + 1, *it});
            open = text.indexOf(u'[', close + 1);
        }
        m_live = qsizetype(m_occurrences.size());
        m_byHash.reserve(qsizetype(m_values.size()));
        for (int t = 0; t < int(m_values.size()); ++t) {
            const std::uint64_t hash = hashOf(m_values[std::size_t(t)]);
            m_byHash[hash].push_back(t);
            mark(hash);
        }
    }

    QString m_text;
    std::vector<Occurrence> m_occurrences;
    std::vector<QStringView> m_values; // current value of each distinct token
    std::vector<QString> m_owned;      // the values that are not part of m_text
    QHash<std::uint64_t, std::vector<int>> m_byHash;
    std::vector<std::uint64_t> m_filter = std::vector<std::uint64_t>(1024, 0);
    qsizetype m_live = 0; // occurrences that are still tokens
    // The live occurrences as a list in text order, with the gaps before them.
    std::vector<Gap> m_gapBefore;
    Gap m_gapAfterLast;
    std::vector<int> m_previousLive;
    std::vector<int> m_nextLive;
    int m_firstLive = -1;
};

} // namespace

void ReplacementSteps::Keys::reserve(std::size_t steps)
{
    m_tokenHash.reserve(steps);
    m_isToken.reserve(steps);
}

void ReplacementSteps::Keys::add(QStringView search)
{
    Q_ASSERT(search.size() >= 2 && search.front() == u'[' && search.back() == u']');
    const qsizetype open = search.lastIndexOf(u'[');
    const qsizetype close = search.indexOf(u']', open);
    m_tokenHash.push_back(hashOf(search.mid(open, close - open + 1)));
    m_isToken.push_back(open == 0 && close == search.size() - 1);
}

void ReplacementSteps::Keys::add(std::span<const QStringView> pieces)
{
    TokenHash hash;
    int brackets = 0;
    for (QStringView piece : pieces) {
        for (QChar c : piece) {
            hash.add(c);
            brackets += isBracket(c);
        }
    }
    if (brackets == 2) {
        // Only the opening and the closing one: the whole text is its token.
        m_tokenHash.push_back(hash.value());
        m_isToken.push_back(true);
        return;
    }
    QString joined;
    for (QStringView piece : pieces)
        joined.append(piece);
    add(QStringView(joined));
}

QString ReplacementSteps::apply(const QString &text) const
{
    const Keys &k = keys();
    const std::size_t count = k.size();
    Tokens tokens(text);
    std::vector<int> moving;
    // A text without tokens holds no search text at all.
    for (std::size_t step = 0; step < count && !tokens.empty(); ++step) {
        const std::uint64_t hash = k.m_tokenHash[step];
        if (!tokens.mayHold(hash))
            continue;
        if (k.m_isToken[step]) {
            tokens.take(hash, [&](QStringView value) { return searchIs(step, value); }, moving);
            if (moving.empty())
                continue;
            QString value = replacement(step);
            if (isToken(value))
                tokens.give(moving, std::move(value));
            else if (!tokens.retire(moving, std::move(value)))
                tokens = Tokens(tokens.text());
        } else if (tokens.holds(hash)) {
            QString rewritten = tokens.text();
            const QString searched = search(step);
            if (!rewritten.contains(searched, Qt::CaseSensitive))
                continue;
            rewritten.replace(searched, replacement(step), Qt::CaseSensitive);
            tokens = Tokens(std::move(rewritten));
        }
    }
    return tokens.text();
}

} // namespace nvtarnix
