#include "RulePushDown.h"

#include <nvtarnix/Expression.h>

#include <QSqlDriver>

#include <algorithm>

#include <sqlite3.h>

namespace tarnixdemo {

using nvtarnix::pushdown::Binding;
using nvtarnix::pushdown::ColumnBinding;
using nvtarnix::pushdown::Outcome;

PushedRule pushDown(const nvtarnix::Expression &rule, const QStringList &columns, const QSet<QString> &dateColumns,
                    const QVariantMap &constants)
{
    PushedRule pushed;
    QList<ColumnBinding> bindings;
    for (const QString &variable : rule.variables()) {
        const QString upper = variable.toUpper();
        const auto column = std::find_if(columns.begin(), columns.end(), [&](const QString &c) {
            return c.compare(variable, Qt::CaseInsensitive) == 0;
        });
        if (column != columns.end()) {
            // The orders' tables are declared, not STRICT: any row may hold
            // any storage class, and the translation checks it per row.
            bindings.append({variable, *column,
                             dateColumns.contains(upper) ? Binding::SqliteIsoDate : Binding::SqliteStorageClass,
                             {}});
        } else if (constants.contains(upper)) {
            bindings.append({variable, {}, Binding::RunConstant, constants.value(upper)});
        }
    }
    pushed.translation = nvtarnix::pushdown::translate(rule, nvtarnix::pushdown::SqlDialect::SQLite, bindings);
    return pushed;
}

std::optional<QList<FetchedOrder>> fetchOrders(const QSqlDatabase &database, const QString &ordersSql,
                                               const PushedRule &rule, QString *error)
{
    const nvtarnix::pushdown::Translation &t = rule.translation;
    // Partial: every fetched row is the engine's to decide.
    const QString flagged
        = t.outcome == Outcome::Complete ? QStringLiteral("(%1) IS TRUE").arg(t.flagged) : QStringLiteral("1");
    const QByteArray sql = QStringLiteral("SELECT \"ORD_NO\", %1 FROM (%2) WHERE %3 ORDER BY \"ORD_NO\"")
                               .arg(flagged, ordersSql, t.where)
                               .toUtf8();
    // SQLite's own interface on the demo's connection: the parameters are
    // numbered (?1, ?2, ...) and typed, which Qt's placeholder handling
    // would rewrite.
    const QVariant handle = database.driver() ? database.driver()->handle() : QVariant();
    sqlite3 *db = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.constData())
        : nullptr;
    if (!db) {
        if (error)
            *error = QStringLiteral("the connection is not to SQLite");
        return std::nullopt;
    }
    sqlite3_stmt *statement = nullptr;
    const auto refused = [&]() -> std::optional<QList<FetchedOrder>> {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        return std::nullopt;
    };
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        return refused();
    for (int i = 0; i < t.parameters.size(); ++i) {
        const nvtarnix::pushdown::Parameter &p = t.parameters[i];
        int bound = SQLITE_OK;
        switch (p.type) {
        case nvtarnix::pushdown::Parameter::Type::Integer:
            bound = sqlite3_bind_int64(statement, i + 1, p.value.toLongLong());
            break;
        case nvtarnix::pushdown::Parameter::Type::Real:
            bound = sqlite3_bind_double(statement, i + 1, p.value.toDouble());
            break;
        case nvtarnix::pushdown::Parameter::Type::Text: {
            const QByteArray text = p.value.toString().toUtf8();
            bound = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        if (bound != SQLITE_OK)
            return refused();
    }
    QList<FetchedOrder> orders;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW)
        orders.append({sqlite3_column_int64(statement, 0), sqlite3_column_int(statement, 1) != 0});
    if (step != SQLITE_DONE)
        return refused();
    sqlite3_finalize(statement);
    return orders;
}

} // namespace tarnixdemo
