#pragma once

#include <nvtarnix/Error.h>

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnixcli {

// What the commands share: --schema, --catalog and --view (optional for
// apply), the expression argument, --help, and the way errors
// reach the user (number and description on standard error, exit status 2).
class CommandOptions
{
public:
    // `command` is the subcommand's name; `synopsis` its usage after
    // "tarnix <command>"; `description` one paragraph for --help.
    CommandOptions(QString command, QString synopsis, QString description);

    QCommandLineParser &parser() { return m_parser; }
    // For a command that also works without a schema file: parse() then lets
    // --schema be absent, but still refuses --catalog or --view without it.
    void setSchemaOptional() { m_schemaOptional = true; }
    bool hasSchema() const { return m_parser.isSet(QStringLiteral("schema")); }
    const QString &command() const { return m_command; }

    // --language 1032|1033 (el|en): the language of the command's messages.
    void addLanguageOption();
    // Makes the language asked for the thread's; raises a UsageProblem for
    // one the wizard does not speak. Nothing when the option is not given.
    void applyLanguage() const;
    // --specified: the wizard exactly as specified, without the guided
    // editing that the command otherwise turns on.
    void addSpecifiedOption();
    bool guidedEditing() const;

    // Parses the arguments that follow the subcommand. Returns an exit status
    // when the command is already done (--help: 0, a usage error: 2).
    std::optional<int> parse(const QStringList &arguments);

    // The expression: the TEXT argument, or standard input for "-" or none
    // (one final line break dropped, as shells and editors add it).
    QString expression() const;

    // Prints the error, and the usage line after a UsageProblem; returns the
    // exit status for it (2).
    int fail(const nvtarnix::Error &error) const;

private:
    QString m_command;
    QString m_synopsis;
    QCommandLineParser m_parser;
    bool m_schemaOptional = false;
};

// Error number for a command line that cannot be followed.
inline constexpr int UsageError = nvtarnix::errors::InvalidProcedureCall;

// A command line that cannot be followed (an unknown option, an argument too
// many or missing): reported with the command's usage line, so the user sees
// at once how the call should have looked.
class UsageProblem : public nvtarnix::Error
{
public:
    explicit UsageProblem(const QString &description)
        : nvtarnix::Error(UsageError, QStringLiteral("tarnix"), description)
    {
    }
};

// Prints "tarnix COMMAND: error NUMBER: DESCRIPTION" on standard error;
// returns the exit status 2.
int failWith(const QString &command, const nvtarnix::Error &error);

// Prints "tarnix COMMAND: error 5: DESCRIPTION" and the usage line
// "usage: tarnix COMMAND SYNOPSIS" on standard error; returns the exit status 2.
int failUsage(const QString &command, const QString &synopsis, const QString &description);

} // namespace tarnixcli
