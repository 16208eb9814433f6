#include "DemoDatabase.h"

#include "SampleOrders.h"
#include "SqlTransaction.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Language.h>

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


// PRAGMA user_version of a database that holds everything this demo reads;
// one from the first demo, without customers and orders, reads 0, one that
// has the orders but its fields' texts in English only reads 2.
constexpr int SchemaVersion = 3;
constexpr int OrdersVersion = 2;

// The columns of the fields table that hold what a Greek user reads of a
// field: its caption, group and help; the columns without _el hold the
// English texts.
const char *const GreekColumns[] = {"vardescription_el", "groupcaption_el", "helpstring_el"};

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
    " helpstring TEXT NOT NULL DEFAULT '',"
    " vardescription_el TEXT NOT NULL DEFAULT '',"
    " groupcaption_el TEXT NOT NULL DEFAULT '',"
    " helpstring_el TEXT NOT NULL DEFAULT '')",
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

// The data the rules select from; the columns are named by the fields'
// varIDs, so a rule's variables name them. Dates are ISO texts (yyyy-mm-dd).
const char *const OrderTables[] = {
    "CREATE TABLE customers (CUST_ID INTEGER PRIMARY KEY, CUST_NAME TEXT NOT NULL,"
    " CUST_CITY TEXT NOT NULL, CUST_COUNTRY INTEGER NOT NULL, CUST_SINCE TEXT NOT NULL)",
    "CREATE TABLE orders (ORD_NO INTEGER PRIMARY KEY,"
    " CUST_ID INTEGER NOT NULL REFERENCES customers (CUST_ID),"
    " ORD_DATE TEXT NOT NULL, ORD_AMOUNT REAL NOT NULL, ORD_STATUS INTEGER NOT NULL,"
    " ORD_NOTES TEXT)",
};

QStringList orderTables(bool temporary)
{
    QStringList statements;
    for (const char *statement : OrderTables) {
        QString sql = QString::fromUtf8(statement);
        if (temporary)
            sql.replace(QLatin1String("CREATE TABLE"), QLatin1String("CREATE TEMP TABLE"));
        statements.append(sql);
    }
    return statements;
}

QString setSchemaVersion(int version = SchemaVersion)
{
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

// An order missing its customer still counts; its customer fields are NULL.
const char *const OrdersQuery =
    "SELECT o.ORD_NO, o.ORD_DATE, o.ORD_AMOUNT, o.ORD_STATUS, o.ORD_NOTES,"
    " c.CUST_ID, c.CUST_NAME, c.CUST_CITY, c.CUST_COUNTRY, c.CUST_SINCE"
    " FROM orders o LEFT JOIN customers c ON c.CUST_ID = o.CUST_ID ORDER BY o.ORD_NO";

QString isoDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

bool markedReadOnly(const QFileInfo &info)
{
    // The mode bits decide, not whether this user could write through them
    // (root could).
    return !(info.permissions()
             & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

} // namespace

DemoDatabase::DemoDatabase(const QString &path, int busyTimeoutMs)
    : m_path(path), m_connection(nextConnectionName()), m_busyTimeoutMs(busyTimeoutMs)
{
    try {
        open();

        // sqlite opens any file lazily; the first read tells whether it is a database.
        QSqlQuery probe(database());
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next())
            raiseDemoError(DemoErrorOpen, QStringLiteral("Cannot open the database %1").arg(path),
                 probe.lastError().text());
        const int objects = probe.value(0).toInt();
        probe.finish();

        if (objects == 0) {
            createSample();
        } else if (!hasTable(QStringLiteral("rules")) || !hasTable(QStringLiteral("fields"))) {
            raiseDemoError(DemoErrorOpen, QStringLiteral("%1 is not a tarnix-demo database").arg(path),
                 QStringLiteral("it has no rules or fields table"));
        } else {
            addOrders();
            addGreekTexts();
        }
    } catch (...) {
        closeConnection(m_connection);
        throw;
    }
}

DemoDatabase::~DemoDatabase()
{
    closeConnection(m_connection);
}

void DemoDatabase::open()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    // A locked database is reported after this wait instead of freezing the window.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs);
    const QFileInfo info(m_path);
    m_readOnly = info.exists() && markedReadOnly(info);
    if (!info.exists())
        QDir().mkpath(info.absolutePath());
    else if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        raiseDemoError(DemoErrorOpen, QStringLiteral("Cannot open the database %1").arg(m_path),
             db.lastError().text());
}

void DemoDatabase::closeConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void DemoDatabase::reopenIfWritable()
{
    if (!m_readOnly || markedReadOnly(QFileInfo(m_path)))
        return;
    // Open the file anew beside the old connection, and keep the old one
    // should anything fail: the window goes on reading through it.
    const QString previous = m_connection;
    const bool ordersInMemory = m_ordersInMemory;
    m_connection = nextConnectionName();
    try {
        open();
        if (ordersInMemory) {
            // The orders in memory went with the old connection.
            m_ordersInMemory = false;
            addOrders();
        }
    } catch (const nvtarnix::Error &) {
        closeConnection(m_connection);
        m_connection = previous;
        m_readOnly = true;
        m_ordersInMemory = ordersInMemory;
        return;
    }
    closeConnection(previous);
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
    SqlTransaction t(database(), DemoErrorOpen,
                  QStringLiteral("Cannot create the database %1").arg(m_path));
    for (const char *statement : CreateStatements)
        t.run(QString::fromUtf8(statement));

    QSqlQuery field = t.prepare(QStringLiteral(
        "INSERT INTO fields (position, varID, vardescription, vartype, varsize, searchtype,"
        " hasvaluelist, valuelist, listvalue, ListText, groupcaption, sampledata, helpstring,"
        " vardescription_el, groupcaption_el, helpstring_el)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QList<DemoField> english = sampleFields(nvtarnix::EnglishLanguage);
    const QList<DemoField> greek = sampleFields(nvtarnix::GreekLanguage);
    for (int i = 0; i < english.size(); ++i) {
        const DemoField &f = english[i];
        const DemoField &g = greek[i];
        t.run(field, {i + 1, text(f.varID), text(f.vardescription), f.vartype.toInt(),
                      f.varsize.toInt(), f.searchtype.toInt(), f.hasvaluelist.toInt(),
                      text(f.valuelist), text(f.listvalue), text(f.ListText),
                      text(f.groupcaption), text(f.sampledata), text(f.helpstring),
                      text(g.vardescription), text(g.groupcaption), text(g.helpstring)});
    }

    const std::pair<const char *, QList<ValueListEntry>> lists[] = {
        {"countries", sampleCountries()},
        {"order_statuses", sampleOrderStatuses()},
        {"products", sampleProducts()}};
    for (const auto &[table, entries] : lists) {
        QSqlQuery entry = t.prepare(QStringLiteral("INSERT INTO %1 (code, description, description_el)"
                                                   " VALUES (?, ?, ?)")
                                        .arg(QString::fromLatin1(table)));
        for (const ValueListEntry &e : entries)
            t.run(entry, {e.code, e.english, e.greek});
    }

    QSqlQuery rule = t.prepare(QStringLiteral("INSERT INTO rules (name, expression) VALUES (?, ?)"));
    for (const SampleRule &r : sampleRules())
        t.run(rule, {text(r.name), text(r.expression)});
    t.commit();

    createOrders(orderTables(false) << setSchemaVersion(),
                 QStringLiteral("Cannot create the database %1").arg(m_path));
}

void DemoDatabase::addOrders()
{
    const bool hasCustomers = hasTable(QStringLiteral("customers"));
    const bool hasOrders = hasTable(QStringLiteral("orders"));
    if (hasCustomers && hasOrders)
        return;
    if (hasCustomers || hasOrders)
        raiseDemoError(DemoErrorOpen, QStringLiteral("%1 is not a tarnix-demo database").arg(m_path),
             QStringLiteral("it has a customers or an orders table, not both"));

    // A database of the first demo: it gets the sample orders, in the file
    // when it can take them, else for this session.
    const QString what = QStringLiteral("Cannot add the sample orders to %1").arg(m_path);
    if (!m_readOnly) {
        try {
            createOrders(orderTables(false) << setSchemaVersion(OrdersVersion), what);
            return;
        } catch (const nvtarnix::Error &) {
            // Locked, or read-only in a way the mode bits do not tell.
        }
    }
    createOrders(orderTables(true), what);
    m_ordersInMemory = true;
}

bool DemoDatabase::hasGreekTexts() const
{
    const QSqlRecord columns = database().record(QStringLiteral("fields"));
    for (const char *greek : GreekColumns)
        if (!columns.contains(QString::fromLatin1(greek)))
            return false;
    return true;
}

void DemoDatabase::addGreekTexts()
{
    if (m_readOnly || hasGreekTexts())
        return;
    // A database of an earlier demo: its fields get the sample's Greek
    // texts. One that cannot take them (locked) stays as it is, and its
    // fields read in Greek from the sample (fields()).
    try {
        SqlTransaction t(database(), DemoErrorOpen,
                         QStringLiteral("Cannot add the Greek texts of the fields to %1").arg(m_path));
        for (const char *greek : GreekColumns)
            t.run(QStringLiteral("ALTER TABLE fields ADD COLUMN %1 TEXT NOT NULL DEFAULT ''")
                      .arg(QString::fromLatin1(greek)));
        QSqlQuery update = t.prepare(QStringLiteral(
            "UPDATE fields SET vardescription_el = ?, groupcaption_el = ?, helpstring_el = ? WHERE varID = ?"));
        for (const DemoField &g : sampleFields(nvtarnix::GreekLanguage))
            t.run(update, {text(g.vardescription), text(g.groupcaption), text(g.helpstring), text(g.varID)});
        t.run(setSchemaVersion());
        t.commit();
    } catch (const nvtarnix::Error &) {
        // Locked, or read-only in a way the mode bits do not tell.
    }
}

void DemoDatabase::createOrders(const QStringList &statements, const QString &what)
{
    SqlTransaction t(database(), DemoErrorOpen, what);
    for (const QString &statement : statements)
        t.run(statement);

    // The temporary tables, when these are, come first in name lookup.
    const QList<SampleCustomer> customers = sampleCustomers();
    QSqlQuery customer = t.prepare(QStringLiteral(
        "INSERT INTO customers (CUST_ID, CUST_NAME, CUST_CITY, CUST_COUNTRY, CUST_SINCE)"
        " VALUES (?, ?, ?, ?, ?)"));
    for (const SampleCustomer &c : customers)
        t.run(customer, {c.id, c.name, c.city, c.country, isoDate(c.since)});

    QSqlQuery order = t.prepare(QStringLiteral(
        "INSERT INTO orders (ORD_NO, CUST_ID, ORD_DATE, ORD_AMOUNT, ORD_STATUS, ORD_NOTES)"
        " VALUES (?, ?, ?, ?, ?, ?)"));
    for (const SampleOrder &o : sampleOrders(customers))
        t.run(order, {o.number, o.customer, isoDate(o.date), double(o.cents) / 100.0, o.status,
                      o.notes.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(o.notes)});
    t.commit();
}

QList<DemoField> DemoDatabase::fields(int language) const
{
    const bool greek = language == nvtarnix::GreekLanguage;
    const bool stored = greek && hasGreekTexts();
    QString columns = QStringLiteral(
        "varID, vardescription, vartype, varsize, searchtype, hasvaluelist, valuelist,"
        " listvalue, ListText, groupcaption, sampledata, helpstring");
    if (stored)
        columns += QStringLiteral(", vardescription_el, groupcaption_el, helpstring_el");
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT %1 FROM fields ORDER BY position, varID").arg(columns)))
        raiseDemoError(DemoErrorOpen, QStringLiteral("Cannot read the fields of %1").arg(m_path),
             q.lastError().text());
    // A database that could not take the Greek texts reads them from the
    // sample, for the fields it shares with it.
    QHash<QString, DemoField> sample;
    if (greek && !stored)
        for (const DemoField &f : sampleFields(nvtarnix::GreekLanguage))
            sample.insert(f.varID, f);
    QList<DemoField> result;
    while (q.next()) {
        DemoField f;
        QString *const targets[] = {&f.varID,     &f.vardescription, &f.vartype,
                                  &f.varsize,   &f.searchtype,     &f.hasvaluelist,
                                  &f.valuelist, &f.listvalue,      &f.ListText,
                                  &f.groupcaption, &f.sampledata,  &f.helpstring};
        for (int i = 0; i < 12; ++i)
            *targets[i] = q.value(i).toString();
        if (stored) {
            // A field without a Greek text of its own shows its English one;
            // a Greek group stays empty only where the English one is.
            QString *const greekTargets[] = {&f.vardescription, &f.groupcaption, &f.helpstring};
            for (int i = 0; i < 3; ++i) {
                const QString translated = q.value(12 + i).toString();
                if (!translated.isEmpty())
                    *greekTargets[i] = translated;
            }
        } else if (const auto it = sample.constFind(f.varID); it != sample.cend()) {
            f.vardescription = it->vardescription;
            f.groupcaption = it->groupcaption;
            f.helpstring = it->helpstring;
        }
        result.append(f);
    }
    return result;
}

QList<Rule> DemoDatabase::rules() const
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT id, name, expression FROM rules ORDER BY id")))
        raiseDemoError(DemoErrorOpen, QStringLiteral("Cannot read the rules of %1").arg(m_path),
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
        raiseDemoError(DemoErrorOpen, QStringLiteral("Cannot read the rules of %1").arg(m_path),
             q.lastError().text());
    if (!q.next())
        raiseDemoError(DemoErrorRule, QStringLiteral("There is no rule %1 in %2").arg(id).arg(m_path), {});
    return {q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
}

void DemoDatabase::saveRuleExpression(int id, const QString &expression)
{
    const QString what = QStringLiteral("Cannot save the rule in %1").arg(m_path);
    SqlTransaction t(database(), DemoErrorSave, what);
    if (t.run(QStringLiteral("UPDATE rules SET expression = ? WHERE id = ?"), {text(expression), id}) != 1)
        raiseDemoError(DemoErrorRule, what, QStringLiteral("there is no rule %1").arg(id));
    t.commit();
}

bool DemoDatabase::saveRule(const Rule &rule)
{
    reopenIfWritable();
    SqlTransaction t(database(), DemoErrorSave,
                  QStringLiteral("Cannot save the rule \"%1\" in %2").arg(rule.name, m_path));
    const bool recreated =
        t.run(QStringLiteral("UPDATE rules SET expression = ? WHERE id = ?"),
              {text(rule.expression), rule.id})
        == 0;
    if (recreated)
        t.run(QStringLiteral("INSERT INTO rules (id, name, expression) VALUES (?, ?, ?)"),
              {rule.id, text(rule.name), text(rule.expression)});
    t.commit();
    return recreated;
}

QString DemoDatabase::ordersSql()
{
    return QString::fromLatin1(OrdersQuery);
}

QSqlQuery DemoDatabase::orders() const
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(QString::fromLatin1(OrdersQuery)))
        raiseDemoError(DemoErrorOrders, QStringLiteral("Cannot read the orders of %1").arg(m_path),
             q.lastError().text());
    return q;
}

QString DemoDatabase::valueListQuery(const QString &name, int language) const
{
    if (name.isEmpty() || !hasTable(name))
        raiseDemoError(DemoErrorValueList,
             QStringLiteral("The value list \"%1\" is not in %2").arg(name, m_path), {});
    const QSqlRecord columns = database().record(name);
    if (!columns.contains(QStringLiteral("code")) || !columns.contains(QStringLiteral("description")))
        raiseDemoError(DemoErrorValueList,
             QStringLiteral("The value list \"%1\" has no code and description columns").arg(name),
             {});
    const QString description =
        language == nvtarnix::GreekLanguage && columns.contains(QStringLiteral("description_el"))
            ? QStringLiteral("description_el")
            : QStringLiteral("description");
    const QString table = database().driver()->escapeIdentifier(name, QSqlDriver::TableName);
    return QStringLiteral("SELECT code, %1 AS description FROM %2").arg(description, table);
}

QHash<int, QString> DemoDatabase::valueListTexts(const QString &name, int language) const
{
    QSqlQuery q(database());
    if (!q.exec(valueListQuery(name, language)))
        raiseDemoError(DemoErrorValueList, QStringLiteral("Cannot read the value list \"%1\"").arg(name),
             q.lastError().text());
    QHash<int, QString> texts;
    while (q.next())
        texts.insert(q.value(0).toInt(), q.value(1).toString());
    return texts;
}

} // namespace tarnixdemo
