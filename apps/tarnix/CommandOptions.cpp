#include "CommandOptions.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace tarnixcli {

namespace {

const QString CliSource = QStringLiteral("tarnix");

[[noreturn]] void raise(int number, const QString &description)
{
    throw nvtarnix::Error(number, CliSource, description);
}

} // namespace

CommandOptions::CommandOptions(QString command, QString synopsis, QString description)
    : m_command(std::move(command)), m_synopsis(std::move(synopsis))
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addHelpOption();
    m_parser.addOption({QStringLiteral("schema"),
                        QStringLiteral("The schema file (NortavineXMLData 2.6) that holds the "
                                       "variables."),
                        QStringLiteral("FILE")});
    m_parser.addOption({QStringLiteral("catalog"),
                        QStringLiteral("Catalog of the schema; the file's first one by default."),
                        QStringLiteral("ID")});
    m_parser.addOption({QStringLiteral("view"),
                        QStringLiteral("View of the catalog; the catalog's default view (or its "
                                       "first) by default."),
                        QStringLiteral("ID")});
}

void CommandOptions::addLanguageOption()
{
    m_parser.addOption({QStringLiteral("language"),
                        QStringLiteral("The language of the messages: 1032 (or el) Greek, 1033 (or en) "
                                       "English. By default the one NVTARNIX_LANGUAGE names, else Greek."),
                        QStringLiteral("1032|1033")});
}

void CommandOptions::addSpecifiedOption()
{
    m_parser.addOption({QStringLiteral("specified"),
                        QStringLiteral("The wizard exactly as specified: no guided editing (unknown names, "
                                       "the passing check's message and the editor's modern keys).")});
}

bool CommandOptions::guidedEditing() const
{
    return !m_parser.isSet(QStringLiteral("specified"));
}

std::optional<int> CommandOptions::parse(const QStringList &arguments)
{
    const QString program = QStringLiteral("tarnix ") + m_command;
    if (!m_parser.parse(QStringList{program} + arguments))
        return fail(UsageProblem(m_parser.errorText()));

    if (m_parser.isSet(QStringLiteral("help"))) {
        // QCommandLineParser names the program by its file; the usage line
        // reads better with the subcommand and its synopsis.
        QString help = m_parser.helpText();
        const qsizetype lineEnd = help.indexOf(QLatin1Char('\n'));
        help.replace(0, lineEnd, QStringLiteral("Usage: %1 %2").arg(program, m_synopsis));
        std::fputs(qPrintable(help), stdout);
        return 0;
    }
    if (!hasSchema()) {
        if (!m_schemaOptional)
            return fail(UsageProblem(QStringLiteral("--schema FILE is required")));
        if (m_parser.isSet(QStringLiteral("catalog")) || m_parser.isSet(QStringLiteral("view")))
            return fail(UsageProblem(QStringLiteral("--catalog and --view need --schema FILE")));
    }
    return std::nullopt;
}

QString CommandOptions::expression() const
{
    const QStringList words = m_parser.positionalArguments();
    if (words.size() > 1)
        throw UsageProblem(QStringLiteral("one expression expected, %1 given (quote it)")
                               .arg(words.size()));
    if (!words.isEmpty() && words.first() != QLatin1String("-"))
        return words.first();

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        raise(nvtarnix::errors::FileAccess, QStringLiteral("Path/File access error: cannot read standard input"));
    QString text = QString::fromUtf8(in.readAll());
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    else if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

int CommandOptions::fail(const nvtarnix::Error &error) const
{
    if (dynamic_cast<const UsageProblem *>(&error))
        return failUsage(m_command, m_synopsis, error.description());
    return failWith(m_command, error);
}

int failWith(const QString &command, const nvtarnix::Error &error)
{
    std::fprintf(stderr, "tarnix %s: error %d: %s\n", qPrintable(command), error.number(),
                 qPrintable(error.description()));
    return 2;
}

int failUsage(const QString &command, const QString &synopsis, const QString &description)
{
    std::fprintf(stderr, "tarnix %s: error %d: %s\nusage: tarnix %s %s\n", qPrintable(command),
                 UsageError, qPrintable(description), qPrintable(command), qPrintable(synopsis));
    return 2;
}

} // namespace tarnixcli
