#include "CommandOptions.h"

#include "schema/SchemaFile.h"
#include "support/MainModule.h"

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

std::unique_ptr<nvtarnix::TarnixObject> CommandOptions::builder() const
{
    const QString path = m_parser.value(QStringLiteral("schema"));
    const auto schema = nvtarnix::SchemaFile::load(path);

    QString catalogID = m_parser.value(QStringLiteral("catalog"));
    if (catalogID.isEmpty()) {
        if (schema->Catalogs().Count() == 0)
            raise(nvtarnix::SchemaFile::InvalidDocument,
                  QStringLiteral("The schema file %1 holds no catalog").arg(path));
        catalogID = schema->Catalogs().Item(1)->ID();
    }
    if (!schema->Catalogs().Exists(catalogID))
        raise(5, QStringLiteral("Invalid procedure call or argument: the schema file %1 has no "
                                "catalog \"%2\"")
                     .arg(path, catalogID));
    const auto catalog = schema->GetCatalog(catalogID);

    QString viewID = m_parser.value(QStringLiteral("view"));
    if (viewID.isEmpty())
        viewID = catalog->defaultview();
    if (viewID.isEmpty()) {
        if (catalog->Views().Count() == 0)
            raise(nvtarnix::SchemaFile::InvalidDocument,
                  QStringLiteral("The catalog \"%1\" of %2 has no view").arg(catalogID, path));
        viewID = catalog->Views().Item(1)->ID();
    }
    if (!catalog->Views().Exists(viewID))
        raise(5, QStringLiteral("Invalid procedure call or argument: the catalog \"%1\" of %2 "
                                "has no view \"%3\"")
                     .arg(catalogID, path, viewID));

    nvtarnix::MainModule();
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    builder->setBuilderSchema(schema);
    builder->Init(catalogID, viewID);
    return builder;
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
        raise(75, QStringLiteral("Path/File access error: cannot read standard input"));
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
    std::fprintf(stderr, "tarnix %s: error %d: %s\n", qPrintable(m_command), error.number(),
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
