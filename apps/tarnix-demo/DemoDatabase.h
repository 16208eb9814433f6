#pragma once

#include "SampleData.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace tarnixdemo {

// Numbered errors of the demo host, raised as nvtarnix::Error with the source
// below so that they read like every other error the user meets.
enum DemoError {
    DemoErrorOpen = 32001,         // the database cannot be opened or created
    DemoErrorSave = 32002,         // a rule cannot be written (read-only, locked, ...)
    DemoErrorValueList = 32003,    // a value list the database does not hold
    DemoErrorRule = 32004,         // a rule id the database does not hold
};
inline constexpr const char *DemoErrorSource = "tarnix-demo";

struct Rule
{
    int id = 0;
    QString name;
    QString expression; // database form
};

// The demo's orders database: the data fields offered to the wizard, the value
// lists behind two of them and the stored rules. A file that does not exist
// yet is created with the sample; an existing one is used as it is.
class DemoDatabase
{
public:
    // Opens or creates the database at path; raises DemoErrorOpen.
    explicit DemoDatabase(const QString &path);
    ~DemoDatabase();
    DemoDatabase(const DemoDatabase &) = delete;
    DemoDatabase &operator=(const DemoDatabase &) = delete;

    // tarnix-demo.sqlite in the user's data folder.
    static QString defaultPath();

    QString path() const { return m_path; }
    QSqlDatabase database() const;

    QList<DemoField> fields() const;
    QList<Rule> rules() const;
    Rule rule(int id) const;

    // Writes one rule's expression in a transaction: either the new text is
    // stored or the rule keeps its old one. Raises DemoErrorSave/DemoErrorRule.
    void saveRuleExpression(int id, const QString &expression);

    // The SQL that answers value list `name` in `language` (1032 Greek, else
    // English): columns code and description. Raises DemoErrorValueList.
    QString valueListQuery(const QString &name, int language) const;

private:
    bool hasTable(const QString &name) const;
    void createSample();
    [[noreturn]] void fail(int number, const QString &what, const QString &detail) const;

    QString m_path;
    QString m_connection;
};

} // namespace tarnixdemo
