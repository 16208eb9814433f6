// Every script under scripts/<area>/<behaviour>.vbs, run as a whole, against
// the expectations in its comments (see ScriptExpectations.h). A script shows
// a value with `Show value`: Show is an object of this driver whose default
// member records what it is given.

#include "ScriptExpectations.h"

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

using namespace vbscript;

namespace {

class Recorder : public Object
{
public:
    QString typeName() const override { return QStringLiteral("Recorder"); }
    Variant get(const QString &name, std::span<Variant> args) override
    {
        if (!name.isEmpty() || args.size() != 1)
            throw ScriptError::runtime(err::WrongNumberOfArguments);
        shown << ValueText::resultLine(args[0]).replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
        return Variant();
    }
    QStringList shown;
};

} // namespace

class tst_Scripts : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator files(QStringLiteral(VBSCRIPT_SCRIPTS), {QStringLiteral("*.vbs")}, QDir::Files,
                           QDirIterator::Subdirectories);
        QStringList paths;
        while (files.hasNext())
            paths << files.next();
        paths.sort();
        QVERIFY2(paths.size() > 100, "the script tests are missing");
        const int rootLength = int(QStringLiteral(VBSCRIPT_SCRIPTS).size()) + 1;
        for (const QString &p : paths)
            QTest::newRow(qPrintable(p.mid(rootLength))) << p;
    }

    void scripts()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(file.readAll());
        const ScriptExpectations expected = ScriptExpectations::read(source);
        QVERIFY2(!expected.shown.isEmpty() || expected.errorNumber, "the script expects nothing");

        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setAllowUI(false);
        sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
        sc.setTimeout(30000);  // a wrongly endless loop fails the script instead of hanging
        auto recorder = std::make_shared<Recorder>();
        sc.addObject(QStringLiteral("Show"), recorder);
        int errorNumber = 0, errorLine = 0;
        try {
            sc.addCode(source);
        } catch (const ScriptError &e) {
            errorNumber = e.number();
            errorLine = e.line();
        }
        QCOMPARE(recorder->shown, expected.shown);
        QCOMPARE(errorNumber, expected.errorNumber);
        if (expected.errorLine)
            QCOMPARE(errorLine, expected.errorLine);
    }
};

NVTARNIX_TEST_CLASS(tst_Scripts)
#include "tst_scripts.moc"
