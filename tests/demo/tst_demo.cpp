#include "DemoDatabase.h"
#include "DemoTexts.h"
#include "MainWindow.h"
#include "SampleData.h"
#include "Tour.h"

#include "SqliteFile.h"
#include "DemoTestSupport.h"
#include "TestMain.h"
#include "WindowVisit.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Language.h>
#include <nvtarnix/Recordset.h>
#include <nvtarnix/TarnixObject.h>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <optional>


using namespace tarnixdemo;

using demotest::fileBytes;
using demotest::ruleId;

namespace {

QString storedExpression(const QString &path, int id)
{
    DemoDatabase db(path);
    return db.rule(id).expression;
}

// Replaces the wizard's text and presses one of its buttons.
[[nodiscard]] testsupport::WindowVisit answerWizard(const QString &text, const char *button,
                                                    testsupport::CallSite where = testsupport::CallSite::current())
{
    return testsupport::whenShown(
        QStringLiteral("frmEditor"),
        [=](QWidget *editor) {
            auto *script = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
            QVERIFY(script);
            script->setPlainText(text);
            testsupport::press(editor, button);
        },
        where);
}

} // namespace

class tst_Demo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString newDatabasePath()
    {
        return m_dir.filePath(QStringLiteral("demo-%1.sqlite").arg(++m_files));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    // Switching the host's language sets the thread's; each test starts in
    // the language a thread speaks when nobody chose one.
    void cleanup() { nvtarnix::setUserInterfaceLanguage(nvtarnix::GreekLanguage); }

    void newDatabaseHoldsTheSampleOnce()
    {
        const QString path = newDatabasePath();
        {
            DemoDatabase db(path);
            QCOMPARE(db.fields(), sampleFields());
            QCOMPARE(db.fields(nvtarnix::GreekLanguage), sampleFields(nvtarnix::GreekLanguage));
            QCOMPARE(db.rules().size(), sampleRules().size());
            QCOMPARE(db.rules().first().expression, sampleRules().first().expression);
        }
        DemoDatabase again(path);
        QCOMPARE(again.rules().size(), sampleRules().size());
        QCOMPARE(again.fields().size(), sampleFields().size());
    }

    void filesThatAreNotOursAreRefusedUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << QStringLiteral("text");
        QTest::newRow("other database") << QStringLiteral("foreign");
    }

    void filesThatAreNotOursAreRefusedUntouched()
    {
        QFETCH(QString, kind);
        const QString path = newDatabasePath();
        if (kind == QLatin1String("text")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("name;expression\nGreek customers;[CUST_COUNTRY] = 300\n");
        } else {
            testsupport::SqliteFile foreign(path);
            QCOMPARE(foreign.run({QStringLiteral("CREATE TABLE invoices (id INTEGER)")}), QString());
        }
        const QByteArray before = fileBytes(path);
        try {
            DemoDatabase db(path);
            QFAIL("the file was taken for a demo database");
        } catch (const nvtarnix::Error &e) {
            QCOMPARE(e.number(), int(DemoErrorOpen));
            QVERIFY(e.description().contains(path));
        }
        QCOMPARE(fileBytes(path), before);
    }

    void failedSavesChangeNothing_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<int>("number");
        QTest::newRow("read-only file") << QStringLiteral("read-only") << int(DemoErrorSave);
        QTest::newRow("locked by another program") << QStringLiteral("locked") << int(DemoErrorSave);
        QTest::newRow("rule gone") << QStringLiteral("unknown rule") << int(DemoErrorRule);
    }

    void failedSavesChangeNothing()
    {
        QFETCH(QString, trouble);
        QFETCH(int, number);
        const QString path = newDatabasePath();
        { DemoDatabase create(path); }
        const QString before = storedExpression(path, 1);

        if (trouble == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        std::optional<testsupport::SqliteFile> locker;
        {
            DemoDatabase db(path);
            if (trouble == QLatin1String("locked")) {
                // Another program in the middle of its own write.
                locker.emplace(path);
                QCOMPARE(locker->run({QStringLiteral("BEGIN EXCLUSIVE")}), QString());
            }
            const int id = trouble == QLatin1String("unknown rule") ? 999 : 1;
            try {
                db.saveRuleExpression(id, QStringLiteral("[ORD_AMOUNT] > 1"));
                QFAIL("the save went through");
            } catch (const nvtarnix::Error &e) {
                QCOMPARE(e.number(), number);
                QCOMPARE(e.source(), QString::fromLatin1(DemoErrorSource));
            }
        }
        if (locker) {
            QCOMPARE(locker->run({QStringLiteral("ROLLBACK")}), QString());
            locker.reset();
        }
        QCOMPARE(storedExpression(path, 1), before);
    }

    // The window: the wizard opened on a rule, what OK and Cancel leave in
    // the database, and what the list shows.
    // A rule written in the Greek wizard is stored by the fields' IDs, and
    // reads in English after a switch, and back.
    void acceptedEditIsSavedAndShown()
    {
        const QString path = newDatabasePath();
        DemoDatabase db(path);
        MainWindow window(db);
        const int id = demotest::selectRule(window, db, nvtarnix::GreekLanguage, QStringLiteral("Large open orders"));
        QVERIFY(id);

        const QString greek = QStringLiteral("[Παραγγελία.Ποσό] > 5 And [Πελάτης.Όνομα] <> \"\"");
        const auto visit = answerWizard(greek, "cmdOK");
        QVERIFY(window.editRule(id));
        QCOMPARE(db.rule(id).expression, QStringLiteral("[ORD_AMOUNT] > 5 And [CUST_NAME] <> \"\""));
        QVERIFY(!window.hasUnsaved(id));

        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("lstRules"));
        QVERIFY(list && list->currentItem());
        QCOMPARE(list->currentItem()->text(1), greek);
        window.setLanguage(nvtarnix::EnglishLanguage);
        QCOMPARE(list->currentItem()->text(1), QStringLiteral("[Order.Amount] > 5 And [Customer.Name] <> \"\""));
        window.setLanguage(nvtarnix::GreekLanguage);
        QCOMPARE(list->currentItem()->text(1), greek);
    }

    // The wizard shows the fields, their groups and help in the user's
    // language, and neither language has two fields a rule cannot tell apart.
    void fieldsReadInTheUsersLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("today");
        QTest::newRow("Greek") << nvtarnix::GreekLanguage << "Πελάτης" << "Πόλη"
                               << "Πόλη της διεύθυνσης του πελάτη" << "[Σήμερα]";
        QTest::newRow("English") << nvtarnix::EnglishLanguage << "Customer" << "City"
                                 << "City of the customer's address" << "[Today]";
    }

    void fieldsReadInTheUsersLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, group);
        QFETCH(QString, caption);
        QFETCH(QString, help);
        QFETCH(QString, today);
        DemoDatabase db(newDatabasePath());
        MainWindow window(db);
        window.setLanguage(language);
        nvtarnix::TarnixObject &builder = window.host().builder();
        QVERIFY(builder.NameAmbiguities().isEmpty());
        QCOMPARE(window.host().displayForm(QStringLiteral("[CUST_CITY] & [TODAY]")),
                 QStringLiteral("[%1.%2] & %3").arg(group, caption, today));
        QCOMPARE(builder.ConvertScriptToDatabase(QStringLiteral("[%1.%2]").arg(group, caption)),
                 QStringLiteral("[CUST_CITY]"));
        // Beside the orders, the note names the day's field as the rules read it.
        auto *note = window.findChild<QLabel *>(QStringLiteral("lbOrders"));
        QVERIFY(note && note->text().contains(today));

        QString shownHelp;
        const auto visit = testsupport::whenShown(QStringLiteral("frmEditor"), [&](QWidget *editor) {
            auto *variables = editor->findChild<QTreeWidget *>(QStringLiteral("tvVariables"));
            QVERIFY(variables);
            const auto found = variables->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
            for (QTreeWidgetItem *item : found)
                if (item->parent() && item->parent()->text(0) == group) {
                    variables->setCurrentItem(item);
                    QTest::mouseClick(variables->viewport(), Qt::LeftButton, {},
                                      variables->visualItemRect(item).center());
                }
            if (auto *line = editor->findChild<QLabel *>(QStringLiteral("lbInfo")))
                shownHelp = line->text();
            testsupport::press(editor, "cmdCancel");
        });
        QVERIFY(!window.editRule(ruleId(db, QStringLiteral("Letter greeting"))));
        QVERIFY2(shownHelp.contains(help), qPrintable(shownHelp));
    }

    void cancelLeavesTheRuleUntouched()
    {
        const QString path = newDatabasePath();
        DemoDatabase db(path);
        MainWindow window(db);
        const int id = ruleId(db, QStringLiteral("VAT amount"));
        const QString before = db.rule(id).expression;

        const auto visit = answerWizard(QStringLiteral("[Παραγγελία.Ποσό] * 2"), "cmdCancel");
        QVERIFY(!window.editRule(id));
        QCOMPARE(db.rule(id).expression, before);
        QVERIFY(!window.hasUnsaved(id));
    }

    void readOnlyDatabaseShowsTheErrorAndKeepsTheEdit()
    {
        const QString path = newDatabasePath();
        { DemoDatabase create(path); }
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        const QByteArray before = fileBytes(path);

        DemoDatabase db(path);
        MainWindow window(db);
        QString shown;
        {
            const auto wizard = answerWizard(QStringLiteral("[Παραγγελία.Κατάσταση] = 4"), "cmdOK");
            const auto error = testsupport::whenShown(QStringLiteral("msgError"), [&](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                QVERIFY(box);
                shown = box->text();
                box->accept();
            });
            QVERIFY(window.editRule(1));
        }

        QVERIFY2(shown.contains(QString::number(DemoErrorSave)), qPrintable(shown));
        QCOMPARE(fileBytes(path), before);
        QVERIFY(window.hasUnsaved(1));
        QCOMPARE(window.pendingExpression(1), QStringLiteral("[ORD_STATUS] = 4"));

        // The wizard reopens on what the user accepted, not on the stored text.
        QString reopenedWith;
        const auto reopening = testsupport::whenShown(QStringLiteral("frmEditor"), [&](QWidget *editor) {
            reopenedWith = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"))->toPlainText();
            testsupport::press(editor, "cmdCancel");
        });
        QVERIFY(!window.editRule(1));
        QCOMPARE(reopenedWith, QStringLiteral("[Παραγγελία.Κατάσταση] = 4"));
    }

    void valueListsComeFromTheDatabaseInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("firstCode");
        QTest::addColumn<QString>("firstText");
        QTest::newRow("countries, Greek") << "countries" << nvtarnix::GreekLanguage << 8 << "Αλβανία";
        QTest::newRow("countries, English") << "countries" << nvtarnix::EnglishLanguage << 8 << "Albania";
        QTest::newRow("statuses, Greek") << "order_statuses" << nvtarnix::GreekLanguage << 1 << "Νέα";
        QTest::newRow("statuses, English") << "order_statuses" << nvtarnix::EnglishLanguage << 1 << "New";
    }

    void valueListsComeFromTheDatabaseInTheUsersLanguage()
    {
        QFETCH(QString, list);
        QFETCH(int, language);
        QFETCH(int, firstCode);
        QFETCH(QString, firstText);
        DemoDatabase db(newDatabasePath());
        DemoHost host(db);
        host.setLanguage(language);

        // Through the component's own signal, as the wizard asks.
        QString name = list;
        QVariant data;
        emit host.builder().ListSourceRequest(name, data);
        auto rows = data.value<std::shared_ptr<nvtarnix::Recordset>>();
        QVERIFY(rows);
        rows->setSort(QStringLiteral("code ASC"));
        QCOMPARE(rows->Fields(QStringLiteral("code")).toInt(), firstCode);
        QCOMPARE(rows->Fields(QStringLiteral("description")).toString(), firstText);
    }

    void unknownValueListIsANumberedError()
    {
        DemoDatabase db(newDatabasePath());
        DemoHost host(db);
        QString name = QStringLiteral("currencies");
        QVariant data;
        try {
            host.answerListSourceRequest(name, data);
            QFAIL("an unknown list was answered");
        } catch (const nvtarnix::Error &e) {
            QCOMPARE(e.number(), int(DemoErrorValueList));
            QVERIFY(e.description().contains(name));
        }
        QVERIFY(!data.isValid());
    }

    void languageSwitchReachesWindowAndWizard()
    {
        DemoDatabase db(newDatabasePath());
        MainWindow window(db);
        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("lstRules"));
        window.setLanguage(nvtarnix::EnglishLanguage);
        QCOMPARE(list->headerItem()->text(0), demoText(DemoText::ColumnName, nvtarnix::EnglishLanguage));
        QCOMPARE(window.host().builder().EditorTitle(), QStringLiteral("Expression wizard"));
        window.setLanguage(nvtarnix::GreekLanguage);
        QCOMPARE(list->headerItem()->text(0), demoText(DemoText::ColumnName, nvtarnix::GreekLanguage));
        QCOMPARE(window.host().builder().EditorTitle(), QStringLiteral("Οδηγός έκφρασης"));
    }

    // The scripted tour of `tarnix-demo-tour` from start to end.
    void tourRunsToItsEnd()
    {
        DemoDatabase db(newDatabasePath());
        MainWindow window(db);
        window.show();
        QTemporaryDir pictures;
        Tour tour(window, pictures.path());
        tour.setScaledProgram(QStringLiteral(TARNIX_DEMO_TOUR_PROGRAM));
        const int status = tour.run();
        QVERIFY2(status == 0, qPrintable(tour.failures().join(QLatin1String("; "))));
        // Five show the editing aids: filter, completion, a marked problem, the
        // preview, a function's reference. Three show the orders counted as the
        // rule changes, and their rows. One shows where a rule runs, with the
        // tooltip saying why; one that the check passed.
        // One shows a name made ambiguous by a field a second host adds.
        QCOMPARE(tour.pictures().size(), 22);
        QVERIFY(tour.pictures().at(3).endsWith(QLatin1String("-check-message.png")));
        QVERIFY(tour.pictures().at(13).endsWith(QLatin1String("-function-reference.png")));
        QVERIFY(tour.pictures().at(15).endsWith(QLatin1String("-count-after.png")));
        QVERIFY(tour.pictures().at(19).endsWith(QLatin1String("-runs-in.png")));
        QVERIFY(tour.pictures().at(20).endsWith(QLatin1String("-ambiguity-mark.png")));
        for (const QString &png : tour.pictures())
            QVERIFY(fileBytes(png).startsWith("\x89PNG"));
        // The last picture is the wizard at 200%: twice as wide as at 100%.
        const QImage wizard(tour.pictures().at(1));
        const QImage scaled(tour.pictures().last());
        QVERIFY(tour.pictures().last().endsWith(QLatin1String("-scaled-200.png")));
        QCOMPARE(scaled.size(), wizard.size() * 2);
        const int id = ruleId(db, QStringLiteral("Greek customers"));
        QCOMPARE(db.rule(id).expression,
                 QStringLiteral("[CUST_COUNTRY] = 196 And Len([CUST_NAME]) > 0"));
    }
};

NVTARNIX_TEST_CLASS(tst_Demo)
#include "tst_demo.moc"
