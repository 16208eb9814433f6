#pragma once

#include <QObject>
#include <QStringList>

// The push-down checks of tarnix apply that every database answers alike, run
// by each database's test class: the --explain account of a --count run, and
// --push-down require. A subclass names its database and adds the --explain
// rows only it has; the columns are from, rule, firstLine and lastLine.
class ApplyPushDownTests : public QObject
{
    Q_OBJECT

protected:
    // The option and value that name the database (--database FILE,
    // --postgres CONNINFO).
    virtual QStringList database() const = 0;
    // A source where [name] = [qty] raises no error and SQL does not write it.
    virtual QString typedSource() const = 0;
    virtual void addOwnExplainRows() = 0;

    // Where `tarnix apply` reads: "table", "table/key" or "query:SQL".
    QStringList source(const QString &name) const;

private slots:
    void explain_data();
    void explain();
    void require();
};
