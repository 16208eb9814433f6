#include "CommandOptions.h"
#include "SchemaBuilder.h"
#include "SchemaCommands.h"

#include <nvtarnix/Language.h>
#include <nvtarnix/Recordset.h>
#include <nvtarnix/SqlRecordset.h>

#include <QApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <memory>

namespace tarnixcli {

namespace {

const QString ValueListConnection = QStringLiteral("tarnix-value-lists");
const QString RowsConnection = QStringLiteral("tarnix-rows");

// An SQLite file whose tables and views answer the wizard's value lists, or
// hold the rows it counts a rule against, opened read-only: the wizard only
// ever reads them.
class ValueListFile
{
public:
    explicit ValueListFile(const QString &path, const QString &connection = ValueListConnection)
        : m_path(path), m_connection(connection)
    {
        if (!QFileInfo(path).isFile())
            throw nvtarnix::Error(nvtarnix::errors::FileNotFound, QStringLiteral("tarnix"),
                                  QStringLiteral("File not found: %1").arg(path));
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery probe(m_db);
        if (!m_db.open() || !probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            throw nvtarnix::Error(nvtarnix::Recordset::ConnectionInvalid, QStringLiteral("tarnix"),
                                  QStringLiteral("%1 is not an SQLite database: %2")
                                      .arg(path, probe.lastError().text()));
    }

    ~ValueListFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }

    QString connection() const { return m_connection; }

    // Raises 3265 for a name that is neither a table nor a view of the file.
    void require(const QString &name, const QString &what = QStringLiteral("value list")) const
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral(
            "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?"));
        q.addBindValue(name);
        if (!q.exec() || !q.next())
            throw nvtarnix::Error(nvtarnix::Recordset::ItemNotFound, QStringLiteral("tarnix"),
                                  QStringLiteral("Item cannot be found in the collection "
                                                 "corresponding to the requested name or "
                                                 "ordinal: the %3 \"%1\" is not a table "
                                                 "or view of %2")
                                      .arg(name, m_path, what));
    }

    std::shared_ptr<nvtarnix::Recordset> rows(const QString &name) const
    {
        require(name);
        const QString table = m_db.driver()->escapeIdentifier(name, QSqlDriver::TableName);
        return std::make_shared<nvtarnix::SqlRecordset>(m_db,
                                                        QStringLiteral("SELECT * FROM %1").arg(table));
    }

private:
    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
};

} // namespace

// tarnix edit: the wizard as a process, for hosts in any language.
int editCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("edit"),
        QStringLiteral("--schema FILE [--catalog ID --view ID] [--database-script TEXT] "
                       "[--value-lists DB.sqlite] [--rows DB.sqlite (--table NAME | --query SQL)] "
                       "[--language 1032|1033] [--specified]"),
        QStringLiteral("Opens the expression wizard on the variables of a schema file's view. "
                       "On OK the expression is printed in database form and the exit status "
                       "is 0; on Cancel nothing is printed and the exit status is 1. The wizard runs "
                       "with guided editing (GuidedEditing) unless --specified is given. Without "
                       "a display (DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM) it says so and "
                       "exits with status 2. With --rows, "
                       "the wizard counts the expression against the rows of a table or query of "
                       "an SQLite file while it is written, each variable reading the column of "
                       "its ID."));
    QCommandLineParser &parser = options.parser();
    parser.addOption({QStringLiteral("database-script"),
                      QStringLiteral("The expression to start from, in database form."),
                      QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("value-lists"),
                      QStringLiteral("SQLite file whose table or view N answers the value list "
                                     "named N."),
                      QStringLiteral("DB.sqlite")});
    parser.addOption({QStringLiteral("rows"),
                      QStringLiteral("SQLite file whose rows the wizard counts the expression against."),
                      QStringLiteral("DB.sqlite")});
    parser.addOption({QStringLiteral("table"),
                      QStringLiteral("The table or view of --rows."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("query"),
                      QStringLiteral("A SELECT statement over --rows, in place of --table."),
                      QStringLiteral("SQL")});
    options.addLanguageOption();
    options.addSpecifiedOption();
    if (const auto done = options.parse(arguments))
        return *done;
    if (!parser.positionalArguments().isEmpty())
        return options.fail(UsageProblem(QStringLiteral("unexpected argument \"%1\"; the "
                                                        "expression goes in --database-script")
                                             .arg(parser.positionalArguments().first())));

    // The wizard is a window: the process must run a GUI application.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return options.fail(nvtarnix::Error(UsageError, QStringLiteral("tarnix"),
                                            QStringLiteral("the wizard needs a display: set DISPLAY or "
                                                           "WAYLAND_DISPLAY (or QT_QPA_PLATFORM=offscreen)")));

    try {
        options.applyLanguage();

        const auto builder = schemaBuilder(options.parser());
        std::unique_ptr<ValueListFile> lists;
        if (parser.isSet(QStringLiteral("value-lists"))) {
            lists = std::make_unique<ValueListFile>(parser.value(QStringLiteral("value-lists")));
            // Every list the view offers must be there before the user starts:
            // a missing one is a mistake in the call, not in the user's work.
            const auto view = builder->BuilderSchema()
                                  ->GetCatalog(builder->CurrentCatalog())
                                  ->Views()
                                  .Item(builder->CurrentView());
            for (const auto &field : view->Fields())
                if (field->offersValueList())
                    lists->require(field->valuelist());
            QObject::connect(builder.get(), &nvtarnix::TarnixObject::ListSourceRequest,
                             builder.get(),
                             [&lists](QString &vListName, QVariant &vData) {
                                 vData = QVariant::fromValue(lists->rows(vListName));
                             },
                             Qt::DirectConnection);
        }

        std::unique_ptr<ValueListFile> rows;
        if (parser.isSet(QStringLiteral("rows"))) {
            const QString table = parser.value(QStringLiteral("table"));
            const QString query = parser.value(QStringLiteral("query"));
            if (table.isEmpty() == query.isEmpty())
                throw UsageProblem(QStringLiteral("--rows needs exactly one of --table NAME and --query SQL"));
            rows = std::make_unique<ValueListFile>(parser.value(QStringLiteral("rows")), RowsConnection);
            if (!table.isEmpty())
                rows->require(table, QStringLiteral("table of rows"));
            nvtarnix::RowSource source;
            source.connectionName = rows->connection();
            source.table = table;
            source.query = query;
            builder->setRowSource(source);
        } else if (parser.isSet(QStringLiteral("table")) || parser.isSet(QStringLiteral("query"))) {
            throw UsageProblem(QStringLiteral("--table and --query need --rows DB.sqlite"));
        }

        builder->setGuidedEditing(options.guidedEditing());
        builder->LoadDefaultFunctions();
        builder->setShowHelpString(true);
        builder->setDatabaseScript(parser.value(QStringLiteral("database-script")));
        if (!builder->Edit())
            return 1;
        std::printf("%s\n", builder->DatabaseScript().toUtf8().constData());
        return 0;
    } catch (const nvtarnix::Error &e) {
        return options.fail(e);
    }
}

} // namespace tarnixcli
