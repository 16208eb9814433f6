#pragma once

#include "SampleData.h"

#include <nvtarnix/Language.h>

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace tarnixdemo {

// Numbered errors of the demo host, raised as nvtarnix::Error with the source
// below so that they read like every other error the user meets.
enum DemoError {
    DemoErrorOpen = 32001,         // the database cannot be opened or created
    DemoErrorSave = 32002,         // a rule cannot be written (read-only, locked, ...)
    DemoErrorValueList = 32003,    // a value list the database does not hold
    DemoErrorRule = 32004,         // a rule id the database does not hold
    DemoErrorOrders = 32005,       // the orders cannot be read
};
inline constexpr const char *DemoErrorSource = "tarnix-demo";

struct Rule
{
    int id = 0;
    QString name;
    QString expression; // database form
};

// The demo's orders database: the data fields offered to the wizard, the value
// lists behind two of them, the stored rules and the customers and orders the
// rules select from. A file that does not exist yet is created with the
// sample. A database of an earlier demo, which has rules but no orders, gets
// the sample orders added; when it cannot be written they are kept in memory
// for the session instead (ordersInMemory()).
class DemoDatabase
{
public:
    // How long a write waits for another program's lock before it fails.
    static constexpr int DefaultBusyTimeoutMs = 1000;

    // Opens or creates the database at path; raises DemoErrorOpen.
    explicit DemoDatabase(const QString &path, int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~DemoDatabase();
    DemoDatabase(const DemoDatabase &) = delete;
    DemoDatabase &operator=(const DemoDatabase &) = delete;

    // tarnix-demo.sqlite in the user's data folder.
    static QString defaultPath();

    QString path() const { return m_path; }
    QSqlDatabase database() const;

    // The data fields with their caption, group and help as a user of
    // `language` reads them: Greek (the columns ending in _el) or English.
    QList<DemoField> fields(int language = nvtarnix::EnglishLanguage) const;
    QList<Rule> rules() const;
    Rule rule(int id) const;

    // Writes one rule's expression in a transaction: either the new text is
    // stored or the rule keeps its old one. Raises DemoErrorSave/DemoErrorRule.
    void saveRuleExpression(int id, const QString &expression);

    // Stores what the user accepted for a rule. A rule that another program
    // deleted meanwhile is created again under its id and name, so that the
    // edit is not lost; the result is true then. Raises DemoErrorSave.
    bool saveRule(const Rule &rule);

    // The orders with their customers, one row each in order of ORD_NO; the
    // columns are named by the fields' varIDs. Raises DemoErrorOrders.
    QSqlQuery orders() const;
    // The statement orders() runs, for a host that narrows it down in SQL.
    static QString ordersSql();
    // True when the file could not take the sample orders (read-only or
    // locked): they live in memory until the demo ends.
    bool ordersInMemory() const { return m_ordersInMemory; }

    // Code to text of value list `name` in `language`. Raises DemoErrorValueList.
    QHash<int, QString> valueListTexts(const QString &name, int language) const;

    // The SQL that answers value list `name` in `language` (1032 Greek, else
    // English): columns code and description. Raises DemoErrorValueList.
    QString valueListQuery(const QString &name, int language) const;

private:
    // Opens m_connection on the file, read-only when its mode bits say so.
    void open();
    static void closeConnection(const QString &name);
    // A file opened read-only because of its mode bits is opened again for
    // writing once they allow it, so that a retry after the user fixed them
    // succeeds.
    void reopenIfWritable();
    bool hasTable(const QString &name) const;
    void createSample();
    void addOrders();
    // Whether the fields table holds the Greek texts, and giving them to one
    // of an earlier demo that does not.
    bool hasGreekTexts() const;
    void addGreekTexts();
    // Runs `statements` and then fills the customers and orders tables.
    // Raises DemoErrorOpen with `what` in front of the database's message.
    void createOrders(const QStringList &statements, const QString &what);

    QString m_path;
    QString m_connection;
    int m_busyTimeoutMs;
    bool m_readOnly = false;
    bool m_ordersInMemory = false;
};

} // namespace tarnixdemo
