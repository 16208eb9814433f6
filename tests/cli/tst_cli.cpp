#include "CommandOptions.h"
#include "SchemaCommands.h"
#include "support/MlStringService.h"

#include "SqliteFile.h"
#include "TarnixProgram.h"
#include "TestMain.h"
#include "WindowVisit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using testsupport::press;
using testsupport::whenShown;

namespace {

const QString Schema = QStringLiteral(SAMPLE_SCHEMA_FILE);

using Run = TarnixRun;

Run tarnix(const QStringList &arguments, const QByteArray &input = {},
           const QString &language = QString())
{
    return runTarnix(arguments, input, {{QStringLiteral("NVTARNIX_LANGUAGE"), language}});
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A value-list file as a host would hand it over: countries, and the order
// statuses only when asked for.
void writeValueLists(const QString &path, bool withStatuses)
{
    testsupport::SqliteFile lists(path);
    QStringList statements{
        QStringLiteral("CREATE TABLE countries (code INTEGER, description TEXT)"),
        QStringLiteral("INSERT INTO countries VALUES (300, 'Greece'), (196, 'Cyprus'), (8, 'Albania')")};
    if (withStatuses) {
        statements << QStringLiteral("CREATE TABLE status_names (code INTEGER, name TEXT)")
                   << QStringLiteral("CREATE VIEW order_statuses AS"
                                     " SELECT code, name AS description FROM status_names")
                   << QStringLiteral("CREATE TABLE products (code INTEGER, description TEXT)");
    }
    QCOMPARE(lists.run(statements), QString());
}

// Standard output of an in-process call, as the caller of the tool sees it.
// The process's own standard output is back when finish() is called, or when
// the object goes, whichever comes first.
class CapturedOutput
{
public:
    CapturedOutput() : m_file(m_dir.filePath(QStringLiteral("out")))
    {
        std::fflush(stdout);
        m_saved = ::dup(1);
        const int fd = ::open(m_file.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 1);
        ::close(fd);
    }
    ~CapturedOutput() { restore(); }
    QString finish()
    {
        restore();
        QFile f(m_file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, 1);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryDir m_dir;
    QString m_file;
    int m_saved = -1;
};

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_lists;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_lists = m_dir.filePath(QStringLiteral("lists.sqlite"));
        writeValueLists(m_lists, false);
        writeFile(m_dir.filePath(QStringLiteral("two-catalogs.xml")),
                  "<NortavineXMLData version='2.6'><Schema><Catalogs>"
                  "<Catalog ID='first'><Views><View ID='v'/></Views></Catalog>"
                  "<Catalog ID='second' defaultview='b'><Fields/><Views>"
                  "<View ID='a'><Fields><Field ID='X1' vardescription='Width'/></Fields></View>"
                  "<View ID='b'><Fields><Field ID='X2' vardescription='Width'/></Fields></View>"
                  "</Views></Catalog></Catalogs></Schema></NortavineXMLData>");
    }

    // `edit --language` sets the thread's language; each test starts without one.
    void cleanup() { nvtarnix::MlStringService().setCurrentLanguage(0); }

    void convert_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("output");

        const QStringList sample{QStringLiteral("convert"), QStringLiteral("--schema"), Schema};
        QTest::newRow("to database")
            << sample + QStringList{"--to-database", "[Customer.Name] & [Order.Number] & [Today]"}
            << QByteArray() << "[CUST_NAME] & [ORD_NO] & [TODAY]\n";
        QTest::newRow("from database, standard input")
            << sample + QStringList{"--from-database", "-"}
            << QByteArray("Len([CUST_CITY]) > [ORD_AMOUNT]\n")
            << "Len([Customer.City]) > [Order.Amount]\n";
        QTest::newRow("from database, no text argument")
            << sample + QStringList{"--from-database"} << QByteArray("[ORD_STATUS] = 4")
            << "[Order.Status] = 4\n";
        QTest::newRow("Greek text and unknown brackets pass unchanged")
            << sample + QStringList{"--to-database", "\"Πελάτης\" & [Όνομα] & [Customer.City]"}
            << QByteArray() << "\"Πελάτης\" & [Όνομα] & [CUST_CITY]\n";
        QTest::newRow("line breaks become blanks")
            << sample + QStringList{"--to-database", "-"}
            << QByteArray("[Order.Amount]\r\n\r\n> 5\n") << "[ORD_AMOUNT] > 5\n";

        const QString two = m_dir.filePath(QStringLiteral("two-catalogs.xml"));
        QTest::newRow("catalog's default view")
            << QStringList{"convert", "--schema", two, "--catalog", "second", "--to-database",
                           "[Width]"}
            << QByteArray() << "[X2]\n";
        QTest::newRow("view chosen")
            << QStringList{"convert", "--schema", two, "--catalog", "second", "--view", "a",
                           "--to-database", "[Width]"}
            << QByteArray() << "[X1]\n";
    }

    void convert()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, output);
        const Run run = tarnix(arguments, input);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, output);
    }

    // Every way a call can be wrong ends with status 2 and one line on
    // standard error: the error's number and a description naming the culprit.
    void badCallsFailWithNumberedErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("named");

        const QString truncated = m_dir.filePath(QStringLiteral("truncated.xml"));
        QFile sample(Schema);
        QVERIFY(sample.open(QIODevice::ReadOnly));
        writeFile(truncated, sample.readAll().left(700));
        const QString missing = m_dir.filePath(QStringLiteral("missing.xml"));
        const QString noLists = m_dir.filePath(QStringLiteral("no-such.sqlite"));

        for (const char *command : {"convert", "check", "edit"}) {
            const QString c = QString::fromLatin1(command);
            const QStringList tail = c == QLatin1String("convert")
                                         ? QStringList{"--to-database", "x"}
                                         : c == QLatin1String("check") ? QStringList{"x"}
                                                                       : QStringList{};
            QTest::addRow("%s: truncated schema", command)
                << QStringList{c, "--schema", truncated} + tail << 31037 << truncated;
            QTest::addRow("%s: missing schema", command)
                << QStringList{c, "--schema", missing} + tail << 53 << missing;
            QTest::addRow("%s: unknown catalog", command)
                << QStringList{c, "--schema", Schema, "--catalog", "invoices"} + tail << 5
                << "invoices";
            QTest::addRow("%s: unknown view", command)
                << QStringList{c, "--schema", Schema, "--view", "archive"} + tail << 5
                << "archive";
            QTest::addRow("%s: no schema", command) << QStringList{c} + tail << 5 << "--schema";
            QTest::addRow("%s: unknown option", command)
                << QStringList{c, "--schema", Schema, "--colour"} + tail << 5 << "colour";
        }
        QTest::newRow("convert: no direction")
            << QStringList{"convert", "--schema", Schema, "x"} << 5 << "--to-database";
        QTest::newRow("edit: value list table missing")
            << QStringList{"edit", "--schema", Schema, "--value-lists", m_lists} << 3265
            << "order_statuses";
        QTest::newRow("edit: value list file missing")
            << QStringList{"edit", "--schema", Schema, "--value-lists", noLists} << 53 << noLists;
        QTest::newRow("edit: rows table missing")
            << QStringList{"edit", "--schema", Schema, "--rows", m_lists, "--table", "no_such_rows"} << 3265
            << "no_such_rows";
        QTest::newRow("edit: rows without table or query")
            << QStringList{"edit", "--schema", Schema, "--rows", m_lists} << 5 << "--table";
        QTest::newRow("edit: table without rows")
            << QStringList{"edit", "--schema", Schema, "--table", "t"} << 5 << "--rows";
        QTest::newRow("edit: unknown language")
            << QStringList{"edit", "--schema", Schema, "--language", "1040"} << 5 << "1040";

        const QString notSqlite = m_dir.filePath(QStringLiteral("lists.txt"));
        writeFile(notSqlite, "code;description\n300;Greece\n");
        QTest::newRow("edit: value list file not SQLite")
            << QStringList{"edit", "--schema", Schema, "--value-lists", notSqlite} << 3709
            << notSqlite;
        const QString noCatalog = m_dir.filePath(QStringLiteral("no-catalog.xml"));
        writeFile(noCatalog, "<NortavineXMLData version='2.6'><Schema><Catalogs/></Schema>"
                             "</NortavineXMLData>");
        QTest::newRow("convert: schema with no catalog")
            << QStringList{"convert", "--schema", noCatalog, "--to-database", "x"} << 31037
            << noCatalog;
        const QString noView = m_dir.filePath(QStringLiteral("no-view.xml"));
        writeFile(noView, "<NortavineXMLData version='2.6'><Schema><Catalogs><Catalog ID='c'>"
                          "<Fields><Field ID='A'/></Fields></Catalog></Catalogs></Schema>"
                          "</NortavineXMLData>");
        QTest::newRow("check: catalog with no view")
            << QStringList{"check", "--schema", noView, "x"} << 31037 << noView;
        const QString latin1 = m_dir.filePath(QStringLiteral("latin1.xml"));
        writeFile(latin1, "<NortavineXMLData version='2.6'><Schema><Catalogs CatalogPath='Ren\xE9'/>"
                          "</Schema></NortavineXMLData>");
        QTest::newRow("convert: schema not UTF-8")
            << QStringList{"convert", "--schema", latin1, "--to-database", "x"} << 31037
            << "line 1, column 67";
    }

    void badCallsFailWithNumberedErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, number);
        QFETCH(QString, named);
        const Run run = tarnix(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(QStringLiteral("error %1: ").arg(number)), qPrintable(run.err));
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        // Qt may warn about the session on the same stream; ours is one line.
        const QString prefix = QStringLiteral("tarnix %1: error ").arg(arguments.first());
        QCOMPARE(run.err.split(QLatin1Char('\n')).filter(prefix).size(), 1);
    }

    // A call the program cannot follow is answered with status 2, the error
    // and the usage line of the command that was called, and nothing is done.
    void usageErrorsShowTheUsageLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");

        const QString database = m_lists;
        QTest::newRow("no command") << QStringList{} << "  tarnix apply --database FILE|--postgres CONNINFO";
        QTest::newRow("unknown command") << QStringList{"evaluate"} << "  tarnix eval [--locale NAME]";
        QTest::newRow("eval: extra argument") << QStringList{"eval", "1+1"} << "usage: tarnix eval";
        QTest::newRow("eval: unknown option") << QStringList{"eval", "--lang", "el"} << "usage: tarnix eval";
        QTest::newRow("eval: --locale without name") << QStringList{"eval", "--locale"} << "usage: tarnix eval";
        QTest::newRow("eval: unknown locale") << QStringList{"eval", "--locale", "xx-YY"} << "usage: tarnix eval";
        QTest::newRow("run: no file") << QStringList{"run"} << "usage: tarnix run";
        QTest::newRow("run: unknown option") << QStringList{"run", "-x", "a.vbs"} << "usage: tarnix run";
        QTest::newRow("run: --encoding without name") << QStringList{"run", "--encoding"} << "usage: tarnix run";
        QTest::newRow("run: unknown encoding")
            << QStringList{"run", "--encoding", "x-none", QStringLiteral(SAMPLE_SCHEMA_FILE)}
            << "usage: tarnix run";
        QTest::newRow("convert: unknown option")
            << QStringList{"convert", "--schema", Schema, "--to-db", "x"} << "usage: tarnix convert";
        QTest::newRow("convert: two expressions")
            << QStringList{"convert", "--schema", Schema, "--to-database", "x", "y"}
            << "usage: tarnix convert";
        QTest::newRow("convert: no direction")
            << QStringList{"convert", "--schema", Schema, "x"} << "usage: tarnix convert";
        QTest::newRow("check: no schema") << QStringList{"check", "x"} << "usage: tarnix check";
        QTest::newRow("check: option without value")
            << QStringList{"check", "--schema", Schema, "--view"} << "usage: tarnix check";
        QTest::newRow("edit: extra argument")
            << QStringList{"edit", "--schema", Schema, "x"} << "usage: tarnix edit";
        QTest::newRow("apply: no database")
            << QStringList{"apply", "--table", "t", "x"} << "usage: tarnix apply";
        QTest::newRow("apply: unknown option")
            << QStringList{"apply", "--database", database, "--table", "countries", "--rows", "x"}
            << "usage: tarnix apply";
        QTest::newRow("apply: two expressions")
            << QStringList{"apply", "--database", database, "--table", "countries", "x", "y"}
            << "usage: tarnix apply";
        QTest::newRow("apply: --jobs not a number")
            << QStringList{"apply", "--database", database, "--table", "countries", "--jobs", "many", "x"}
            << "usage: tarnix apply";
    }

    void usageErrorsShowTheUsageLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const Run run = tarnix(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(QStringLiteral(": error 5: ")), qPrintable(run.err));
        QVERIFY2(run.err.split(QLatin1Char('\n')).filter(usage).size() == 1, qPrintable(run.err));
    }

    // tarnix run reads a script in any encoding a Windows editor saves in:
    // UTF-8 or UTF-16 with their marks, UTF-8 without, or a named code page.
    void runReadsEveryEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("options");

        const QString script = QStringLiteral("WScript.Echo \"Ωμέγα \" & WScript.ScriptName\r\n");
        QTest::newRow("UTF-8") << script.toUtf8() << QStringList{};
        QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + script.toUtf8() << QStringList{};
        QTest::newRow("UTF-16 LE with mark")
            << QByteArray("\xFF\xFE") + QStringEncoder(QStringConverter::Utf16LE).encode(script)
            << QStringList{};
        QTest::newRow("UTF-16 BE with mark")
            << QByteArray("\xFE\xFF") + QStringEncoder(QStringConverter::Utf16BE).encode(script)
            << QStringList{};
        QTest::newRow("windows-1253")
            << QByteArray(QStringEncoder("windows-1253").encode(script))
            << QStringList{"--encoding", "windows-1253"};
    }

    void runReadsEveryEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, options);
        const QString path = m_dir.filePath(QStringLiteral("greek.vbs"));
        writeFile(path, bytes);
        const Run run = tarnix(QStringList{"run"} + options + QStringList{path});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("Ωμέγα greek.vbs\n"));
    }

    // A script that is not text in its encoding does not run at all: a byte
    // read as something else could change what the script does.
    void runRefusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("where");

        const QByteArray greek = "' Greek\nWScript.Echo \"\xD9\xEC\xDD\xE3\xE1\"\n";
        QTest::newRow("code page read as UTF-8") << greek << QStringList{} << "line 2, column 15";
        QTest::newRow("undefined in windows-1253")
            << QByteArray("WScript.Echo 1 ' \xD2") << QStringList{"--encoding", "windows-1253"}
            << "line 1, column 18";
        QTest::newRow("0xAA in windows-1253")
            << QByteArray("' \xC1\n\nWScript.Echo \"\xE1\xAA\"") << QStringList{"--encoding", "windows-1253"}
            << "line 3, column 16";
        QTest::newRow("gap among windows-1253's controls")
            << QByteArray("WScript.Echo \"\x9F\"") << QStringList{"--encoding", "cp1253"} << "line 1, column 15";
        QTest::newRow("UTF-16 cut short") << QByteArray("\xFF\xFEW\0S\0c", 7) << QStringList{}
                                          << "line 1, column 3";
    }

    void runRefusesWhatItCannotRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, options);
        QFETCH(QString, where);
        const QString path = m_dir.filePath(QStringLiteral("unreadable.vbs"));
        writeFile(path, bytes);
        const Run run = tarnix(QStringList{"run"} + options + QStringList{path});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix run: error 1032: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(path), qPrintable(run.err));
        QVERIFY2(run.err.contains(where), qPrintable(run.err));
    }

    void runMissingFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("none.vbs"));
        const Run run = tarnix({QStringLiteral("run"), path});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix run: error 53: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(path), qPrintable(run.err));
    }

    // A program whose schema module is missing (a copy elsewhere, a broken
    // installation) still runs what needs no schema, and says what it
    // cannot load for the commands that do.
    void programWithoutItsSchemaModule()
    {
        const QString copy = m_dir.filePath(QStringLiteral("alone/tarnix"));
        QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
        QVERIFY(QFile::copy(QStringLiteral(TARNIX_PROGRAM), copy));
        const auto run = [&](const QStringList &arguments, const QByteArray &input = {}) {
            return runTarnix(arguments, input, {}, copy);
        };

        const Run eval = run({QStringLiteral("eval")}, "1 + 1\n");
        QCOMPARE(eval.status, 0);
        QCOMPARE(eval.out, QStringLiteral("Integer\t2\n"));

        for (const QString &command : {QStringLiteral("convert"), QStringLiteral("check"),
                                       QStringLiteral("edit")}) {
            const Run failed = run({command, QStringLiteral("--schema"), Schema, QStringLiteral("x")});
            QCOMPARE(failed.status, 2);
            QVERIFY2(failed.err.startsWith(QStringLiteral("tarnix %1: error 48: Error in loading DLL: ")
                                               .arg(command)),
                     qPrintable(failed.err));
            QVERIFY2(failed.err.contains(QStringLiteral("tarnix-schema")), qPrintable(failed.err));
        }
        const Run apply = run({QStringLiteral("apply"), QStringLiteral("--database"),
                               m_dir.filePath(QStringLiteral("none.sqlite")), QStringLiteral("--table"),
                               QStringLiteral("t"), QStringLiteral("--schema"), Schema, QStringLiteral("x")});
        QCOMPARE(apply.status, 2);
        QVERIFY2(apply.err.startsWith(QStringLiteral("tarnix apply: error 48: ")), qPrintable(apply.err));
    }

    void helpForEachCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("option");
        QTest::newRow("convert") << "convert" << "--from-database";
        QTest::newRow("check") << "check" << "--view";
        QTest::newRow("edit") << "edit" << "--value-lists";
    }

    void helpForEachCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, option);
        const Run run = tarnix({command, QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("Usage: tarnix %1 --schema FILE").arg(command)),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(option));
    }

    // The check the wizard's Check button runs, with the window's own texts.
    void check_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("pieces"); // in this order in the output

        QTest::newRow("text and number variables")
            << "Len([Customer.Name]) > 3 And [Order.Amount] * 2 > 100" << "" << 0
            << QStringList{"OK\n"};
        QTest::newRow("date variable in a date function")
            << "Year([Order.Date]) = 2000" << "" << 0 << QStringList{"OK\n"};
        // Standard output is a Unix tool's: line feeds alone, no TAB after
        // the description.
        QTest::newRow("syntax error, English")
            << "[Order.Amount] >" << "1033" << 1
            << QStringList{"Incorrect expression.\nError:= ", "\nLine:1\nColumn:", "\n"};
        QTest::newRow("syntax error, Greek")
            << "[Order.Amount] >" << "" << 1
            << QStringList{"Η έκφραση δεν είναι σωστή.\nΣφάλμα:=", "\nΓραμμή: 1\nΣτήλη: ", "\n"};
        QTest::newRow("run-time error")
            << "CLng(\"many\") + [Customer.Number]" << "1033" << 1
            << QStringList{"Incorrect expression.\nError:= Type mismatch", "\nLine:1\nColumn:", "\n"};
        // Guided editing, on unless --specified: a misspelt name fails.
        QTest::newRow("misspelt variable")
            << "[Order.Amout] > 100" << "1033" << 1
            << QStringList{"Incorrect expression.\nError:= Unknown variable [Order.Amout]. Did you mean "
                           "[Order.Amount]?\nLine:1\nColumn:0\n"};
        QTest::newRow("misspelt function, Greek")
            << "[Order.Amount] > Lenn(\"a\")" << "" << 1
            << QStringList{"Η έκφραση δεν είναι σωστή.\nΣφάλμα:=Άγνωστη συνάρτηση Lenn. Μήπως εννοείτε Len;\n",
                           "Στήλη: 17\n"};
        QTest::newRow("engine names are known")
            << "Len([Customer.Name]) > vbTrue And Now > [Order.Date]" << "1033" << 0 << QStringList{"OK\n"};
    }

    void check()
    {
        QFETCH(QString, expression);
        QFETCH(QString, language);
        QFETCH(int, status);
        QFETCH(QStringList, pieces);
        const Run run = tarnix({QStringLiteral("check"), QStringLiteral("--schema"), Schema,
                                expression},
                               {}, language);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.startsWith(pieces.first()), qPrintable(run.out));
        qsizetype at = 0;
        for (const QString &piece : pieces) {
            at = run.out.indexOf(piece, at);
            QVERIFY2(at >= 0, qPrintable(run.out));
        }
        QVERIFY(run.out.endsWith(pieces.last()));
        QVERIFY(!run.out.contains(u'\r') && !run.out.contains(u'\t'));
    }

    // A date or number compared with text passes the check, with a warning
    // naming the likely fix; --specified says nothing.
    void typeSlipsAreWarnedOf()
    {
        const QString rule = QStringLiteral("[Order.Date] > \"01/01/2025\" Or [ORD_AMOUNT] > \"1000\"");
        const Run guided = tarnix({"check", "--schema", Schema, "--language", "en", rule});
        QCOMPARE(guided.status, 0);
        QCOMPARE(guided.out, QStringLiteral("OK\n"));
        QCOMPARE(guided.err,
                 QStringLiteral("tarnix check: warning: [Order.Date] is a date compared with the text \"01/01/2025\": "
                                "write the date as #01/01/2025# (month/day/year) or as DateValue(\"01/01/2025\").\n"
                                "tarnix check: warning: [Order.Amount] is a number compared with the text \"1000\": "
                                "write the number without quotes, 1000.\n"));
        const Run specified = tarnix({"check", "--schema", Schema, "--specified", rule});
        QCOMPARE(specified.status, 0);
        QCOMPARE(specified.err, QString());
    }

    void specifiedCheckLetsUnknownNamesPass()
    {
        const Run run = tarnix({"check", "--schema", Schema, "--specified", "[Order.Amout] > 100"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("OK\n"));
    }

    void languageOptionOfCheckAndConvert()
    {
        const Run english = tarnix({"check", "--schema", Schema, "--language", "en", "1 +"}, {}, "1032");
        QVERIFY2(english.out.startsWith("Incorrect expression."), qPrintable(english.out));
        const Run greek = tarnix({"check", "--schema", Schema, "--language", "1032", "1 +"}, {}, "1033");
        QVERIFY2(greek.out.startsWith(QStringLiteral("Η έκφραση")), qPrintable(greek.out));
        const Run wrong = tarnix({"convert", "--schema", Schema, "--to-database", "--language", "fr", "1"});
        QCOMPARE(wrong.status, 2);
        QVERIFY2(wrong.err.contains("--language must be 1032 (el) or 1033 (en)"), qPrintable(wrong.err));
    }

    // Names the schema cannot keep apart are warned of on standard error,
    // in the language asked for; the output itself is unchanged.
    void ambiguousNamesAreWarnedOf()
    {
        QTemporaryDir dir;
        const QString schema = dir.filePath("colliding.xml");
        const auto field = [](const char *id, const char *caption, const char *group) {
            return QStringLiteral("<Field ID=\"%1\" vardescription=\"%2\" vartype=\"3\" varsize=\"8\" "
                                  "groupcaption=\"%3\" hasvaluelist=\"0\" valuelist=\"\" listvalue=\"\" "
                                  "ListText=\"\" sampledata=\"\" searchtype=\"3\" helpstring=\"\" />")
                .arg(id, caption, group);
        };
        QString fields = field("ORD_NUM2", "Num2", "Order") + field("ORD_X", "ORD_NUM2", "")
                       + field("CUST_ADDRCITY", "City", "Cust.Addr") + field("CUST_CITY2", "Addr.City", "Cust");
        // The view's fields carry the record too.
        const QString viewFields = fields;
        writeFile(schema, QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><NortavineXMLData version=\"2.6\">"
                                         "<Schema Version=\"2.6\"><Catalogs CatalogPath=\"\"><Catalog ID=\"c\" "
                                         "description=\"\" source=\"\" primarykey=\"\" parentcatalog=\"\" "
                                         "defaultview=\"v\"><Fields>%1</Fields><Views><View ID=\"v\" name=\"v\" "
                                         "cardcaption=\"\"><Fields>%2</Fields></View></Views></Catalog></Catalogs>"
                                         "</Schema></NortavineXMLData>")
                              .arg(fields, viewFields)
                              .toUtf8());
        const Run convert = tarnix({"convert", "--schema", schema, "--language", "en", "--to-database",
                                    "[Order.Num2] = 1 And [Cust.Addr.City] = 2"});
        QCOMPARE(convert.status, 0);
        QCOMPARE(convert.out, QStringLiteral("[ORD_X] = 1 And [CUST_ADDRCITY] = 2\n"));
        const QStringList warnings = convert.err.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(warnings.size(), 2);
        QVERIFY2(warnings[0].startsWith("tarnix convert: warning: The name [ORD_NUM2] is also the code of another "
                                        "variable: it may mean [Order.Num2] (ORD_NUM2), [ORD_NUM2] (ORD_X)."),
                 qPrintable(warnings[0]));
        QVERIFY2(warnings[1].contains("[Cust.Addr.City] (CUST_ADDRCITY), [Cust.Addr.City] (CUST_CITY2)"),
                 qPrintable(warnings[1]));
        const Run check = tarnix({"check", "--schema", schema, "[ORD_X] = 1"});
        QCOMPARE(check.status, 0);
        QCOMPARE(check.err.count(QStringLiteral("tarnix check: warning: ")), 2);
        QVERIFY2(check.err.contains(QStringLiteral("Το όνομα [ORD_NUM2]")), qPrintable(check.err));
    }

    void helpAndExitStatusOfTheProgram()
    {
        for (const QStringList &call : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"eval", "--help"},
                                        QStringList{"run", "--help"}, QStringList{"apply", "--help"}}) {
            const Run run = tarnix(call);
            QVERIFY2(run.status == 0 && run.out.contains("tarnix") && run.err.isEmpty(),
                     qPrintable(call.join(u' ') + ": " + run.err));
        }
        // A failed line makes the exit status 1; its result line is still written.
        const Run failed = tarnix({"eval"}, "1 + 1\n1 / 0\n");
        QCOMPARE(failed.status, 1);
        QCOMPARE(failed.out.count(u'\n'), 2);
        QCOMPARE(tarnix({"eval"}, "1 + 1\n").status, 0);
    }

    void editWithoutADisplaySaysSo()
    {
        const Run run = runTarnix({"edit", "--schema", Schema}, {},
                                  {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("tarnix edit: error 5: the wizard needs a display"), qPrintable(run.err));
        const Run help = runTarnix({"edit", "--help"}, {},
                                   {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("--specified"));
    }

    // In-process, so the test can work the wizard the command opens.
    void editPrintsTheAcceptedExpression()
    {
        const auto visit = whenShown(QStringLiteral("frmEditor"), [](QWidget *editor) {
            auto *script = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
            QCOMPARE(script->toPlainText(), QStringLiteral("[Order.Amount] > 5"));
            QCOMPARE(editor->windowTitle(), QStringLiteral("Expression wizard"));
            script->setPlainText(QStringLiteral("[Order.Amount] > 50 And [Customer.Country] = 196"));
            press(editor, "cmdOK");
        });
        CapturedOutput out;
        const int status = tarnixcli::editCommand(
            {QStringLiteral("--schema"), Schema, QStringLiteral("--database-script"),
             QStringLiteral("[ORD_AMOUNT] > 5"), QStringLiteral("--language"),
             QStringLiteral("1033")});
        QCOMPARE(out.finish(), QStringLiteral("[ORD_AMOUNT] > 50 And [CUST_COUNTRY] = 196\n"));
        QCOMPARE(status, 0);
    }

    // A value list named N is answered with the rows of table or view N.
    void editAnswersValueListsFromTheFile()
    {
        const auto visit = whenShown(QStringLiteral("frmEditor"), [](QWidget *editor) {
            auto *script = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
            script->setPlainText(QStringLiteral("[Order.Amount] > 50 And [Customer.Country] = "));
            script->moveCursor(QTextCursor::End);

            // Pick Cyprus from the value list the SQLite file answers.
            auto *variables = editor->findChild<QTreeWidget *>(QStringLiteral("tvVariables"));
            const auto found = variables->findItems(QStringLiteral("Country"),
                                                    Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            variables->scrollToItem(found.first());
            QTest::mouseClick(variables->viewport(), Qt::LeftButton, {},
                              variables->visualItemRect(found.first()).center());
            const auto valueList = whenShown(QStringLiteral("frmList"), [](QWidget *list) {
                auto *rows = list->findChild<QTreeWidget *>(QStringLiteral("lstValueList"));
                QCOMPARE(rows->topLevelItemCount(), 3);
                rows->setCurrentItem(rows->findItems(QStringLiteral("196"), Qt::MatchExactly).first());
                press(list, "cmdOK");
            });
            press(editor, "cmdValueList");
            press(editor, "cmdOK");
        });
        const QString lists = m_dir.filePath(QStringLiteral("all-lists.sqlite"));
        writeValueLists(lists, true);

        CapturedOutput out;
        const int status = tarnixcli::editCommand(
            {QStringLiteral("--schema"), Schema, QStringLiteral("--database-script"),
             QStringLiteral("[ORD_AMOUNT] > 5"), QStringLiteral("--value-lists"), lists,
             QStringLiteral("--language"), QStringLiteral("1033")});
        const QString printed = out.finish();
        QCOMPARE(status, 0);
        QCOMPARE(printed, QStringLiteral("[ORD_AMOUNT] > 50 And [CUST_COUNTRY] = 196\n"));
    }

    void editCancelledPrintsNothing()
    {
        const auto visit = whenShown(QStringLiteral("frmEditor"), [](QWidget *editor) {
            editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"))
                ->setPlainText(QStringLiteral("[Order.Amount] * 3"));
            press(editor, "cmdCancel");
        });
        CapturedOutput out;
        const int status = tarnixcli::editCommand(
            {QStringLiteral("--schema"), Schema, QStringLiteral("--database-script"),
             QStringLiteral("[ORD_AMOUNT] > 5")});
        QCOMPARE(out.finish(), QString());
        QCOMPARE(status, 1);
    }
};

NVTARNIX_TEST_CLASS(tst_Cli)
#include "tst_cli.moc"
