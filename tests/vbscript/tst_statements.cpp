// Statements run as whole scripts, from data/statements.tsv: each row's code
// runs in a fresh control, then `r` is read. Columns: name, code (with \n
// between lines), TypeName, value; or "error" and the error number.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include <QFile>
#include <QTest>

using namespace vbscript;

namespace {

QString runAndRead(const QString &code)
{
    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setTimeout(10000);  // a wrongly endless loop fails the row instead of hanging
    sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    try {
        sc.addCode(code);
        return ValueText::resultLine(sc.eval(QStringLiteral("r")));
    } catch (const ScriptError &e) {
        return QStringLiteral("error\t%1").arg(e.number());
    }
}

} // namespace

class Statements : public QObject
{
    Q_OBJECT

private slots:
    void statements_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        QFile f(QStringLiteral(VBSCRIPT_TEST_DATA "/statements.tsv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (int i = 1; i < lines.size(); ++i) {
            if (lines[i].trimmed().isEmpty() || lines[i].startsWith(QLatin1Char('#')))
                continue;
            const QStringList cols = lines[i].split(QLatin1Char('\t'));
            QVERIFY2(cols.size() == 4, qPrintable(QStringLiteral("line %1 needs 4 columns").arg(i + 1)));
            QString code = cols[1];
            code.replace(QLatin1String("\\n"), QLatin1String("\n"));
            QTest::addRow("%d: %s", i + 1, qPrintable(cols[0])) << code << cols[2] + QLatin1Char('\t') + cols[3];
        }
    }

    void statements()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QCOMPARE(runAndRead(code), expected);
    }
};

QTEST_GUILESS_MAIN(Statements)
#include "tst_statements.moc"
