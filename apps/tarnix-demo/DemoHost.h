#pragma once

#include "DemoDatabase.h"

#include <nvtarnix/TarnixObject.h>

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace tarnixdemo {

// What a host does with the wizard, kept apart from any window: one
// TarnixObject bound to the database's fields and functions, answering value
// list requests from the database, opening the wizard on a rule's expression.
class DemoHost : public QObject
{
    Q_OBJECT

public:
    explicit DemoHost(DemoDatabase &database, QObject *parent = nullptr);
    ~DemoHost() override;

    DemoDatabase &database() { return m_database; }
    nvtarnix::TarnixObject &builder() { return *m_builder; }

    // The wizard's user-interface language (1032 Greek, 1033 English).
    int language() const { return m_language; }
    // Switches the component's string service and starts a new builder, so
    // every caption of the wizard follows.
    void setLanguage(int language);

    // Whether the wizard runs with guided editing (on unless the demo was
    // started with --specified); applies from the next opening.
    bool guidedEditing() const { return m_guidedEditing; }
    void setGuidedEditing(bool on);

    // The text a user reads for a stored expression.
    QString displayForm(const QString &databaseForm);

    // Opens the wizard modally on an expression in database form. Returns the
    // accepted expression in database form, or nothing when the user
    // cancelled. Errors of the component pass on as nvtarnix::Error.
    std::optional<QString> edit(const QString &databaseForm);

    // The orders the wizard counts a rule against while it is written: the
    // rows the demo runs its rules over, bound as it binds them.
    nvtarnix::RowSource ordersRowSource() const;

    // The answer to ListSourceRequest: the rows of the value list from the
    // database, in the current language.
    void answerListSourceRequest(QString &vListName, QVariant &vData);

private:
    void rebuildBuilder();

    DemoDatabase &m_database;
    std::unique_ptr<nvtarnix::TarnixObject> m_builder;
    int m_language = 0;
    bool m_guidedEditing = true;
};

} // namespace tarnixdemo
