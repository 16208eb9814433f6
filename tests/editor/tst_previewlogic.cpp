#include "editor/PreviewEvaluation.h"
#include "editor/PreviewRunner.h"

#include "TestMain.h"

#include <QSignalSpy>
#include <QTest>

#include <thread>

using namespace nvtarnix::editor;

// The preview's value texts and sample binding, without a window.
class tst_PreviewLogic : public QObject
{
    Q_OBJECT
private slots:
    void valueText_data();
    void valueText();
    void samples_data();
    void samples();
    void toolTipListsTypeAndSamples();
    void cancelStopsAnEndlessLoop();
    void newerRequestCancelsTheRunningOne();
};

void tst_PreviewLogic::valueText_data()
{
    // The value in the language's formats and words; the type goes to the
    // tooltip, and an error has none.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("type");
    QTest::newRow("greek boolean") << "1 < 2" << 1032 << "Αληθές" << "Boolean";
    QTest::newRow("english boolean") << "1 > 2" << 1033 << "False" << "Boolean";
    QTest::newRow("string in quotes") << "UCase(\"abc\")" << 1032 << "\"ABC\"" << "String";
    QTest::newRow("greek decimal comma") << "5 / 2" << 1032 << "2,5" << "Double";
    QTest::newRow("english decimal point") << "5 / 2" << 1033 << "2.5" << "Double";
    QTest::newRow("greek date") << "DateSerial(2000, 10, 28)" << 1032 << "28/10/2000" << "Date";
    QTest::newRow("english date") << "DateSerial(2000, 10, 28)" << 1033 << "10/28/2000" << "Date";
    QTest::newRow("null") << "Null" << 1033 << "Null" << "Null";
    QTest::newRow("greek error text") << "1 / 0" << 1032 << "Error 11: Διαίρεση με το μηδέν" << "";
    QTest::newRow("english error") << "1 / 0" << 1033 << "Error 11: Division by zero" << "";
    QTest::newRow("syntax error") << "1 +" << 1033 << "Error 1002: Syntax error" << "";
    QTest::newRow("empty text") << "  " << 1033 << "" << "";
}

void tst_PreviewLogic::valueText()
{
    QFETCH(QString, text);
    QFETCH(int, language);
    QFETCH(QString, shown);
    QFETCH(QString, type);
    PreviewJob job;
    job.displayText = text;
    job.language = language;
    job.locale = vbscript::ScriptLocale::fromLcid(language);
    if (language == 1032)
        job.words = {QStringLiteral("Αληθές"), QStringLiteral("Ψευδές")};
    const PreviewResult result = runPreview(job, nullptr);
    QCOMPARE(result.text, shown);
    QCOMPARE(result.typeName, type);
}

void tst_PreviewLogic::samples_data()
{
    // Each variable's sample, from the user's text, the host's sampledata or
    // the default for its type (today for a date), bound by name without
    // regard to case; the tooltip lists it as the preview used it.
    QTest::addColumn<int>("vartype");
    QTest::addColumn<QString>("sampledata");
    QTest::addColumn<QString>("userText");  // "-" for none
    QTest::addColumn<QString>("shown");
    QTest::newRow("text default is the caption") << 0 << "" << "-" << "\"Name\"";
    QTest::newRow("number default") << 5 << "" << "-" << "1";
    QTest::newRow("date default is today") << 4 << "" << "-" << "7/12/2026";
    QTest::newRow("host number with a dot") << 5 << "2.5" << "-" << "2,5";
    QTest::newRow("host ISO date") << 4 << "2024-02-29" << "-" << "29/2/2024";
    QTest::newRow("host text") << 0 << "ABC" << "-" << "\"ABC\"";
    QTest::newRow("user number in greek") << 5 << "2.5" << "7,25" << "7,25";
    QTest::newRow("user date in greek") << 4 << "" << "1/2/2003" << "1/2/2003";
    QTest::newRow("user text that is no number") << 5 << "" << "abc" << "\"abc\"";
}

void tst_PreviewLogic::samples()
{
    QFETCH(int, vartype);
    QFETCH(QString, sampledata);
    QFETCH(QString, userText);
    QFETCH(QString, shown);
    EditorVariable variable;
    variable.varID = "V";
    variable.vardescription = "Name";
    variable.groupcaption = "Customer";
    variable.vartype = vartype;
    variable.sampledata = sampledata;
    const auto locale = vbscript::ScriptLocale::fromLcid(1032);
    PreviewJob job;
    job.displayText = "[customer.NAME] & \"\" = \"\" Or [Other.Name] = 1";
    job.locale = locale;
    job.variables = {variable};
    job.today = QDate(2026, 12, 7);
    if (userText != "-")
        job.userTexts.insert("V", userText);
    // A name the view lacks is Empty, and the tooltip leaves it out.
    const PreviewResult result = runPreview(job, nullptr);
    QCOMPARE(result.samples, QStringList{QStringLiteral("[Customer.Name] = %1").arg(shown)});
    job.displayText = "[customer.NAME]";
    QCOMPARE(runPreview(job, nullptr).text, shown);
}

void tst_PreviewLogic::toolTipListsTypeAndSamples()
{
    PreviewResult result;
    result.text = QStringLiteral("Αληθές");
    result.typeName = QStringLiteral("Boolean");
    result.samples = {QStringLiteral("[Order.Amount] = 1"), QStringLiteral("[Today] = 7/12/2026")};
    QCOMPARE(previewToolTip(QStringLiteral("About"), QStringLiteral("Type: %1"), result),
             QStringLiteral("About\nType: Boolean\n[Order.Amount] = 1\n[Today] = 7/12/2026"));
    // An error has no type.
    result.typeName.clear();
    result.samples.clear();
    QCOMPARE(previewToolTip(QStringLiteral("About"), QStringLiteral("Type: %1"), result), QStringLiteral("About"));
}

void tst_PreviewLogic::cancelStopsAnEndlessLoop()
{
    PreviewJob job;
    job.displayText = "Execute(\"Do : Loop\")";
    job.locale = vbscript::ScriptLocale::fromLcid(1033);
    job.language = 1033;
    // No time limit: only the cancel can end it (a run that ignored it would
    // never end, and ctest's own limit would fail the program).
    job.timeoutMs = -1;
    std::atomic_bool cancel = false;
    std::thread canceller([&] { cancel = true; });
    const QString shown = runPreview(job, &cancel).text;
    canceller.join();
    QVERIFY(shown.startsWith("Error "));
}

void tst_PreviewLogic::newerRequestCancelsTheRunningOne()
{
    PreviewRunner runner;
    QSignalSpy shown(&runner, &PreviewRunner::ready);
    PreviewJob endless;
    endless.displayText = "Execute(\"Do : Loop\")";
    endless.locale = vbscript::ScriptLocale::fromLcid(1033);
    endless.language = 1033;
    endless.timeoutMs = -1;
    runner.request(endless);
    QTRY_VERIFY(runner.evaluating());

    PreviewJob sum = endless;
    sum.displayText = "1 + 1";
    runner.request(sum);
    // Only the newest result arrives, and the loop ends though it has no
    // time limit of its own.
    QTRY_COMPARE(shown.size(), 1);
    QCOMPARE(shown.at(0).at(0).value<PreviewResult>().text, QStringLiteral("2"));
    QTRY_VERIFY(!runner.evaluating());
    QCOMPARE(shown.size(), 1);
}

NVTARNIX_TEST_CLASS(tst_PreviewLogic)
#include "tst_previewlogic.moc"
