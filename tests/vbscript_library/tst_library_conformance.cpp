// Every function of the runtime library evaluated by the real engine against
// tables of facts: the Windows engine's observed results (builtins.tsv), our
// own cases from the language reference (library.tsv, en-US) and the
// locale-dependent functions in Greek (library-el-GR.tsv).
//
// Each row: expression, TypeName of the result (or "error"/"syntax"), the
// canonical text of the value (or the error number), and where the fact comes
// from.
#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"
#include "TsvTable.h"

#include <QtTest>

using namespace vbscript;

class tst_LibraryConformance : public QObject
{
    Q_OBJECT

private slots:
    void facts_data();
    void facts();
};

void tst_LibraryConformance::facts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expr");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");

    const struct
    {
        const char *folder;
        const char *file;
        const char *locale;
    } tables[] = {
        // The Windows engine's facts live beside the language's facts.
        {CONFORMANCE_TEST_DATA, "builtins.tsv", "en_US"},
        {LIBRARY_TEST_DATA, "library.tsv", "en_US"},
        {LIBRARY_TEST_DATA, "library-el-GR.tsv", "el_GR"},
    };
    for (const auto &table : tables) {
        const QString file = QLatin1String(table.folder) + QLatin1Char('/') + QLatin1String(table.file);
        const testsupport::TsvTable facts = testsupport::readTsv(file, {"expr", "type", "value", "basis"});
        QVERIFY2(facts.error.isEmpty(), qPrintable(facts.error));
        for (const testsupport::TsvRow &row : facts.rows) {
            QTest::newRow(row.name(file).constData())
                << QString::fromLatin1(table.locale) << row.cells[0] << row.cells[1] << row.cells[2];
        }
    }
}

void tst_LibraryConformance::facts()
{
    QFETCH(QString, locale);
    QFETCH(QString, expr);
    QFETCH(QString, type);
    QFETCH(QString, value);

    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setLocale(ScriptLocale(QLocale(locale)));
    sc.setAllowUI(false);
    QString gotType, gotValue;
    try {
        const Variant v = sc.eval(expr);
        gotType = v.typeName();
        gotValue = ValueText::canonical(v);
    } catch (const ScriptError &e) {
        gotType = e.kind() == ErrorKind::Compile ? QStringLiteral("syntax") : QStringLiteral("error");
        gotValue = QString::number(e.number());
    }
    QCOMPARE(gotType + QLatin1Char('\t') + gotValue, type + QLatin1Char('\t') + value);
}

NVTARNIX_TEST_CLASS(tst_LibraryConformance)
#include "tst_library_conformance.moc"
