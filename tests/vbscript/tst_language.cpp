// Every fact about the language in data/language.tsv, run through the same
// evaluation and formatting as `tarnix eval`.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include <QFile>
#include <QTest>

using namespace vbscript;

namespace {

// What `tarnix eval` prints, split into the columns of the fact files:
// type, value; "error"/"syntax" with the number for failures.
QStringList evaluateLikeTarnix(const QString &expr)
{
    ScriptControl sc;
    sc.setLanguage(QStringLiteral("VBScript"));
    sc.setAllowUI(false);
    sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    try {
        return ValueText::resultLine(sc.eval(expr)).split(QLatin1Char('\t'));
    } catch (const ScriptError &e) {
        const QStringList f = ValueText::errorLine(e).split(QLatin1Char('\t'));
        const bool compile = f.value(4) == ScriptError::compileSource();
        return {compile ? QStringLiteral("syntax") : QStringLiteral("error"), f.value(1)};
    }
}

} // namespace

class LanguageFacts : public QObject
{
    Q_OBJECT

private slots:
    void facts_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QFile f(QStringLiteral(VBSCRIPT_TEST_DATA "/language.tsv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (int i = 1; i < lines.size(); ++i) {
            const QString line = lines[i];
            if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList cols = line.split(QLatin1Char('\t'));
            QTest::addRow("%d: %s", i + 1, qPrintable(cols.value(0)))
                << cols.value(0) << cols.value(1) << cols.value(2);
        }
    }

    void facts()
    {
        QFETCH(QString, expr);
        QFETCH(QString, type);
        QFETCH(QString, value);
        const QStringList got = evaluateLikeTarnix(expr);
        QCOMPARE(got.value(0) + QLatin1Char('\t') + got.value(1), type + QLatin1Char('\t') + value);
    }
};

QTEST_GUILESS_MAIN(LanguageFacts)
#include "tst_language.moc"
