#include "Differential.h"

#include "pushdown/RuleTranslator.h"
#include "vbscript/Operators.h"
#include "vbscript/ScriptError.h"

#include <QRandomGenerator>

#include <limits>

namespace pushdowntest {

namespace {

const QList<qint64> &integers()
{
    static const QList<qint64> values{0, -1, 1, 2, 3, 5, 10, 100, 32767, 32768, -32768, -32769, 2147483647,
                                      2147483648LL, -2147483648LL, -2147483649LL, 9007199254740992LL,
                                      9007199254740993LL, -9007199254740993LL, 9223372036854775807LL, 42, 7};
    return values;
}

const QList<double> &reals()
{
    static const QList<double> values{0.0, -0.0, 0.5, 2.5, -2.5, 1.5, 3.5, 0.125, -1.0, 1.0, 10.0, 100.25,
                                      1e300, -1e300, 1.7976931348623157e308, 0.49999999999999994, 123.456,
                                      9007199254740993.0, 2147483647.5, 2147483648.0, 32767.5, 1e-300,
                                      std::numeric_limits<double>::infinity()};
    return values;
}

const QStringList &texts()
{
    static const QStringList values{
        QString(), QStringLiteral(" "), QStringLiteral("  a  "), QStringLiteral("abc"), QStringLiteral("ABC"),
        QStringLiteral("Abc"), QStringLiteral("10"), QStringLiteral("10,5"), QStringLiteral("10.5"),
        QStringLiteral("1e3"), QStringLiteral("αβγ"), QStringLiteral("ΑΒΓ"), QStringLiteral("Ωμέγα"),
        QStringLiteral("é"), QStringLiteral("😀"), QStringLiteral("a😀b"), QStringLiteral("\uE000"),
        QStringLiteral("2024-01-31"), QStringLiteral("31/01/2024"), QStringLiteral("2024-02-30"),
        QStringLiteral("a\tb"), QStringLiteral("b"), QStringLiteral("-1"), QStringLiteral("1.234,5"),
        QStringLiteral("ß"), QStringLiteral("ǅ"), QStringLiteral("  "), QStringLiteral("a b")};
    return values;
}

const QStringList &invalidDateTexts()
{
    static const QStringList values{
        QStringLiteral("2024-02-30"), QStringLiteral("2023-02-29"), QStringLiteral("2024-2-5"),
        QStringLiteral("31/01/2024"), QStringLiteral("2024/01/31"), QStringLiteral("2024-01-31x"),
        QStringLiteral("0000-01-01"), QStringLiteral("10000-01-01"), QStringLiteral("abc"), QString(),
        QStringLiteral(" 2024-01-31"), QStringLiteral("2024-01-31T10:00"), QStringLiteral("２０２４-01-31")};
    return values;
}

StoredValue randomValue(TableShape::Column::Holds holds, QRandomGenerator &random)
{
    using H = TableShape::Column::Holds;
    H kind = holds;
    if (holds == H::Dates) {
        const int k = int(random.bounded(10));
        if (k < 6)
            return validDateTexts()[random.bounded(int(validDateTexts().size()))];
        if (k < 8)
            return invalidDateTexts()[random.bounded(int(invalidDateTexts().size()))];
        kind = H::Anything;
    }
    if (holds == H::Anything) {
        const int k = int(random.bounded(9));
        if (k == 8)
            return QByteArray("b\xc3\xa9", 3);  // a blob, read as UTF-8 text
        kind = k < 3 ? H::Integers : k < 5 ? H::Reals : H::Text;
    }
    switch (kind) {
    case H::Integers: return integers()[random.bounded(int(integers().size()))];
    case H::Reals: return reals()[random.bounded(int(reals().size()))];
    default: return texts()[random.bounded(int(texts().size()))];
    }
}

} // namespace

const QStringList &validDateTexts()
{
    // Mostly plain days, as date columns hold them.
    static const QStringList values = QStringLiteral(
        "2024-01-31,2024-02-29,2025-06-30,2025-05-31,2023-12-31,2024-01-01,1899-12-30,1899-12-29,1900-03-01,"
        "1970-01-01,0100-01-01,9999-12-31,0099-12-31,2024-03-31,2024-12-31,"
        "2024-01-31 12:00:00,1899-12-29 06:00:00,9999-12-31 23:59:59,0100-01-01 00:00:01,2024-06-15 23:59:59,"
        "infinity,-infinity,0044-03-15 BC").split(QLatin1Char(','));
    return values;
}

std::vector<StoredRow> randomRows(const TableShape &shape, int count, quint64 seed)
{
    QRandomGenerator random(quint32(seed ^ (seed >> 32)));
    const int nullPercent = 10 + int(random.bounded(21));
    std::vector<StoredRow> rows;
    rows.reserve(size_t(count));
    for (int r = 0; r < count; ++r) {
        StoredRow row;
        for (const auto &column : shape.columns)
            row.push_back(int(random.bounded(100)) < nullPercent ? StoredValue() : randomValue(column.holds, random));
        rows.push_back(std::move(row));
    }
    return rows;
}

EngineVerdict engineVerdict(const vbscript::CompiledExpression &rule, std::vector<vbscript::Variant> row,
                            const vbscript::RuleSettings &settings)
{
    try {
        const vbscript::Variant v = rule.evaluate(std::span<vbscript::Variant>(row.data(), row.size()), settings);
        const vbscript::ExecutionSettings truthSettings{settings.locale, vbscript::Limits()};
        return {vbscript::ops::truth(truthSettings, v), 0};
    } catch (const vbscript::ScriptError &e) {
        return {false, e.number()};
    }
}

std::optional<Mismatch> compareRule(DifferentialDatabase &db, const TableShape &shape, const QString &text,
                                    const std::vector<std::vector<vbscript::Variant>> &engineRows,
                                    const vbscript::RuleSettings &settings, std::array<int, 3> *outcomes)
{
    std::shared_ptr<const vbscript::CompiledExpression> rule;
    try {
        rule = vbscript::CompiledExpression::compile(text);
    } catch (const vbscript::ScriptError &) {
        return std::nullopt;  // the generator wrote something the engine does not parse
    }
    QList<nvtarnix::pushdown::ColumnBinding> bindings;
    for (const auto &c : shape.columns)
        bindings.append({c.name, c.name, c.binding});
    const auto t = nvtarnix::pushdown::translateRule(*rule, db.dialect(), bindings, settings.now);
    if (outcomes)
        ++(*outcomes)[int(t.outcome)];
    if (t.outcome == nvtarnix::pushdown::Outcome::Fail)
        return std::nullopt;
    QString refusal;
    const auto fetched = db.fetch(t, refusal);
    if (!fetched) {
        return Mismatch{text, -1, QStringLiteral("the database refused the SQL: %1\n%2").arg(refusal, t.explanation())};
    }
    // Variables in the rule's order, each its column's value.
    std::vector<int> columnOf;
    for (const QString &v : rule->variables())
        for (size_t i = 0; i < shape.columns.size(); ++i)
            if (shape.columns[i].name.compare(v, Qt::CaseInsensitive) == 0)
                columnOf.push_back(int(i));
    std::vector<int> state(engineRows.size(), 0);  // 0 left out, 1 decided True by SQL, 2 left to the engine
    for (const FetchedRow &f : *fetched)
        state[size_t(f.row)] = (f.flagged || t.outcome == nvtarnix::pushdown::Outcome::Partial) ? 2 : 1;
    for (size_t r = 0; r < engineRows.size(); ++r) {
        if (state[r] == 2)
            continue;  // the engine decides it, as without push-down
        std::vector<vbscript::Variant> values;
        for (int c : columnOf)
            values.push_back(engineRows[r][size_t(c)]);
        const EngineVerdict v = engineVerdict(*rule, std::move(values), settings);
        if (state[r] == 1 && (!v.isTrue || v.error))
            return Mismatch{text, int(r),
                            QStringLiteral("SQL keeps the row, the engine gives %1\n%2")
                                .arg(v.error ? QStringLiteral("error %1").arg(v.error) : QStringLiteral("not True"),
                                     t.explanation())};
        if (state[r] == 0 && (v.isTrue || v.error))
            return Mismatch{text, int(r),
                            QStringLiteral("SQL leaves the row out, the engine gives %1\n%2")
                                .arg(v.error ? QStringLiteral("error %1").arg(v.error) : QStringLiteral("True"),
                                     t.explanation())};
    }
    return std::nullopt;
}

ShrunkCase shrink(DifferentialDatabase &db, const TableShape &shape, RuleNode rule, std::vector<StoredRow> rows,
                  const vbscript::RuleSettings &settings)
{
    db.load(shape, rows);
    auto engine = db.engineRows();
    std::optional<Mismatch> m = compareRule(db, shape, rule.text(), engine, settings);
    // The rows first: only the failing one.
    if (m && m->row >= 0) {
        rows = {rows[size_t(m->row)]};
        db.load(shape, rows);
        engine = db.engineRows();
        m = compareRule(db, shape, rule.text(), engine, settings);
    }
    for (bool smaller = true; smaller && m;) {
        smaller = false;
        for (RuleNode &candidate : simplerRules(rule)) {
            if (candidate.size() >= rule.size())
                continue;
            if (auto cm = compareRule(db, shape, candidate.text(), engine, settings)) {
                rule = std::move(candidate);
                m = cm;
                smaller = true;
                break;
            }
        }
    }
    return {rule.text(), rows, m ? m->what : QString()};
}

QString storedText(const StoredValue &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: return QStringLiteral("i:") + QString::number(v.toLongLong());
    case QMetaType::Double: return QStringLiteral("r:") + QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QString: return QStringLiteral("t:") + QString::fromLatin1(v.toString().toUtf8().toPercentEncoding());
    case QMetaType::QByteArray: return QStringLiteral("b:") + QString::fromLatin1(v.toByteArray().toHex());
    default: return QStringLiteral("null");
    }
}

StoredValue storedValue(const QString &text)
{
    const QString rest = text.mid(2);
    if (text.startsWith(QLatin1String("i:")))
        return rest.toLongLong();
    if (text.startsWith(QLatin1String("r:")))
        return rest == QLatin1String("inf") ? std::numeric_limits<double>::infinity() : rest.toDouble();
    if (text.startsWith(QLatin1String("t:")))
        return QString::fromUtf8(QByteArray::fromPercentEncoding(rest.toLatin1()));
    if (text.startsWith(QLatin1String("b:")))
        return QByteArray::fromHex(rest.toLatin1());
    return StoredValue();
}

} // namespace pushdowntest
