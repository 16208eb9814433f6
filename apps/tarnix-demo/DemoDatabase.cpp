#include "DemoDatabase.h"

#include <nvtarnix/Error.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>

namespace tarnixdemo {

namespace {

// A locked database is reported after this wait instead of freezing the window.
constexpr int BusyTimeoutMs = 1000;

constexpr int GreekLanguage = 1032;

// SQL binds a null QString as NULL; the tables hold empty texts instead.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("tarnix-demo-%1").arg(++counter);
}

const char *const CreateStatements[] = {
    "CREATE TABLE fields ("
    " position INTEGER NOT NULL,"
    " varID TEXT PRIMARY KEY,"
    " vardescription TEXT NOT NULL,"
    " vartype INTEGER NOT NULL,"
    " varsize INTEGER NOT NULL DEFAULT 0,"
    " searchtype INTEGER NOT NULL DEFAULT 3,"
    " hasvaluelist INTEGER NOT NULL DEFAULT 0,"
    " valuelist TEXT NOT NULL DEFAULT '',"
    " listvalue TEXT NOT NULL DEFAULT '',"
    " ListText TEXT NOT NULL DEFAULT '',"
    " groupcaption TEXT NOT NULL DEFAULT '',"
    " sampledata TEXT NOT NULL DEFAULT '',"
    " helpstring TEXT NOT NULL DEFAULT '')",
    // Value lists: description is English, description_el Greek. Any tool that
    // reads code and description (tarnix edit --value-lists) can use them as
    // they are.
    "CREATE TABLE countries (code INTEGER PRIMARY KEY, description TEXT NOT NULL,"
    " description_el TEXT NOT NULL)",
    "CREATE TABLE order_statuses (code INTEGER PRIMARY KEY, description TEXT NOT NULL,"
    " description_el TEXT NOT NULL)",
    "CREATE TABLE products (code INTEGER PRIMARY KEY, description TEXT NOT NULL,"
    " description_el TEXT NOT NULL)",
    "CREATE TABLE rules (id INTEGER PRIMARY KEY, name TEXT NOT NULL,"
    " expression TEXT NOT NULL DEFAULT '')",
};

} // namespace

DemoDatabase::DemoDatabase(const QString &path)
    : m_path(path), m_connection(nextConnectionName())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    const QFileInfo info(path);
    if (!info.exists()) {
        QDir().mkpath(info.absolutePath());
    } else if (!(info.permissions()
                 & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
        // A file marked read-only stays untouched, whoever runs the demo:
        // the mode bits decide, not whether this user could write through
        // them (root could).
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    db.setConnectOptions(options);
    if (!db.open())
        fail(DemoErrorOpen, QStringLiteral("Cannot open the database %1").arg(path),
             db.lastError().text());

    // sqlite opens any file lazily; the first read tells whether it is a database.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next())
        fail(DemoErrorOpen, QStringLiteral("Cannot open the database %1").arg(path),
             probe.lastError().text());
    const int objects = probe.value(0).toInt();
    probe.finish();

    if (objects == 0)
        createSample();
    else if (!hasTable(QStringLiteral("rules")) || !hasTable(QStringLiteral("fields")))
        fail(DemoErrorOpen, QStringLiteral("%1 is not a tarnix-demo database").arg(path),
             QStringLiteral("it has no rules or fields table"));
}

DemoDatabase::~DemoDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString DemoDatabase::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + QStringLiteral("/tarnix-demo.sqlite");
}

QSqlDatabase DemoDatabase::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void DemoDatabase::fail(int number, const QString &what, const QString &detail) const
{
    QString description = what;
    if (!detail.trimmed().isEmpty())
        description += QStringLiteral(": ") + detail.trimmed();
    throw nvtarnix::Error(number, QString::fromLatin1(DemoErrorSource), description);
}

bool DemoDatabase::hasTable(const QString &name) const
{
    QSqlQuery q(database());
    q.prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

void DemoDatabase::createSample()
{
    QSqlDatabase db = database();
    const QString what = QStringLiteral("Cannot create the database %1").arg(m_path);
    if (!db.transaction())
        fail(DemoErrorOpen, what, db.lastError().text());

    auto run = [&](QSqlQuery &q) {
        if (!q.exec()) {
            const QString detail = q.lastError().text();
            q.finish();
            db.rollback();
            fail(DemoErrorOpen, what, detail);
        }
    };

    for (const char *statement : CreateStatements) {
        QSqlQuery q(db);
        q.prepare(QString::fromUtf8(statement));
        run(q);
    }

    int position = 0;
    for (const DemoField &f : sampleFields()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO fields (position, varID, vardescription, vartype, varsize, searchtype,"
            " hasvaluelist, valuelist, listvalue, ListText, groupcaption, sampledata, helpstring)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v :
             {QVariant(++position), text(f.varID), text(f.vardescription),
              QVariant(f.vartype.toInt()), QVariant(f.varsize.toInt()),
              QVariant(f.searchtype.toInt()), QVariant(f.hasvaluelist.toInt()), text(f.valuelist),
              text(f.listvalue), text(f.ListText), text(f.groupcaption), text(f.sampledata),
              text(f.helpstring)})
            q.addBindValue(v);
        run(q);
    }

    const std::pair<const char *, QList<ValueListEntry>> lists[] = {
        {"countries", sampleCountries()},
        {"order_statuses", sampleOrderStatuses()},
        {"products", sampleProducts()}};
    for (const auto &[table, entries] : lists) {
        for (const ValueListEntry &e : entries) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO %1 (code, description, description_el)"
                                     " VALUES (?, ?, ?)")
                          .arg(QString::fromLatin1(table)));
            q.addBindValue(e.code);
            q.addBindValue(e.english);
            q.addBindValue(e.greek);
            run(q);
        }
    }

    for (const SampleRule &r : sampleRules()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO rules (name, expression) VALUES (?, ?)"));
        q.addBindValue(text(r.name));
        q.addBindValue(text(r.expression));
        run(q);
    }

    if (!db.commit()) {
        const QString detail = db.lastError().text();
        db.rollback();
        fail(DemoErrorOpen, what, detail);
    }
}

QList<DemoField> DemoDatabase::fields() const
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral(
            "SELECT varID, vardescription, vartype, varsize, searchtype, hasvaluelist, valuelist,"
            " listvalue, ListText, groupcaption, sampledata, helpstring"
            " FROM fields ORDER BY position, varID")))
        fail(DemoErrorOpen, QStringLiteral("Cannot read the fields of %1").arg(m_path),
             q.lastError().text());
    QList<DemoField> result;
    while (q.next()) {
        DemoField f;
        QString *const targets[] = {&f.varID,     &f.vardescription, &f.vartype,
                                  &f.varsize,   &f.searchtype,     &f.hasvaluelist,
                                  &f.valuelist, &f.listvalue,      &f.ListText,
                                  &f.groupcaption, &f.sampledata,  &f.helpstring};
        for (int i = 0; i < 12; ++i)
            *targets[i] = q.value(i).toString();
        result.append(f);
    }
    return result;
}

QList<Rule> DemoDatabase::rules() const
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT id, name, expression FROM rules ORDER BY id")))
        fail(DemoErrorOpen, QStringLiteral("Cannot read the rules of %1").arg(m_path),
             q.lastError().text());
    QList<Rule> result;
    while (q.next())
        result.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
    return result;
}

Rule DemoDatabase::rule(int id) const
{
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT id, name, expression FROM rules WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec())
        fail(DemoErrorOpen, QStringLiteral("Cannot read the rules of %1").arg(m_path),
             q.lastError().text());
    if (!q.next())
        fail(DemoErrorRule, QStringLiteral("There is no rule %1 in %2").arg(id).arg(m_path), {});
    return {q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
}

void DemoDatabase::saveRuleExpression(int id, const QString &expression)
{
    QSqlDatabase db = database();
    const QString what = QStringLiteral("Cannot save the rule in %1").arg(m_path);
    if (!db.transaction())
        fail(DemoErrorSave, what, db.lastError().text());

    QString detail;
    int number = DemoErrorSave;
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE rules SET expression = ? WHERE id = ?"));
        q.addBindValue(text(expression));
        q.addBindValue(id);
        if (!q.exec()) {
            detail = q.lastError().text();
        } else if (q.numRowsAffected() != 1) {
            number = DemoErrorRule;
            detail = QStringLiteral("there is no rule %1").arg(id);
        }
    }
    if (detail.isEmpty() && db.commit())
        return;
    if (detail.isEmpty())
        detail = db.lastError().text();
    db.rollback();
    fail(number, what, detail);
}

QString DemoDatabase::valueListQuery(const QString &name, int language) const
{
    if (name.isEmpty() || !hasTable(name))
        fail(DemoErrorValueList,
             QStringLiteral("The value list \"%1\" is not in %2").arg(name, m_path), {});
    const QSqlRecord columns = database().record(name);
    if (!columns.contains(QStringLiteral("code")) || !columns.contains(QStringLiteral("description")))
        fail(DemoErrorValueList,
             QStringLiteral("The value list \"%1\" has no code and description columns").arg(name),
             {});
    const QString description =
        language == GreekLanguage && columns.contains(QStringLiteral("description_el"))
            ? QStringLiteral("description_el")
            : QStringLiteral("description");
    const QString table = database().driver()->escapeIdentifier(name, QSqlDriver::TableName);
    return QStringLiteral("SELECT code, %1 AS description FROM %2").arg(description, table);
}

} // namespace tarnixdemo
