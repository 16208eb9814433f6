#include <nvtarnix/TarnixObject.h>

#include "ErrorNumber.h"
#include "TestMain.h"
#include "schema/BracketReplacer.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace nvtarnix;
using testsupport::errorNumber;

namespace {

// Variables as "ID|caption|group" separated by ";".
void addVariables(TarnixObject &o, const QString &variables)
{
    for (const QString &v : variables.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = v.split(u'|');
        o.AddVariable(f.value(0), f.value(1), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("3"),
                      QStringLiteral("0"), {}, {}, {}, f.value(2));
    }
}

// The plain form of the replacement rule: every step over the whole text.
QString reference(const std::vector<BracketReplacer::Step> &steps, QString text)
{
    for (const auto &s : steps)
        text.replace(s.search, s.replacement, Qt::CaseSensitive);
    return text;
}

QString randomText(QRandomGenerator &rng, const QString &alphabet, int maxLength)
{
    QString s;
    const int n = int(rng.bounded(maxLength + 1));
    for (int i = 0; i < n; ++i)
        s += alphabet.at(int(rng.bounded(alphabet.size())));
    return s;
}

} // namespace

class tst_Conversion : public QObject
{
    Q_OBJECT

private slots:
    void toDatabase_data()
    {
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("database");
        const QString customer = QStringLiteral("CUST_NAME|Name|Customer;AMT|Amount|");
        QTest::newRow("grouped and plain") << customer << "[Customer.Name] & [Amount]" << "[CUST_NAME] & [AMT]";
        QTest::newRow("caption alone of a grouped variable stays") << customer << "[Name]" << "[Name]";
        QTest::newRow("every occurrence") << customer << "[Amount]+[Amount]*[Amount]" << "[AMT]+[AMT]*[AMT]";
        QTest::newRow("inside quotes too") << customer << "\"[Amount]\"" << "\"[AMT]\"";
        QTest::newRow("letter case matters") << customer << "[amount] [Customer.name]" << "[amount] [Customer.name]";
        QTest::newRow("unbalanced") << customer << "[Amount [Amount] Amount] [" << "[Amount [AMT] Amount] [";
        QTest::newRow("unknown bracket") << customer << "[Other]" << "[Other]";
        QTest::newRow("no brackets") << customer << "Len(\"abc\") > 2" << "Len(\"abc\") > 2";
        QTest::newRow("empty") << customer << "" << "";
        QTest::newRow("chained through a later caption")
            << "A|First|;B|A|" << "[First] [A]" << "[B] [B]";
        QTest::newRow("same caption twice: first wins") << "A|Same|;B|Same|" << "[Same]" << "[A]";
        QTest::newRow("no overlap") << "X|a]a[a|" << "[a]a[a]a[a]" << "[X]a[a]";
        QTest::newRow("line breaks become blanks")
            << customer << "[Amount]\r\n\r\n> 1" << "[AMT] > 1";
        QTest::newRow("twelve breaks, two blanks")
            << customer << "a" + QString("\r\n").repeated(12) + "b" << "a  b";
        QTest::newRow("lone CR and LF stay") << customer << "a\rb\nc\n\rd" << "a\rb\nc\n\rd";
    }
    void toDatabase()
    {
        QFETCH(QString, variables);
        QFETCH(QString, display);
        QFETCH(QString, database);
        TarnixObject o;
        addVariables(o, variables);
        QCOMPARE(o.ConvertScriptToDatabase(display), database);
        o.setScript(display);
        QCOMPARE(o.Script(), display);
        QCOMPARE(o.DatabaseScript(), database);
    }

    void fromDatabase_data()
    {
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("display");
        const QString customer = QStringLiteral("CUST_NAME|Name|Customer;AMT|Amount|");
        QTest::newRow("both kinds") << customer << "[CUST_NAME]&[AMT]" << "[Customer.Name]&[Amount]";
        QTest::newRow("id case matters") << customer << "[amt]" << "[amt]";
        QTest::newRow("chained") << "A|B|;B|Bee|" << "[A]" << "[Bee]";
        QTest::newRow("breaks") << customer << "[AMT]\r\n+1" << "[Amount] +1";
    }
    void fromDatabase()
    {
        QFETCH(QString, variables);
        QFETCH(QString, database);
        QFETCH(QString, display);
        TarnixObject o;
        addVariables(o, variables);
        o.setDatabaseScript(database);
        QCOMPARE(o.DatabaseScript(), database);
        QCOMPARE(o.Script(), display);
    }

    void keepsLineBreaksWhenAsked()
    {
        TarnixObject o;
        addVariables(o, QStringLiteral("AMT|Amount|"));
        o.setRemoveNewLine(false);
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Amount]\r\n+1")), QStringLiteral("[AMT]\r\n+1"));
        QCOMPARE(o.ConvertScriptFromDatabase(QStringLiteral("[AMT]\r\n+1")), QStringLiteral("[Amount]\r\n+1"));
    }

    void removeLineBreaks_data()
    {
        QTest::addColumn<int>("pairs");
        QTest::addColumn<int>("blanks");
        for (auto [k, b] : {std::pair{1, 1}, {2, 1}, {10, 1}, {11, 2}, {19, 2}, {20, 2}, {21, 3}, {35, 4}})
            QTest::addRow("%d pairs", k) << k << b;
    }
    void removeLineBreaks()
    {
        QFETCH(int, pairs);
        QFETCH(int, blanks);
        const QString text = u'x' + QStringLiteral("\r\n").repeated(pairs) + u'y';
        QCOMPARE(RemoveLineBreaks(text), u'x' + QString(blanks, u' ') + u'y');
    }

    void followsChangesOfTheView()
    {
        TarnixObject o;
        addVariables(o, QStringLiteral("A|Alpha|"));
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Alpha]")), QStringLiteral("[A]"));
        // The replacement steps are kept between calls; a changed caption or
        // a new variable must be seen at once.
        auto view = o.BuilderSchema()->GetCatalog("_defaultcatalog")->Views().Item("_defaultview");
        view->Fields().Item(1)->setVardescription(QStringLiteral("Alef"));
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Alpha][Alef]")), QStringLiteral("[Alpha][A]"));
        view->Fields().Item(1)->setGroupcaption(QStringLiteral("G"));
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Alef][G.Alef]")), QStringLiteral("[Alef][A]"));
        addVariables(o, QStringLiteral("B|Beta|"));
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Beta]")), QStringLiteral("[B]"));
        o.ClearVariables();
        QCOMPARE(o.ConvertScriptToDatabase(QStringLiteral("[Beta]")), QStringLiteral("[Beta]"));
    }

    void roundTripWithDistinctNames()
    {
        TarnixObject o;
        addVariables(o, QStringLiteral("C1|Name|Customer;C2|City|Customer;AMT|Amount|;Q|Qty|Line"));
        const QString display = QStringLiteral("IIf([Amount] > 0, [Customer.Name] & \" \" & [Customer.City], [Line.Qty])");
        QCOMPARE(o.ConvertScriptFromDatabase(o.ConvertScriptToDatabase(display)), display);
    }

    void missingViewIsError101()
    {
        TarnixObject o;
        o.setBuilderSchema(std::make_shared<Schema>());
        o.BuilderSchema()->AddCatalog(QStringLiteral("c"));
        QVERIFY(errorNumber([&] { o.Init(QStringLiteral("c"), QStringLiteral("v")); }) != 0);
        for (const QString &text : {QString(), QStringLiteral("[x]")}) {
            try {
                o.ConvertScriptFromDatabase(text);
                QFAIL("converted without a view");
            } catch (const Error &e) {
                QCOMPARE(e.number(), 101);
                QCOMPARE(e.source(), QStringLiteral("nvTarnix.class"));
                QCOMPARE(e.description(), QStringLiteral("Current View is missing"));
            }
        }
        // The put stores its text before the conversion fails.
        QCOMPARE(errorNumber([&] { o.setDatabaseScript(QStringLiteral("[x]")); }), 101);
        QCOMPARE(o.DatabaseScript(), QStringLiteral("[x]"));
        QCOMPARE(o.Script(), QString());
    }

    // The replacer must give exactly what the plain step-by-step rule gives.
    // Small alphabets full of brackets make chains, overlaps and matches
    // across replacement borders common; plain tokens (no inner brackets)
    // take the one-pass route, anything else the step-by-step one.
    void replacerMatchesPlainRule_data()
    {
        QTest::addColumn<QString>("innerAlphabet");
        QTest::addColumn<bool>("bracketedReplacements");
        QTest::newRow("plain tokens") << "ab." << true;
        QTest::newRow("brackets inside") << "[]ab." << true;
        QTest::newRow("free replacements") << "[]ab." << false;
    }
    void replacerMatchesPlainRule()
    {
        QFETCH(QString, innerAlphabet);
        QFETCH(bool, bracketedReplacements);
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 3000; ++round) {
            std::vector<BracketReplacer::Step> steps;
            const int count = 1 + int(rng.bounded(8));
            for (int i = 0; i < count; ++i) {
                QString replacement = randomText(rng, innerAlphabet, 3);
                if (bracketedReplacements)
                    replacement = u'[' + replacement + u']';
                steps.push_back({u'[' + randomText(rng, innerAlphabet, 2) + u']', replacement});
            }
            const QString text = randomText(rng, QStringLiteral("[]ab."), 30);
            const QString expected = reference(steps, text);
            const QString actual = BracketReplacer(steps).apply(text);
            if (actual != expected) {
                QString described;
                for (const auto &s : steps)
                    described += s.search + QStringLiteral(" -> ") + s.replacement + QStringLiteral("; ");
                QFAIL(qPrintable(QStringLiteral("text %1, steps %2: got %3, expected %4")
                                     .arg(text, described, actual, expected)));
            }
        }
    }

    // Replacements without brackets (the check's samples) can join a stray
    // "[" before a variable and a "]" after it, or after a later one, into a
    // name that a later step finds.
    void samplesJoinStrayBrackets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("steps"); // search, replacement, ...
        QTest::addColumn<QString>("expected");
        const QStringList xyz{"[x]", "X", "[y]", "Y", "[XY]", "found", "[aXb]", "found"};
        QTest::newRow("around one") << "[a[x]b]" << xyz << "found";
        QTest::newRow("around two, one step each") << "[[x][y]]" << xyz << "found";
        QTest::newRow("token between") << "[[x][z][y]]" << xyz << "[X[z]Y]";
        QTest::newRow("closing bracket first") << "][x][y][" << xyz << "]XY[";
        QTest::newRow("into a token") << "[[x]]" << QStringList{"[x]", "[X]", "[[X]]", "found"} << "found";
    }
    void samplesJoinStrayBrackets()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        std::vector<BracketReplacer::Step> list;
        for (qsizetype i = 0; i + 1 < steps.size(); i += 2)
            list.push_back({steps.at(i), steps.at(i + 1)});
        QCOMPARE(reference(list, text), expected);
        QCOMPARE(BracketReplacer(list).apply(text), expected);
    }

    // A view's conversions must give what the step-by-step rule gives over
    // the same fields, before and after the view changes. Tiny alphabets make
    // chains (an ID that is another field's caption), repeated captions and
    // tokens named by no field common; brackets inside the names make
    // matches that span tokens.
    void fieldPassMatchesPlainRule_data()
    {
        QTest::addColumn<QString>("names");
        QTest::newRow("plain names") << "ab.";
        QTest::newRow("brackets in names") << "[]a.";
    }
    void fieldPassMatchesPlainRule()
    {
        QFETCH(QString, names);
        QRandomGenerator rng(20261205);
        const QString script = QStringLiteral("[]ab.");
        for (int round = 0; round < 400; ++round) {
            TarnixObject o;
            const auto view = o.BuilderSchema()->GetCatalog(QStringLiteral("_defaultcatalog"))->Views().Item(1);
            const int count = 1 + int(rng.bounded(10));
            for (int i = 0; i < count; ++i) {
                const QString id = randomText(rng, names, 2);
                if (id.isEmpty() || view->Fields().Exists(id))
                    continue;
                view->AddField(id, randomText(rng, names, 2))
                    ->setGroupcaption(rng.bounded(3) ? QString() : randomText(rng, names, 2));
            }
            // Several texts on the same view reuse what the first one worked
            // out; the changed caption must be seen at once.
            for (int change = 0; change < 2; ++change) {
                if (change && view->Fields().Count() > 0)
                    view->Fields().Item(1)->setVardescription(randomText(rng, names, 2));
                std::vector<BracketReplacer::Step> toDb;
                std::vector<BracketReplacer::Step> fromDb;
                for (const auto &f : view->Fields()) {
                    const QString display = f->groupcaption().isEmpty()
                                                ? u'[' + f->vardescription() + u']'
                                                : u'[' + f->groupcaption() + u'.' + f->vardescription() + u']';
                    toDb.push_back({display, u'[' + f->ID() + u']'});
                    fromDb.push_back({u'[' + f->ID() + u']', display});
                }
                for (int t = 0; t < 4; ++t) {
                    const QString text = randomText(rng, script, 30);
                    QCOMPARE(o.ConvertScriptToDatabase(text), reference(toDb, text));
                    QCOMPARE(o.ConvertScriptFromDatabase(text), reference(fromDb, text));
                }
            }
        }
    }
};

NVTARNIX_TEST_CLASS(tst_Conversion)

#include "tst_conversion.moc"
