// No accepted edit is lost: edits a read-only or locked database refused wait
// in the window, marked "(not saved)", until a retry stores them or the user
// discards them on quitting; a rule deleted meanwhile is created again.
#include "DemoDatabase.h"
#include "DemoTexts.h"
#include "MainWindow.h"

#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include "DatabaseTrouble.h"
#include "DemoTestSupport.h"
#include "TestMain.h"
#include "WindowVisit.h"
#include <QTreeWidget>

using namespace tarnixdemo;
using testsupport::DatabaseTrouble;
using testsupport::WindowVisit;
using testsupport::press;

using demotest::ruleId;

namespace {

// Short, so that a save against a locked file fails quickly.
constexpr int BusyTimeoutMs = 100;

// What the user accepts, as the wizard shows it in Greek and in English.
const QString Accepted = QStringLiteral("[Παραγγελία.Κατάσταση] = 5");
const QString AcceptedInEnglish = QStringLiteral("[Order.Status] = 5");
const QString AcceptedStored = QStringLiteral("[ORD_STATUS] = 5");

QString storedExpression(const QString &path, int id)
{
    return testsupport::asOtherProgram(path, QStringLiteral("SELECT expression FROM rules WHERE id = %1").arg(id))
        .toString();
}

QString listedName(MainWindow &window, int id)
{
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("lstRules"));
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toInt() == id)
            return list->topLevelItem(i)->text(0);
    return QStringLiteral("(not listed)");
}

// Answers the error box the window shows, keeping its text in `shown`.
WindowVisit answerError(QString &shown)
{
    return testsupport::whenShown(QStringLiteral("msgError"), [&shown](QWidget *box) {
        shown = qobject_cast<QMessageBox *>(box)->text();
        qobject_cast<QMessageBox *>(box)->accept();
    });
}

// A database file in trouble, the demo's window on it, and one rule edited
// in the wizard whose save the file refused.
struct Scene
{
    QString path;
    std::unique_ptr<DatabaseTrouble> trouble;
    std::unique_ptr<DemoDatabase> db;
    std::unique_ptr<MainWindow> window;
    int id = 0;
    QString refusal; // the error message shown for the refused save
};

} // namespace

class tst_DemoPendingEdits : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sample; // a new database, copied for each scene
    int m_files = 0;

    // Builds the scene: the database in trouble from the start, the window
    // on it in `language`, and the edit of "Late delivery" it refused.
    void pendingEdit(Scene &scene, DatabaseTrouble::Kind kind, int language = nvtarnix::GreekLanguage)
    {
        scene.path = m_dir.filePath(QStringLiteral("pending-%1.sqlite").arg(++m_files));
        QVERIFY(QFile::copy(m_sample, scene.path));
        QVERIFY(QFile::setPermissions(scene.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        scene.trouble = std::make_unique<DatabaseTrouble>(kind, scene.path);
        QVERIFY2(scene.trouble->begin(), qPrintable(scene.trouble->error()));
        scene.db = std::make_unique<DemoDatabase>(scene.path, BusyTimeoutMs);
        scene.window = std::make_unique<MainWindow>(*scene.db);
        scene.window->setLanguage(language);
        scene.id = ruleId(*scene.db, QStringLiteral("Late delivery"));

        const QString typed = language == nvtarnix::EnglishLanguage ? AcceptedInEnglish : Accepted;
        const WindowVisit wizard = testsupport::whenShown(QStringLiteral("frmEditor"), [typed](QWidget *editor) {
            editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"))->setPlainText(typed);
            press(editor, "cmdOK");
        });
        const WindowVisit error = answerError(scene.refusal);
        QVERIFY(scene.window->editRule(scene.id));
        QVERIFY(wizard.came());
        QVERIFY(error.came());
        QVERIFY2(scene.refusal.contains(QString::number(DemoErrorSave)), qPrintable(scene.refusal));
        QVERIFY(scene.window->hasUnsaved(scene.id));
        QCOMPARE(scene.window->pendingExpression(scene.id), AcceptedStored);
        QVERIFY(storedExpression(scene.path, scene.id) != AcceptedStored);
    }

    static void troubles()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("read-only") << int(DatabaseTrouble::ReadOnly);
        QTest::newRow("locked") << int(DatabaseTrouble::Locked);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sample = m_dir.filePath(QStringLiteral("sample.sqlite"));
        DemoDatabase create(m_sample);
    }

    // Quitting with a pending edit asks: stay, discard, or try saving again,
    // which asks once more, with the error, while the file is still in trouble.
    void quitAsksAboutPendingEdits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("answer");
        for (const auto &[kind, name] : {std::pair{DatabaseTrouble::ReadOnly, "read-only"},
                                         std::pair{DatabaseTrouble::Locked, "locked"}})
            for (const char *answer : {"stay", "discard", "retry"})
                QTest::addRow("%s, %s", name, answer) << int(kind) << QString::fromLatin1(answer);
    }

    void quitAsksAboutPendingEdits()
    {
        QFETCH(int, kind);
        QFETCH(QString, answer);
        Scene scene;
        pendingEdit(scene, DatabaseTrouble::Kind(kind));
        QVERIFY(!QTest::currentTestFailed());
        const QString before = storedExpression(scene.path, scene.id);
        scene.window->show();

        QString question, secondQuestion;
        std::optional<WindowVisit> second;
        DatabaseTrouble &trouble = *scene.trouble;
        const WindowVisit first = testsupport::whenShown(QStringLiteral("msgUnsaved"), [&](QWidget *box) {
            question = qobject_cast<QMessageBox *>(box)->text();
            if (answer == QLatin1String("stay"))
                return press(box, "cmdStay");
            if (answer == QLatin1String("discard"))
                return press(box, "cmdDiscard");
            // The first retry meets the same trouble; the second, after the
            // trouble is gone, stores the edit.
            second.emplace(testsupport::whenShown(QStringLiteral("msgUnsaved"), [&](QWidget *again) {
                secondQuestion = qobject_cast<QMessageBox *>(again)->text();
                trouble.end();
                press(again, "cmdRetry");
            }));
            press(box, "cmdRetry");
        });
        const bool closed = scene.window->close();
        QVERIFY(first.came());
        QVERIFY2(question.contains(QStringLiteral("• Late delivery\n")), qPrintable(question));
        QVERIFY(!question.contains(
            demoText(DemoText::LastTryFailed, nvtarnix::GreekLanguage).section(QLatin1Char(' '), 0, 2)));

        if (answer == QLatin1String("stay")) {
            QVERIFY(!closed);
            QVERIFY(scene.window->isVisible());
            QVERIFY(scene.window->hasUnsaved(scene.id));
            QCOMPARE(storedExpression(scene.path, scene.id), before);
        } else if (answer == QLatin1String("discard")) {
            QVERIFY(closed);
            QCOMPARE(storedExpression(scene.path, scene.id), before);
        } else {
            QVERIFY(second && second->came());
            QVERIFY2(secondQuestion.contains(QStringLiteral("σφάλμα %1").arg(DemoErrorSave)),
                     qPrintable(secondQuestion));
            QVERIFY(closed);
            QVERIFY(!scene.window->hasUnsaved(scene.id));
            QCOMPARE(storedExpression(scene.path, scene.id), AcceptedStored);
        }
    }

    // "Try saving again" in the window: an error while the trouble lasts,
    // and the mark gone once a try succeeds.
    void retryClearsTheMark_data() { troubles(); }

    void retryClearsTheMark()
    {
        QFETCH(int, kind);
        Scene scene;
        pendingEdit(scene, DatabaseTrouble::Kind(kind));
        QVERIFY(!QTest::currentTestFailed());
        auto *retry = scene.window->findChild<QPushButton *>(QStringLiteral("cmdSaveAgain"));
        QVERIFY(retry && !retry->isHidden());
        QCOMPARE(listedName(*scene.window, scene.id), QStringLiteral("Late delivery (δεν αποθηκεύτηκε)"));

        QString shown;
        {
            const WindowVisit error = answerError(shown);
            QVERIFY(!scene.window->saveAgain());
            QVERIFY(error.came());
        }
        QVERIFY2(shown.contains(QString::number(DemoErrorSave)), qPrintable(shown));
        QVERIFY(scene.window->hasUnsaved(scene.id));

        scene.trouble->end();
        QVERIFY(scene.window->saveAgain());
        QVERIFY(!scene.window->hasUnsaved(scene.id));
        QCOMPARE(listedName(*scene.window, scene.id), QStringLiteral("Late delivery"));
        QVERIFY(retry->isHidden());
        QCOMPARE(storedExpression(scene.path, scene.id), AcceptedStored);
        // The rule's count follows what was stored.
        QCOMPARE(scene.window->outcome(scene.id)->selected,
                 testsupport::asOtherProgram(scene.path, "SELECT count(*) FROM orders WHERE ORD_STATUS = 5").toInt());
    }

    // Another program deletes the rule while its edit waits: the list keeps
    // it, says so, and the next save creates it again, same id and name.
    void ruleDeletedElsewhereIsRecreated_data() { troubles(); }

    void ruleDeletedElsewhereIsRecreated()
    {
        QFETCH(int, kind);
        Scene scene;
        pendingEdit(scene, DatabaseTrouble::Kind(kind), nvtarnix::EnglishLanguage);
        QVERIFY(!QTest::currentTestFailed());
        scene.trouble->end();
        QCOMPARE(testsupport::asOtherProgram(scene.path, QStringLiteral("DELETE FROM rules WHERE id = %1").arg(scene.id)),
                 QVariant());
        QCOMPARE(testsupport::asOtherProgram(scene.path, QStringLiteral("SELECT count(*) FROM rules WHERE id = %1")
                                                        .arg(scene.id))
                     .toInt(),
                 0);

        scene.window->refresh();
        QCOMPARE(listedName(*scene.window, scene.id),
                 QStringLiteral("Late delivery (deleted by another program, not saved)"));
        QVERIFY(scene.window->hasUnsaved(scene.id));
        // Quitting now names it among the edits that would be lost.
        QString question;
        {
            const WindowVisit ask = testsupport::whenShown(QStringLiteral("msgUnsaved"), [&question](QWidget *box) {
                question = qobject_cast<QMessageBox *>(box)->text();
                press(box, "cmdStay");
            });
            QVERIFY(!scene.window->close());
            QVERIFY(ask.came());
        }
        QVERIFY2(question.contains(QStringLiteral("• Late delivery (deleted by another program, not saved)")),
                 qPrintable(question));

        QVERIFY(scene.window->saveAgain());
        QCOMPARE(storedExpression(scene.path, scene.id), AcceptedStored);
        QCOMPARE(testsupport::asOtherProgram(scene.path, QStringLiteral("SELECT name FROM rules WHERE id = %1")
                                                        .arg(scene.id))
                     .toString(),
                 QStringLiteral("Late delivery"));
        QCOMPARE(listedName(*scene.window, scene.id), QStringLiteral("Late delivery"));
        QCOMPARE(scene.window->statusBar()->currentMessage(),
                 demoText(DemoText::RecreatedStatus, nvtarnix::EnglishLanguage).arg(QStringLiteral("Late delivery")));
    }

    // The language switch rebuilds the wizard, not the pending edits.
    void languageSwitchKeepsPendingEdits_data() { troubles(); }

    void languageSwitchKeepsPendingEdits()
    {
        QFETCH(int, kind);
        Scene scene;
        pendingEdit(scene, DatabaseTrouble::Kind(kind));
        QVERIFY(!QTest::currentTestFailed());

        scene.window->setLanguage(nvtarnix::EnglishLanguage);
        QVERIFY(scene.window->hasUnsaved(scene.id));
        QCOMPARE(scene.window->pendingExpression(scene.id), AcceptedStored);
        QCOMPARE(listedName(*scene.window, scene.id), QStringLiteral("Late delivery (not saved)"));

        // The wizard, now in English, opens on the pending text.
        QString reopenedWith, title;
        const WindowVisit wizard = testsupport::whenShown(QStringLiteral("frmEditor"), [&](QWidget *editor) {
            reopenedWith = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"))->toPlainText();
            title = editor->windowTitle();
            press(editor, "cmdCancel");
        });
        QVERIFY(!scene.window->editRule(scene.id));
        QVERIFY(wizard.came());
        QCOMPARE(reopenedWith, AcceptedInEnglish);
        QCOMPARE(title, QStringLiteral("Expression wizard"));
        QVERIFY(scene.window->hasUnsaved(scene.id));

        scene.window->setLanguage(nvtarnix::GreekLanguage);
        QCOMPARE(listedName(*scene.window, scene.id), QStringLiteral("Late delivery (δεν αποθηκεύτηκε)"));
        scene.trouble->end();
        QVERIFY(scene.window->saveAgain());
        QCOMPARE(storedExpression(scene.path, scene.id), AcceptedStored);
    }
};

NVTARNIX_TEST_CLASS(tst_DemoPendingEdits)
#include "tst_demopending.moc"
