#include "component/BracketReplacer.h"

#include <algorithm>
#include <functional>
#include <queue>

namespace nvtarnix {

namespace {

// "[" + text without brackets + "]"
bool isPlainToken(QStringView s)
{
    if (s.size() < 2 || s.front() != u'[' || s.back() != u']')
        return false;
    const QStringView inner = s.mid(1, s.size() - 2);
    return !inner.contains(u'[') && !inner.contains(u']');
}

} // namespace

struct BracketReplacer::Pending
{
    explicit Pending(std::size_t steps) : queued(steps, false) {}

    void push(int step)
    {
        if (!queued[std::size_t(step)]) {
            queued[std::size_t(step)] = true;
            order.push(step);
        }
    }

    // Steps are run in their own order; a step is queued at most once because
    // only steps after the running one are ever pushed.
    std::priority_queue<int, std::vector<int>, std::greater<int>> order;
    std::vector<bool> queued;
    int running = -1;
};

BracketReplacer::BracketReplacer(std::vector<Step> steps) : m_steps(std::move(steps))
{
    m_bySearch.reserve(qsizetype(m_steps.size()));
    for (int i = 0; i < int(m_steps.size()); ++i) {
        const QString &search = m_steps[std::size_t(i)].search;
        // A text that is not bracketed can never be found by the candidate
        // search; callers only build bracketed ones.
        Q_ASSERT(search.size() >= 2 && search.front() == u'[' && search.back() == u']');
        m_bySearch[QStringView(search)].append(i);
        m_longest = std::max(m_longest, search.size());
        m_tokensOnly = m_tokensOnly && isPlainToken(search)
                       && isPlainToken(m_steps[std::size_t(i)].replacement);
    }
}

void BracketReplacer::collect(QStringView text, qsizetype from, qsizetype to, Pending &pending) const
{
    // Every candidate that starts before `to` and ends at or after `from`.
    const qsizetype n = text.size();
    for (qsizetype p = std::max<qsizetype>(0, from - m_longest + 1); p < to && p < n; ++p) {
        if (text[p] != u'[')
            continue;
        const qsizetype last = std::min(n - 1, p + m_longest - 1);
        for (qsizetype q = std::max(p + 1, from); q <= last; ++q) {
            if (text[q] != u']')
                continue;
            const auto it = m_bySearch.constFind(text.mid(p, q - p + 1));
            if (it == m_bySearch.cend())
                continue;
            for (int step : *it)
                if (step > pending.running)
                    pending.push(step);
        }
    }
}

QString BracketReplacer::apply(const QString &text) const
{
    if (m_steps.empty() || text.isEmpty())
        return text;
    return m_tokensOnly ? applyToTokens(text) : applyStepByStep(text);
}

QString BracketReplacer::applyToTokens(const QString &text) const
{
    QString result;
    result.reserve(text.size() + text.size() / 4);
    qsizetype done = 0;
    forEachBracketToken(text, [&](qsizetype open, qsizetype close) {
        QStringView token = QStringView(text).mid(open, close - open + 1);
        int step = -1;
        if (token.size() <= m_longest) {
            for (;;) {
                const auto it = m_bySearch.constFind(token);
                if (it == m_bySearch.cend())
                    break;
                const auto later = std::upper_bound(it->cbegin(), it->cend(), step);
                if (later == it->cend())
                    break;
                step = *later;
                token = m_steps[std::size_t(step)].replacement;
            }
        }
        if (step >= 0) {
            result.append(QStringView(text).mid(done, open - done));
            result.append(token);
            done = close + 1;
        }
    });
    result.append(QStringView(text).mid(done));
    return result;
}

QString BracketReplacer::applyStepByStep(const QString &input) const
{
    QString text = input;
    Pending pending(m_steps.size());
    collect(text, 0, text.size(), pending);

    std::vector<std::pair<qsizetype, qsizetype>> inserted; // [start, end) in the new text
    while (!pending.order.empty()) {
        pending.running = pending.order.top();
        pending.order.pop();
        const Step &step = m_steps[std::size_t(pending.running)];

        qsizetype at = text.indexOf(step.search, 0, Qt::CaseSensitive);
        if (at < 0)
            continue;
        QString result;
        result.reserve(text.size() + 16);
        inserted.clear();
        qsizetype done = 0;
        while (at >= 0) {
            result.append(QStringView(text).mid(done, at - done));
            inserted.emplace_back(result.size(), result.size() + step.replacement.size());
            result.append(step.replacement);
            done = at + step.search.size();
            at = text.indexOf(step.search, done, Qt::CaseSensitive);
        }
        result.append(QStringView(text).mid(done));
        text = std::move(result);

        // Only text that touches a replacement is new; everything else was
        // searched before.
        for (const auto &[start, end] : inserted)
            collect(text, start, end, pending);
    }
    return text;
}

QString RemoveLineBreaks(const QString &text)
{
    if (!text.contains(u'\r'))
        return text;
    QString result = text;
    for (int n = 10; n >= 1; --n)
        result.replace(QStringLiteral("\r\n").repeated(n), QStringLiteral(" "));
    return result;
}

} // namespace nvtarnix
