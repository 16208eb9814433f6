#include "vbscript/library/TextSearch.h"

#include <QChar>

#include <algorithm>

namespace vbscript::lib {

namespace {

// The unit at `i` as a case-insensitive comparison sees it: folded as the
// character it belongs to, so that a surrogate pair folds as one character.
char16_t foldedAt(QStringView s, qsizetype i)
{
    const char16_t c = s[i].unicode();
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    if (QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return QChar::highSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(c, s[i + 1].unicode())));
    if (QChar::isLowSurrogate(c) && i > 0 && s[i - 1].isHighSurrogate())
        return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(s[i - 1].unicode(), c)));
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

// The failure function of `p`: for each prefix, the length of its longest
// proper prefix that is also its suffix.
template<typename Unit>
std::vector<qsizetype> fallbackOf(const std::vector<Unit> &p)
{
    std::vector<qsizetype> fallback(p.size(), 0);
    qsizetype k = 0;
    for (size_t i = 1; i < p.size(); ++i) {
        while (k > 0 && p[i] != p[size_t(k)])
            k = fallback[size_t(k - 1)];
        if (p[i] == p[size_t(k)])
            ++k;
        fallback[i] = k;
    }
    return fallback;
}

// Runs the automaton over the text's units at from, from + step, ... while
// they lie in [0, n), counting the work a window at a time. Answers the
// index of the unit that completed a match, or -1.
template<typename Unit, typename UnitAt>
qsizetype runAutomaton(const std::vector<Unit> &p, const std::vector<qsizetype> &fallback, UnitAt unitAt,
                       qsizetype n, qsizetype from, int step, WorkMeter &meter)
{
    const qsizetype m = qsizetype(p.size());
    qsizetype matched = 0;
    qsizetype i = from;
    while (i >= 0 && i < n) {
        const qsizetype windowEnd = step > 0 ? std::min(n, i + TextSearch::kWindow)
                                             : std::max(qsizetype(-1), i - TextSearch::kWindow);
        const qsizetype windowStart = i;
        for (; i != windowEnd; i += step) {
            const Unit c = unitAt(i);
            while (matched > 0 && c != p[size_t(matched)])
                matched = fallback[size_t(matched - 1)];
            if (c == p[size_t(matched)] && ++matched == m) {
                meter.spendScan(step > 0 ? i - windowStart : windowStart - i);
                return i;
            }
        }
        meter.spendScan(step > 0 ? windowEnd - windowStart : windowStart - windowEnd);
    }
    return -1;
}

} // namespace

TextSearch::TextSearch(QStringView sought, Qt::CaseSensitivity cs, WorkMeter &meter, Direction direction)
    : m_sought(sought), m_cs(cs), m_meter(meter)
{
    if (sought.size() <= kShortSought)
        return;
    m_pattern.reserve(size_t(sought.size()));
    for (qsizetype i = 0; i < sought.size(); ++i)
        m_pattern.push_back(cs == Qt::CaseInsensitive ? foldedAt(sought, i) : sought[i].unicode());
    if (direction == Direction::Backward)
        std::reverse(m_pattern.begin(), m_pattern.end());
    m_fallback = fallbackOf(m_pattern);
}

qsizetype TextSearch::indexIn(QStringView text, qsizetype from) const
{
    const qsizetype m = m_sought.size();
    const qsizetype n = text.size();
    from = std::max(from, qsizetype(0));
    if (m == 0)
        return from <= n ? from : -1;
    if (from > n - m)
        return -1;
    if (m <= kShortSought) {
        for (qsizetype pos = from; pos <= n - m; pos += kWindow) {
            const qsizetype length = std::min(n - pos, kWindow + m - 1);
            const qsizetype hit = text.sliced(pos, length).indexOf(m_sought, 0, m_cs);
            m_meter.spendScan(hit < 0 ? length : hit);
            if (hit >= 0)
                return pos + hit;
        }
        return -1;
    }
    qsizetype end;
    if (m_cs == Qt::CaseInsensitive)
        end = runAutomaton(m_pattern, m_fallback, [&](qsizetype i) { return foldedAt(text, i); }, n, from, 1, m_meter);
    else
        end = runAutomaton(m_pattern, m_fallback, [&](qsizetype i) { return text[i].unicode(); }, n, from, 1, m_meter);
    return end < 0 ? -1 : end - m + 1;
}

qsizetype TextSearch::lastIndexIn(QStringView text, qsizetype from) const
{
    const qsizetype m = m_sought.size();
    const qsizetype n = text.size();
    if (from < 0)
        return -1;
    from = std::min(from, n - m);
    if (m == 0)
        return from;
    if (from < 0)
        return -1;
    if (m <= kShortSought) {
        // Windows from the end: each finds the occurrences that begin in
        // its first kWindow characters or after.
        qsizetype end = from + m;
        for (;;) {
            const qsizetype start = std::max(qsizetype(0), end - kWindow - m + 1);
            const qsizetype hit = text.sliced(start, end - start).lastIndexOf(m_sought, end - start - m, m_cs);
            m_meter.spendScan(hit < 0 ? end - start : end - start - hit);
            if (hit >= 0)
                return start + hit;
            if (start == 0)
                return -1;
            end = start + m - 1;
        }
    }
    // The reversed sought text, read over the text backwards from the last
    // character an occurrence may end on: a match ends where it begins.
    const qsizetype last = from + m - 1;
    if (m_cs == Qt::CaseInsensitive)
        return runAutomaton(m_pattern, m_fallback, [&](qsizetype i) { return foldedAt(text, i); }, n, last, -1, m_meter);
    return runAutomaton(m_pattern, m_fallback, [&](qsizetype i) { return text[i].unicode(); }, n, last, -1, m_meter);
}

qsizetype indexOfBytes(QByteArrayView bytes, QByteArrayView sought, qsizetype from, WorkMeter &meter)
{
    const qsizetype m = sought.size();
    const qsizetype n = bytes.size();
    from = std::max(from, qsizetype(0));
    if (m == 0)
        return from <= n ? from : -1;
    if (from > n - m)
        return -1;
    if (m <= TextSearch::kShortSought) {
        for (qsizetype pos = from; pos <= n - m; pos += TextSearch::kWindow) {
            const qsizetype length = std::min(n - pos, TextSearch::kWindow + m - 1);
            const qsizetype hit = bytes.sliced(pos, length).indexOf(sought);
            meter.spendScan(hit < 0 ? length : hit);
            if (hit >= 0)
                return pos + hit;
        }
        return -1;
    }
    const std::vector<char> pattern(sought.begin(), sought.end());
    const qsizetype end = runAutomaton(pattern, fallbackOf(pattern), [&](qsizetype i) { return bytes[i]; }, n, from, 1,
                                       meter);
    return end < 0 ? -1 : end - m + 1;
}

} // namespace vbscript::lib
