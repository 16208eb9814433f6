#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace pushdowntest {

// A random rule as a tree of text pieces, so that a rule that goes wrong can
// be cut down to a small one that still does.
struct RuleNode
{
    enum class Kind { Condition, Number, Text, Date };
    Kind kind = Kind::Condition;
    QString pattern;  // %1, %2, ... stand for the children
    std::vector<RuleNode> children;

    QString text() const;
    int size() const;
};

// What the rules may read: the variables of each kind of column. A
// variable of one kind is used now and then as another, as users do.
struct RuleVocabulary
{
    QStringList numberVariables;
    QStringList textVariables;
    QStringList dateVariables;  // rules over dates are made only with some
};

class RuleGenerator
{
public:
    RuleGenerator(const RuleVocabulary &vocabulary, quint64 seed);
    // Every choice taken from `choose`, which answers a number from 0 to
    // n - 1 for n choices: how a fuzzer steers the rules.
    RuleGenerator(const RuleVocabulary &vocabulary, std::function<int(int)> choose);

    RuleNode condition(int depth = 3);

private:
    RuleNode number(int depth);
    RuleNode text(int depth);
    RuleNode date(int depth);
    RuleNode dateNumber(int depth);
    RuleNode dateCondition(int depth);
    QString anyVariable();
    QString numberLiteral();
    QString textLiteral();
    int pick(int n) { return m_choose ? m_choose(n) : int(m_random.bounded(n)); }

    RuleVocabulary m_vocabulary;
    QRandomGenerator m_random;
    std::function<int(int)> m_choose;
};

// Smaller rules than `rule` of the same kind, each with one part replaced by
// one of its own parts of the same kind: the steps of shrinking.
std::vector<RuleNode> simplerRules(const RuleNode &rule);

} // namespace pushdowntest
