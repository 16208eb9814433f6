#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace nvtarnix {

// Rewrites bracketed tokens ("[Customer.Name]" -> "[CUST_NAME]") with a list
// of (search, replacement) steps that run one after the other: each step
// replaces every occurrence of its search text, left to right, without
// overlap and without searching its own replacements again, in the text the
// previous steps left. Hosts rely on that chaining (a replacement may be
// rewritten again by a later step), so it is kept exactly.
//
// Running thousands of steps over the whole text would cost steps x length.
// Two shortcuts keep the result and drop that cost:
// - When no search text and no replacement holds a bracket other than its
//   first and last character (the usual catalog), a match can only be a
//   bracketed token without inner brackets, and replacing one never creates a
//   match that reaches outside it. Each such token of the text then simply
//   follows its own chain of steps: one pass over the text.
// - Otherwise only the steps whose search text actually occurs are run: every
//   search text starts with '[' and ends with ']', so the candidates are the
//   bracketed substrings of the text, looked up in a hash. After a step only
//   the text around its replacements can hold new candidates, so only that
//   is searched again.
// Calls found(open, close) for each token of the text that runs from a '[' to
// the next bracket when that is a ']', left to right; another '[' there starts
// a new candidate. These are the only places a bracketed name without inner
// brackets can match.
template <typename Found>
void forEachBracketToken(QStringView text, Found &&found)
{
    for (qsizetype open = text.indexOf(u'['); open >= 0;) {
        qsizetype close = open + 1;
        while (close < text.size() && text[close] != u'[' && text[close] != u']')
            ++close;
        if (close == text.size())
            return;
        if (text[close] == u'[') {
            open = close;
            continue;
        }
        found(open, close);
        open = text.indexOf(u'[', close + 1);
    }
}

class BracketReplacer
{
public:
    struct Step
    {
        QString search;      // "[" ... "]"
        QString replacement;
    };

    explicit BracketReplacer(std::vector<Step> steps);

    QString apply(const QString &text) const;

    qsizetype size() const { return qsizetype(m_steps.size()); }

private:
    struct Pending;
    QString applyToTokens(const QString &text) const;
    QString applyStepByStep(const QString &text) const;
    void collect(QStringView text, qsizetype from, qsizetype to, Pending &pending) const;

    std::vector<Step> m_steps;
    // Search text -> the steps that search for it, in step order.
    QHash<QStringView, QList<int>> m_bySearch;
    qsizetype m_longest = 0;
    bool m_tokensOnly = true;
};

// Turns each run of k CR LF pairs into ceil(k / 10) blanks: runs of ten, then
// nine, ... then one pair are each replaced by one blank. A lone CR or LF
// stays.
QString RemoveLineBreaks(const QString &text);

} // namespace nvtarnix
