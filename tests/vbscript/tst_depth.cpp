// Depth: what a script nests (source, calls, Eval within Eval, structures it
// builds) ends in 28 "Out of stack space" or in its value, never in a crash,
// on a thread with as little as 256 KB of stack; and the answer does not
// depend on the thread when the source alone is too deep.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include "SmallStack.h"

using namespace vbscript;

namespace {

using testsupport::kSmallStack;

// What a script came to: "error N", or the result line of its value.
using Outcome = QString;

Outcome outcomeOf(const std::function<Variant(ScriptControl &)> &run)
{
    try {
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setAllowUI(false);
        sc.setTimeout(20000);
        sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
        return ValueText::resultLine(run(sc));
    } catch (const ScriptError &e) {
        return QStringLiteral("error %1").arg(e.number());
    }
}

// Runs `run` on a new thread with `stackSize` bytes of stack (0: the
// platform's default) and answers its outcome; the engine, and whatever the
// script built, is made and freed on that thread.
Outcome onThread(qsizetype stackSize, const std::function<Variant(ScriptControl &)> &run)
{
    Outcome outcome;
    std::unique_ptr<QThread> t(QThread::create([&] { outcome = outcomeOf(run); }));
    if (stackSize)
        t->setStackSize(uint(stackSize));
    t->start();
    if (!t->wait(QDeadlineTimer(60000)))
        qFatal("a script still runs after a minute");
    return outcome;
}

Outcome evalOnThread(qsizetype stackSize, const QString &expression)
{
    return onThread(stackSize, [expression](ScriptControl &sc) { return sc.eval(expression); });
}

Outcome runOnThread(qsizetype stackSize, const QString &code, const QString &result)
{
    return onThread(stackSize, [code, result](ScriptControl &sc) {
        sc.addCode(code);
        return sc.eval(result);
    });
}

QString repeated(const char *text, int times)
{
    return QString::fromLatin1(text).repeated(times);
}

QString parens(int depth, const QString &inner)
{
    return QString(depth, QLatin1Char('(')) + inner + QString(depth, QLatin1Char(')'));
}

// 1 + 1 + ... with `links` operators
QString sum(int links)
{
    return QStringLiteral("1") + repeated(" + 1", links);
}

} // namespace

class tst_Depth : public QObject
{
    Q_OBJECT

private slots:
    // The parser bounds the depth of the whole tree: each construct within
    // its own bound may still nest too deep with the others.
    void sourceNestingIsBoundedInTotal_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("brackets") << parens(150, QStringLiteral("7")) << Outcome("Integer\t7");
        QTest::newRow("brackets too deep") << parens(100000, QStringLiteral("7")) << Outcome("error 28");
        // A chain is one level, however long: its evaluation and its
        // release walk it in a loop.
        QTest::newRow("chain") << sum(3999) << Outcome("Integer\t4000");
        QTest::newRow("chain too long") << sum(4096) << Outcome("error 28");
        QTest::newRow("chains within brackets") << parens(150, sum(3999)) << Outcome("Integer\t4000");
        QTest::newRow("chains within chains")
            << QStringLiteral("1") + repeated(" + (1", 40) + repeated(" + 1", 3500) + QString(40, QLatin1Char(')'))
            << Outcome("Integer\t3541");
        QTest::newRow("calls within brackets")
            << parens(150, repeated("Abs(", 60) + QStringLiteral("-3") + QString(60, QLatin1Char(')')))
            << Outcome("error 28");
        QTest::newRow("calls") << repeated("Abs(", 150) + QStringLiteral("-2") + QString(150, QLatin1Char(')'))
                               << Outcome("Integer\t2");
        QTest::newRow("calls too deep") << repeated("Abs(", 50000) + QStringLiteral("2") + QString(50000, QLatin1Char(')'))
                                        << Outcome("error 28");
        QTest::newRow("indices") << QStringLiteral("Array(Array(Array(5)))(0)(0)(0)") << Outcome("Integer\t5");
        QTest::newRow("index chain too long") << QStringLiteral("Array(1)") + repeated("(0)", 100000) << Outcome("error 28");
        QTest::newRow("member chain too long") << QStringLiteral("Err") + repeated(".Number", 100000) << Outcome("error 28");
        QTest::newRow("index chain within brackets")
            << parens(150, QStringLiteral("Array(1)") + repeated("(0)", 150)) << Outcome("error 28");
        QTest::newRow("negations") << QString(100000, QLatin1Char('-')) + QStringLiteral("1") << Outcome("error 28");
        QTest::newRow("Nots") << repeated("Not ", 100000) + QStringLiteral("1") << Outcome("error 28");
        QTest::newRow("Nots within brackets") << parens(150, repeated("Not ", 150) + QStringLiteral("0"))
                                              << Outcome("error 28");
    }

    void sourceNestingIsBoundedInTotal()
    {
        QFETCH(QString, expression);
        QFETCH(Outcome, outcome);
        QCOMPARE(evalOnThread(kSmallStack, expression), outcome);
        QCOMPARE(evalOnThread(0, expression), outcome);
        // Eval of the same text inside a rule's run is bounded alike.
        QCOMPARE(evalOnThread(kSmallStack, QStringLiteral("Eval(\"") + expression + QStringLiteral("\")")), outcome);
    }

    // Blocks count with the expressions inside them.
    void statementNestingIsBoundedInTotal_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<Outcome>("outcome");
        auto nested = [](const char *open, const char *close, int depth, const QString &inner) {
            return repeated(open, depth) + inner + QLatin1Char('\n') + repeated(close, depth);
        };
        QTest::newRow("If blocks") << nested("If True Then\n", "End If\n", 100, QStringLiteral("x = 3")) << Outcome("Integer\t3");
        QTest::newRow("If blocks too deep") << nested("If True Then\n", "End If\n", 5000, QStringLiteral("x = 3"))
                                            << Outcome("error 28");
        QTest::newRow("Do loops too deep") << nested("Do\n", "Loop Until True\n", 5000, QStringLiteral("x = 3"))
                                           << Outcome("error 28");
        QTest::newRow("For loops too deep") << nested("For i = 1 To 1\n", "Next\n", 5000, QStringLiteral("x = 3"))
                                            << Outcome("error 28");
        QTest::newRow("a long sum within If blocks")
            << nested("If True Then\n", "End If\n", 100, QStringLiteral("x = ") + sum(3000)) << Outcome("Integer\t3001");
        QTest::newRow("brackets within If blocks")
            << nested("If True Then\n", "End If\n", 150, QStringLiteral("x = ") + parens(150, QStringLiteral("3")))
            << Outcome("error 28");
    }

    void statementNestingIsBoundedInTotal()
    {
        QFETCH(QString, code);
        QFETCH(Outcome, outcome);
        QCOMPARE(runOnThread(kSmallStack, code, QStringLiteral("x")), outcome);
        QCOMPARE(runOnThread(0, code, QStringLiteral("x")), outcome);
    }

    // Depth that only running reaches: recursion, Eval within Eval. Each
    // level is fine on its own; the stack decides how many fit, and what
    // does not fit is 28 on every thread.
    void runningDepthEndsInOutOfStackSpace_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("result");
        QTest::newRow("recursion") << QStringLiteral("Function F(n)\nF = F(n + 1)\nEnd Function") << QStringLiteral("F(1)");
        QTest::newRow("recursion through deep expressions")
            << QStringLiteral("Function F(n)\nF = ") + parens(150, QStringLiteral("F(n + 1) + ") + sum(200))
                   + QStringLiteral("\nEnd Function")
            << QStringLiteral("F(1)");
        QTest::newRow("recursion through members")
            << QStringLiteral("Class C\nPublic Function M(n)\nM = Me.M(n + 1)\nEnd Function\nEnd Class")
            << QStringLiteral("(New C).M(1)");
        QTest::newRow("recursion through Eval")
            << QStringLiteral("Function F(n)\nF = Eval(\"F(\" & n + 1 & \")\")\nEnd Function") << QStringLiteral("F(1)");
        // A rule that evaluates itself again, with nothing defined: the text
        // of the rule has its own text quoted in place of each @.
        const QString self = QStringLiteral("Eval(Replace(@, Chr(64), Chr(34) & @ & Chr(34)))");
        QString rule = self;
        rule.replace(QLatin1Char('@'), QLatin1Char('"') + self + QLatin1Char('"'));
        QTest::newRow("Eval of itself") << QString() << rule;
        QTest::newRow("Execute within Execute")
            << QStringLiteral("Function S()\nExecute \"x = S()\"\nEnd Function") << QStringLiteral("S()");
    }

    void runningDepthEndsInOutOfStackSpace()
    {
        QFETCH(QString, code);
        QFETCH(QString, result);
        QCOMPARE(runOnThread(kSmallStack, code, result), Outcome("error 28"));
        QCOMPARE(runOnThread(0, code, result), Outcome("error 28"));
    }

    // Structures as deep as the memory allows are freed one after another,
    // not each inside the one that holds it: on a 256 KB stack, at Set
    // Nothing, when the engine ends, and under a larger structure.
    void deepStructuresAreFreedFlat_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("result");
        QTest::addColumn<Outcome>("outcome");
        const QString dictionaries = QStringLiteral(
            "Dim d, n, i\nFor i = 1 To 200000\nSet n = CreateObject(\"Scripting.Dictionary\")\n"
            "n.Add \"inner\", d\nSet d = n\nNext\n");
        QTest::newRow("Dictionaries, at Set Nothing") << dictionaries + QStringLiteral("Set d = Nothing\nSet n = Nothing")
                                                      << QStringLiteral("IsEmpty(d)") << Outcome("Boolean\tFalse");
        QTest::newRow("Dictionaries, when the engine ends") << dictionaries << QStringLiteral("d.Count")
                                                            << Outcome("Long\t1");
        QTest::newRow("Dictionaries as items") << dictionaries + QStringLiteral("n.Item(\"inner\") = 0")
                                               << QStringLiteral("d.Item(\"inner\")") << Outcome("Integer\t0");
        QTest::newRow("Dictionaries removed") << dictionaries + QStringLiteral("n.RemoveAll")
                                              << QStringLiteral("d.Count") << Outcome("Long\t0");
        const QString arrays = QStringLiteral("Dim a, i\na = 0\nFor i = 1 To 200000\na = Array(a)\nNext\n");
        QTest::newRow("arrays, at assignment") << arrays + QStringLiteral("a = 1") << QStringLiteral("a")
                                               << Outcome("Integer\t1");
        QTest::newRow("arrays, when the engine ends") << arrays << QStringLiteral("UBound(a)") << Outcome("Long\t0");
        QTest::newRow("arrays and Dictionaries in turn")
            << QStringLiteral("Dim a, d, i\nFor i = 1 To 100000\nSet d = CreateObject(\"Scripting.Dictionary\")\n"
                              "d.Add i, a\na = Array(d)\nNext\nd = Empty\na = Empty")
            << QStringLiteral("IsEmpty(a)") << Outcome("Boolean\tTrue");
        QTest::newRow("class instances")
            << QStringLiteral("Class Link\nPublic Nxt\nEnd Class\nDim h, n, i\nSet h = Nothing\nFor i = 1 To 200000\nSet n = New Link\n"
                              "Set n.Nxt = h\nSet h = n\nNext\nSet n = Nothing\nSet h = Nothing")
            << QStringLiteral("h Is Nothing") << Outcome("Boolean\tTrue");
    }

    void deepStructuresAreFreedFlat()
    {
        QFETCH(QString, code);
        QFETCH(QString, result);
        QFETCH(Outcome, outcome);
        QCOMPARE(runOnThread(kSmallStack, code, result), outcome);
    }

    // A result is an answer a host could convert: arrays nested deeper than
    // the conversion goes end in 28, both when the engine answers and when
    // its value is converted; measuring the depth of an array shared many
    // times over takes one look at each.
    void deepArraysAreNoAnswer_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("as deep as converts") << Variant::kMaxConvertedDepth << Outcome("Variant()\t");
        QTest::newRow("one deeper") << Variant::kMaxConvertedDepth + 1 << Outcome("error 28");
        QTest::newRow("100,000 deep") << 100000 << Outcome("error 28");
    }

    void deepArraysAreNoAnswer()
    {
        QFETCH(int, depth);
        QFETCH(Outcome, outcome);
        // a holds depth arrays, each inside the next: Array(Array(...(0)))
        const QString code = QStringLiteral("Dim a, i\na = 0\nFor i = 1 To %1\na = Array(a)\nNext").arg(depth);
        QCOMPARE(runOnThread(kSmallStack, code, QStringLiteral("a")), outcome);
        // The engine's own conversion, asked without the engine's answer
        // before it.
        const Outcome converted = onThread(kSmallStack, [depth](ScriptControl &) {
            Variant a(qint32(0));
            const qint32 onlyIndex = 0;
            for (int i = 0; i < depth; ++i) {
                auto holder = SafeArray::create(std::span<const qint32>(&onlyIndex, 1), 1);
                holder->data[0] = std::move(a);
                a = Variant(std::move(holder));
            }
            return Variant(a.toQVariant().typeId() == QMetaType::QVariantList);
        });
        QCOMPARE(converted, outcome == Outcome("error 28") ? outcome : Outcome("Boolean\tTrue"));
    }

    void sharedArraysAreMeasuredOnce()
    {
        // 2^60 paths through 60 arrays: walked path by path it never ends.
        const QString code = QStringLiteral("Dim a, i\na = 0\nFor i = 1 To 60\na = Array(a, a)\nNext");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runOnThread(kSmallStack, code, QStringLiteral("a")), Outcome("Variant()\t"));
        QVERIFY2(clock.elapsed() < 20000, "the depth of a shared array was walked path by path");
    }
};

NVTARNIX_TEST_CLASS(tst_Depth)
#include "tst_depth.moc"
