#include "RuleGenerator.h"

namespace pushdowntest {

QString RuleNode::text() const
{
    QString out = pattern;
    // From the last, so that %1 does not eat the start of %10.
    for (int i = int(children.size()); i >= 1; --i)
        out.replace(QLatin1Char('%') + QString::number(i), children[size_t(i - 1)].text());
    return out;
}

int RuleNode::size() const
{
    int n = 1;
    for (const RuleNode &c : children)
        n += c.size();
    return n;
}

RuleGenerator::RuleGenerator(const RuleVocabulary &vocabulary, quint64 seed)
    : m_vocabulary(vocabulary), m_random(quint32(seed ^ (seed >> 32)))
{
}

RuleGenerator::RuleGenerator(const RuleVocabulary &vocabulary, std::function<int(int)> choose)
    : m_vocabulary(vocabulary), m_choose(std::move(choose))
{
}

QString RuleGenerator::anyVariable()
{
    const QStringList all = m_vocabulary.numberVariables + m_vocabulary.textVariables;
    return QLatin1Char('[') + all[pick(int(all.size()))] + QLatin1Char(']');
}

QString RuleGenerator::numberLiteral()
{
    static const QStringList literals =
        QStringLiteral("0 1 -1 2 0.5 2.5 0.125 -2.5 32767 32768 2147483647 2147483648 9007199254740993 100 1E+300 "
                       "#1/31/2024# Null 3")
            .split(QLatin1Char(' '));
    return literals[pick(int(literals.size()))];
}

QString RuleGenerator::textLiteral()
{
    static const QStringList literals{
        QStringLiteral("\"\""),     QStringLiteral("\" \""),     QStringLiteral("\"abc\""),
        QStringLiteral("\"ABC\""),  QStringLiteral("\"10\""),    QStringLiteral("\"10,5\""),
        QStringLiteral("\"10.5\""), QStringLiteral("\"αβγ\""),   QStringLiteral("\"ΑΒΓ\""),
        QStringLiteral("\"a\""),    QStringLiteral("\"😀\""),    QStringLiteral("\"\uE000\""),
        QStringLiteral("\"b\""),    QStringLiteral("\"2024-01-31\""), QStringLiteral("Null")};
    return literals[pick(int(literals.size()))];
}

RuleNode RuleGenerator::date(int depth)
{
    using K = RuleNode::Kind;
    if (depth <= 0 || pick(3) > 0) {
        if (pick(4) == 0) {
            static const QStringList literals{QStringLiteral("#1/31/2024#"), QStringLiteral("#2/29/2024#"),
                                              QStringLiteral("#12/31/9999#"), QStringLiteral("#1/1/100#"),
                                              QStringLiteral("#12/30/1899#"), QStringLiteral("#6/30/2025 12:00#"),
                                              QStringLiteral("Null"), QStringLiteral("Date()"), QStringLiteral("Now"),
                                              QStringLiteral("Date")};
            return {K::Date, literals[pick(int(literals.size()))], {}};
        }
        const QStringList &d = m_vocabulary.dateVariables;
        return {K::Date, QLatin1Char('[') + d[pick(int(d.size()))] + QLatin1Char(']'), {}};
    }
    static const QStringList shifts{QStringLiteral("%1 + %2"), QStringLiteral("%1 - %2"), QStringLiteral("%2 + %1")};
    return {K::Date, shifts[pick(int(shifts.size()))], {date(depth - 1), number(depth - 1)}};
}

RuleNode RuleGenerator::dateNumber(int depth)
{
    using K = RuleNode::Kind;
    static const QStringList intervals{QStringLiteral("d"), QStringLiteral("y"), QStringLiteral("m"),
                                       QStringLiteral("q"), QStringLiteral("yyyy"), QStringLiteral("w"),
                                       QStringLiteral("h")};
    switch (pick(4)) {
    case 0:
        return {K::Number,
                QStringLiteral("DateDiff(\"%1\", %2, %3)").arg(intervals[pick(int(intervals.size()))]).arg(
                    QStringLiteral("%1"), QStringLiteral("%2")),
                {date(depth - 1), date(depth - 1)}};
    case 1: {
        static const QStringList parts{QStringLiteral("Year(%1)"), QStringLiteral("Month(%1)"),
                                       QStringLiteral("Day(%1)"), QStringLiteral("Weekday(%1)")};
        // Now and then of a number, the serial of a date.
        return {K::Number, parts[pick(int(parts.size()))], {pick(4) ? date(depth - 1) : number(depth - 1)}};
    }
    case 2: return {K::Number, QStringLiteral("%1 - %2"), {date(depth - 1), date(depth - 1)}};
    default: return {K::Number, QStringLiteral("Year(%1) - Year(%2)"), {date(depth - 1), date(depth - 1)}};
    }
}

RuleNode RuleGenerator::dateCondition(int depth)
{
    using K = RuleNode::Kind;
    static const QStringList comparisons{QStringLiteral("%1 = %2"),  QStringLiteral("%1 <> %2"),
                                         QStringLiteral("%1 < %2"),  QStringLiteral("%1 > %2"),
                                         QStringLiteral("%1 <= %2"), QStringLiteral("%1 >= %2")};
    const QString op = comparisons[pick(int(comparisons.size()))];
    switch (pick(4)) {
    case 0: return {K::Condition, op, {date(depth - 1), date(depth - 1)}};
    case 1: return {K::Condition, op, {dateNumber(depth - 1), number(depth - 1)}};
    case 2: return {K::Condition, op, {date(depth - 1), number(depth - 1)}};
    default: return {K::Condition, op, {date(depth - 1), text(depth - 1)}};  // as users slip
    }
}

RuleNode RuleGenerator::number(int depth)
{
    using K = RuleNode::Kind;
    const auto leaf = [&]() -> RuleNode {
        if (pick(3) == 0)
            return {K::Number, numberLiteral(), {}};
        // Mostly number columns, sometimes any column.
        if (pick(5) == 0 || m_vocabulary.numberVariables.isEmpty())
            return {K::Number, anyVariable(), {}};
        return {K::Number, QLatin1Char('[') + m_vocabulary.numberVariables[pick(int(m_vocabulary.numberVariables.size()))]
                               + QLatin1Char(']'), {}};
    };
    if (depth <= 0 || pick(2) == 0)
        return leaf();
    static const QStringList binary{QStringLiteral("%1 + %2"), QStringLiteral("%1 - %2"), QStringLiteral("%1 * %2"),
                                    QStringLiteral("%1 / %2"), QStringLiteral("%1 \\ %2"), QStringLiteral("%1 Mod %2")};
    switch (pick(8)) {
    case 0: case 1: case 2:
        return {K::Number, binary[pick(int(binary.size()))], {number(depth - 1), number(depth - 1)}};
    case 3: return {K::Number, QStringLiteral("Len(%1)"), {text(depth - 1)}};
    case 4: return {K::Number, QStringLiteral("-%1"), {number(depth - 1)}};
    case 5: {
        static const QStringList rounding{QStringLiteral("Round(%1)"), QStringLiteral("Round(%1, 1)"),
                                          QStringLiteral("Round(%1, 2)"), QStringLiteral("CInt(%1)"),
                                          QStringLiteral("CLng(%1)"), QStringLiteral("Abs(%1)"),
                                          QStringLiteral("Fix(%1)"), QStringLiteral("Int(%1)"),
                                          QStringLiteral("Sgn(%1)")};
        return {K::Number, rounding[pick(int(rounding.size()))], {number(depth - 1)}};
    }
    case 6: return {K::Number, QStringLiteral("InStr(%1, %2)"), {text(depth - 1), text(depth - 1)}};
    default: return {K::Number, QStringLiteral("(%1)"), {number(depth - 1)}};
    }
}

RuleNode RuleGenerator::text(int depth)
{
    using K = RuleNode::Kind;
    if (depth <= 0 || pick(2) == 0) {
        if (pick(3) == 0)
            return {K::Text, textLiteral(), {}};
        if (pick(5) == 0 || m_vocabulary.textVariables.isEmpty())
            return {K::Text, anyVariable(), {}};
        return {K::Text, QLatin1Char('[') + m_vocabulary.textVariables[pick(int(m_vocabulary.textVariables.size()))]
                             + QLatin1Char(']'), {}};
    }
    static const QStringList unary{QStringLiteral("UCase(%1)"), QStringLiteral("LCase(%1)"), QStringLiteral("Trim(%1)"),
                                   QStringLiteral("LTrim(%1)"), QStringLiteral("RTrim(%1)"), QStringLiteral("Left(%1, 2)"),
                                   QStringLiteral("Right(%1, 1)"), QStringLiteral("Right(%1, 0)"),
                                   QStringLiteral("Mid(%1, 2)"), QStringLiteral("Mid(%1, 2, 1)"),
                                   QStringLiteral("Left(%1, 0)"), QStringLiteral("Replace(%1, \"a\", \"αβ\")"),
                                   QStringLiteral("Replace(%1, \"\", \"b\")"), QStringLiteral("Space(2) & %1")};
    if (pick(4) == 0)
        return {K::Text, QStringLiteral("%1 & %2"), {text(depth - 1), text(depth - 1)}};
    if (pick(8) == 0)
        return {K::Text, QStringLiteral("Mid(%1, %2)"), {text(depth - 1), number(depth - 1)}};
    if (pick(10) == 0 && !m_vocabulary.numberVariables.isEmpty()) {
        const QStringList &n = m_vocabulary.numberVariables;
        const QString column = QLatin1Char('[') + n[pick(int(n.size()))] + QLatin1Char(']');
        return {K::Text, pick(2) ? QStringLiteral("CStr(%1)") : QStringLiteral("Hex(%1)"),
                {RuleNode{K::Number, column, {}}}};
    }
    return {K::Text, unary[pick(int(unary.size()))], {text(depth - 1)}};
}

RuleNode RuleGenerator::condition(int depth)
{
    using K = RuleNode::Kind;
    static const QStringList comparisons{QStringLiteral("%1 = %2"),  QStringLiteral("%1 <> %2"),
                                         QStringLiteral("%1 < %2"),  QStringLiteral("%1 > %2"),
                                         QStringLiteral("%1 <= %2"), QStringLiteral("%1 >= %2")};
    const auto comparison = [&]() -> RuleNode {
        const QString op = comparisons[pick(int(comparisons.size()))];
        switch (pick(5)) {
        case 0: case 1: return {K::Condition, op, {number(depth - 1), number(depth - 1)}};
        case 2: case 3: return {K::Condition, op, {text(depth - 1), text(depth - 1)}};
        default: return {K::Condition, op, {number(depth - 1), text(depth - 1)}};  // mixed, as users slip
        }
    };
    // Dates, where the table has them, in a third of the conditions.
    if (!m_vocabulary.dateVariables.isEmpty() && pick(3) == 0)
        return dateCondition(depth);
    if (depth <= 0)
        return comparison();
    switch (pick(10)) {
    case 0: case 1: case 2: case 3: return comparison();
    case 4: return {K::Condition, QStringLiteral("%1 And %2"), {condition(depth - 1), condition(depth - 1)}};
    case 5: return {K::Condition, QStringLiteral("%1 Or %2"), {condition(depth - 1), condition(depth - 1)}};
    case 6: return {K::Condition, QStringLiteral("Not (%1)"), {condition(depth - 1)}};
    case 7: return {K::Condition, QStringLiteral("IsNull(%1)"), {pick(2) ? number(depth - 1) : text(depth - 1)}};
    case 8: {
        static const QStringList other{QStringLiteral("(%1) Xor (%2)"), QStringLiteral("(%1) Eqv (%2)"),
                                       QStringLiteral("(%1) Imp (%2)")};
        return {K::Condition, other[pick(int(other.size()))], {condition(depth - 1), condition(depth - 1)}};
    }
    default: {
        // Parts no dialect writes, under Not and Or as well as And.
        static const QStringList opaque{QStringLiteral("IsNumeric(%1)"), QStringLiteral("IsEmpty(%1)"),
                                        QStringLiteral("%1 = [n1]"), QStringLiteral("%1 < [r1]"),
                                        QStringLiteral("StrComp(%1, \"abc\", 1) = 0"),
                                        QStringLiteral("Hex(%1) = \"A\""), QStringLiteral("CStr(%1) = \"1\"")};
        return {K::Condition, opaque[pick(int(opaque.size()))], {RuleNode{K::Text, anyVariable(), {}}}};
    }
    }
}

namespace {

void collect(const RuleNode &node, RuleNode::Kind kind, std::vector<const RuleNode *> &out)
{
    for (const RuleNode &c : node.children) {
        if (c.kind == kind)
            out.push_back(&c);
        collect(c, kind, out);
    }
}

} // namespace

std::vector<RuleNode> simplerRules(const RuleNode &rule)
{
    std::vector<RuleNode> out;
    // The whole replaced by one of its parts of the same kind...
    std::vector<const RuleNode *> parts;
    collect(rule, rule.kind, parts);
    for (const RuleNode *p : parts)
        out.push_back(*p);
    // ...or one child made simpler.
    for (size_t i = 0; i < rule.children.size(); ++i)
        for (RuleNode &simpler : simplerRules(rule.children[i])) {
            RuleNode copy = rule;
            copy.children[i] = std::move(simpler);
            out.push_back(std::move(copy));
        }
    return out;
}

} // namespace pushdowntest
