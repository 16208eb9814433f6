// The helpers every suite relies on. A wait that never ends or a reader that
// drops rows would make whole suites hang or pass on nothing, so these are
// checked on their own. The expected failures are the helpers' own messages.
#include "ErrorNumber.h"
#include "ProcessState.h"
#include "TestMain.h"
#include "TsvTable.h"
#include "WindowVisit.h"

#include <QDialog>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace std::chrono_literals;

namespace {

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("facts.tsv"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class tst_Support : public QObject
{
    Q_OBJECT

private slots:
    void tsvRows_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("firstCells"); // of the rows read
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("error"); // start of the error, or empty

        const QByteArray header = "expr\ttype\n";
        QTest::newRow("date literal is a row, comment is not")
            << header + "# facts about dates\n#1/2/2000#\tDate\n\n1 + 1\tInteger\n" << QStringList{"#1/2/2000#", "1 + 1"}
            << QList<int>{3, 5} << QString();
        QTest::newRow("carriage returns")
            << QByteArray("expr\ttype\r\n1\tInteger\r\n") << QStringList{"1"} << QList<int>{2} << QString();
        QTest::newRow("comment-like row with too few cells")
            << header + "#1/2/2000#\n" << QStringList{} << QList<int>{} << QString();
        QTest::newRow("row with too few cells") << header + "1 + 1\n" << QStringList{} << QList<int>{}
                                                << "facts.tsv:2: 1 cells where the header names 2";
        QTest::newRow("row with too many cells") << header + "1\tInteger\t1\n" << QStringList{} << QList<int>{}
                                                 << "facts.tsv:2: 3 cells";
        QTest::newRow("other columns") << QByteArray("expression\ttype\n") << QStringList{} << QList<int>{}
                                       << "facts.tsv: the first line must name the columns";
    }
    void tsvRows()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, firstCells);
        QFETCH(QList<int>, lines);
        QFETCH(QString, error);
        const QTemporaryDir dir;
        const testsupport::TsvTable table = testsupport::readTsv(writeFile(dir, content), {"expr", "type"});
        QStringList cells;
        QList<int> read;
        for (const testsupport::TsvRow &row : table.rows) {
            cells << row.cells.first();
            read << row.line;
        }
        QCOMPARE(cells, firstCells);
        QCOMPARE(read, lines);
        if (error.isEmpty())
            QCOMPARE(table.error, QString());
        else
            QVERIFY2(table.error.contains(error), qPrintable(table.error));
    }

    void missingTsvFileIsAnError()
    {
        const testsupport::TsvTable table = testsupport::readTsv(QStringLiteral("/no/such/facts.tsv"), {"expr"});
        QVERIFY(table.rows.isEmpty());
        QVERIFY2(table.error.startsWith(QStringLiteral("/no/such/facts.tsv: ")), qPrintable(table.error));
    }

    void errorNumbers()
    {
        QCOMPARE(testsupport::errorNumber([] {}), 0);
        QCOMPARE(testsupport::errorNumber([] { throw nvtarnix::Error(91, "src", "text"); }), 91);
        const auto error = testsupport::raisedError([] { throw nvtarnix::Error(5, "src", "text"); });
        QVERIFY(error);
        QCOMPARE(error->description(), QStringLiteral("text"));
        // An error of another type is no numbered error: it passes through.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 testsupport::errorNumber([] { throw std::runtime_error("other"); }));
    }

    void environmentIsGivenBack()
    {
        qunsetenv("TARNIX_TEST_PROBE");
        {
            testsupport::ScopedEnvironmentVariable probe("TARNIX_TEST_PROBE", "1");
            QCOMPARE(qgetenv("TARNIX_TEST_PROBE"), QByteArray("1"));
            probe.set(QByteArray());
            QVERIFY(qEnvironmentVariableIsSet("TARNIX_TEST_PROBE"));
        }
        QVERIFY(!qEnvironmentVariableIsSet("TARNIX_TEST_PROBE"));
        qputenv("TARNIX_TEST_PROBE", "");
        {
            testsupport::ScopedEnvironmentVariable probe("TARNIX_TEST_PROBE", std::nullopt);
            QVERIFY(!qEnvironmentVariableIsSet("TARNIX_TEST_PROBE"));
        }
        QVERIFY(qEnvironmentVariableIsSet("TARNIX_TEST_PROBE"));
        qunsetenv("TARNIX_TEST_PROBE");
    }

    void programRunsPinnedAndAtHome()
    {
        QCOMPARE(QLocale::system().name(), QLocale(testsupport::pinnedLocale().section(u'.', 0, 0)).name());
        QVERIFY(!testsupport::privateHome().isEmpty());
        QVERIFY(qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(testsupport::privateHome()));
        QVERIFY(qEnvironmentVariable("XDG_RUNTIME_DIR").startsWith(testsupport::privateHome()));
    }

    void visitAnswersTheWindow()
    {
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("dlgProbe"));
        auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setObjectName(QStringLiteral("cmdOK"));
        connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        testsupport::SeenMessage seen;
        const auto visit = testsupport::whenShown(QStringLiteral("dlgProbe"), [&](QWidget *w) {
            const auto box = testsupport::answerMessageBox(seen);
            QMessageBox::information(w, QStringLiteral("Title"), QStringLiteral("Said"));
            testsupport::press(w, "cmdOK");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(visit.came());
        QVERIFY(!visit.leftOpen());
        QCOMPARE(seen.title, QStringLiteral("Title"));
        QCOMPARE(seen.text, QStringLiteral("Said"));
    }

    // Another window stands where the awaited one should come: the test
    // fails naming both, and the blocking call returns.
    void windowThatDoesNotComeIsBounded()
    {
        const testsupport::ScopedWindowTimeout shortWait(300ms);
        QDialog other;
        other.setObjectName(QStringLiteral("dlgOther"));
        QEXPECT_FAIL("", "the awaited window never comes", Continue);
        const auto visit = testsupport::whenShown(QStringLiteral("frmNever"), [](QWidget *) {});
        QCOMPARE(other.exec(), int(QDialog::Rejected));
        QVERIFY(!visit.came());
    }

    void actionThatLeavesItsWindowOpenIsEnded()
    {
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("dlgProbe"));
        QEXPECT_FAIL("", "the action does not close the window", Continue);
        const auto visit = testsupport::whenShown(QStringLiteral("dlgProbe"), [](QWidget *) {});
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(visit.leftOpen());
    }

    // The action blocks in a message box nobody answers.
    void actionThatHangsIsEnded()
    {
        const testsupport::ScopedWindowTimeout shortWait(300ms);
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("dlgProbe"));
        bool boxEnded = false;
        QEXPECT_FAIL("", "the action hangs in a message box", Continue);
        const auto visit = testsupport::whenShown(QStringLiteral("dlgProbe"), [&](QWidget *w) {
            QMessageBox::question(w, QStringLiteral("Title"), QStringLiteral("Nobody answers"));
            boxEnded = true;
            testsupport::closeWindow(w);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(boxEnded);
    }

    void visitThatEndsUnmetFails()
    {
        QEXPECT_FAIL("", "the window was never shown", Continue);
        {
            const auto visit = testsupport::whenShown(QStringLiteral("frmNever"), [](QWidget *) {});
        }
        QVERIFY(true);
        // A visit that may not happen passes by quietly.
        const auto optional = testsupport::ifShown(
            QStringLiteral("nothing"), [](QWidget *) { return true; }, [](QWidget *) {});
        QVERIFY(!optional.came());
    }
};

NVTARNIX_TEST_CLASS(tst_Support)

#include "tst_support.moc"
