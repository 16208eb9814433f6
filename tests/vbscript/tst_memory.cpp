// What one run may build: the memory budget of the engine's limits, charged
// before each allocation and given back as the run lets go; allocations the
// system refuses; Dictionaries that hold each other.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "AddressSpaceCap.h"
#include "ErrorNumber.h"
#include "ResidentPeak.h"
#include "TestMain.h"

#include <QTest>

using namespace vbscript;

namespace {

constexpr qint64 MB = 1024 * 1024;

std::unique_ptr<ScriptControl> newControl(qint64 budget)
{
    auto sc = std::make_unique<ScriptControl>();
    sc->setLanguage(QStringLiteral("VBScript"));
    sc->setAllowUI(false);
    sc->setTimeout(-1);
    sc->setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    Limits limits;
    limits.memoryBudget = budget;
    sc->setLimits(limits);
    return sc;
}

int runError(ScriptControl &sc, const QString &code)
{
    return testsupport::errorNumber<ScriptError>([&] { sc.executeStatement(code); });
}

// A host object whose end a test can watch.
class Watched : public Object
{
public:
    QString typeName() const override { return QStringLiteral("Watched"); }
};

// Hands out new watched objects (Host.Make), keeping only weak references:
// what the script does with them decides how long they live.
class Maker : public Object
{
public:
    QString typeName() const override { return QStringLiteral("Maker"); }
    Variant get(const QString &, std::span<Variant>) override
    {
        auto made = std::make_shared<Watched>();
        m_made.push_back(made);
        return Variant(std::shared_ptr<Object>(made));
    }
    bool allGone() const
    {
        return std::all_of(m_made.begin(), m_made.end(), [](const std::weak_ptr<Object> &w) { return w.expired(); });
    }
    bool anyMade() const { return !m_made.empty(); }

private:
    std::vector<std::weak_ptr<Object>> m_made;
};

} // namespace

class tst_Memory : public QObject
{
    Q_OBJECT

private slots:
    // Each way a run can grow stops at the budget with 7, or at the string
    // and array limits with 14 and 7, before it has made what it asked for:
    // the process never grows much past the budget.
    void growthStopsAtTheBudget_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("error");
        QTest::addColumn<qint64>("budget");
        const QString dictionary = QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\n");
        QTest::newRow("Join past the string limit")
            << "Dim a(1023)\ns = Space(1000000)\nFor i = 0 To 1023\na(i) = s\nNext\nr = Join(a, \"\")" << 14 << 32 * MB;
        QTest::newRow("Join delimiters past the string limit")
            << "r = Join(Split(String(1023, \",\"), \",\"), Space(40000))" << 14 << 32 * MB;
        QTest::newRow("FormatNumber digits") << "r = FormatNumber(1, 2147483647)" << 14 << 32 * MB;
        QTest::newRow("FormatCurrency digits") << "r = FormatCurrency(1, 100000000)" << 14 << 32 * MB;
        QTest::newRow("FormatPercent digits") << "r = FormatPercent(1, 40000000)" << 14 << 32 * MB;
        QTest::newRow("Split past the element limit") << "r = Split(String(20000000, \",\"), \",\")" << 7 << 256 * MB;
        QTest::newRow("Split past the budget") << "r = Split(String(3000000, \",\"), \",\")" << 7 << 32 * MB;
        QTest::newRow("Replace past the budget")
            << "r = Replace(Space(1000000), \" \", \"abcdefghijklmnopqrstuvwxyz\")" << 7 << 32 * MB;
        QTest::newRow("String past the budget") << "r = String(30000000, \"x\")" << 7 << 32 * MB;
        QTest::newRow("strings kept in an array")
            << "Dim a(1000)\nFor i = 0 To 1000\na(i) = Space(1000000) & i\nNext" << 7 << 32 * MB;
        QTest::newRow("arrays kept from ReDim")
            << dictionary + "For i = 1 To 1000\nReDim b(100000)\nd.Add i, b\nNext" << 7 << 32 * MB;
        QTest::newRow("a large ReDim") << "ReDim b(3000000)" << 7 << 32 * MB;
        QTest::newRow("Dictionary entries") << dictionary + "For i = 1 To 10000000\nd.Add i, i\nNext" << 7 << 32 * MB;
        QTest::newRow("text kept in a Dictionary")
            << dictionary + "For i = 1 To 1000000\nd(i) = String(1000, \"x\")\nNext" << 7 << 32 * MB;
        QTest::newRow("class instances")
            << "Class C\nDim a, b\nEnd Class\n" + dictionary + "For i = 1 To 10000000\nd.Add i, New C\nNext" << 7 << 32 * MB;
        QTest::newRow("Dictionaries")
            << dictionary + "For i = 1 To 10000000\nd.Add i, CreateObject(\"Scripting.Dictionary\")\nNext" << 7 << 32 * MB;
        QTest::newRow("Eval of a generated expression")
            << "r = Eval(Replace(Space(1000000), \" \", \"1+\") & \"1\")" << 7 << 32 * MB;
        QTest::newRow("Execute of generated code")
            << "Execute Replace(Space(1000000), \" \", \"x=1\" & vbLf)" << 7 << 32 * MB;
        QTest::newRow("doubling concatenation") << "s = \"x\"\nDo\ns = s & s\nLoop" << 7 << 32 * MB;
        QTest::newRow("nested arrays")
            << "a = Empty\nFor i = 1 To 10000000\na = Array(a, Space(100))\nNext\na = Empty" << 7 << 32 * MB;
    }

    void growthStopsAtTheBudget()
    {
        QFETCH(QString, code);
        QFETCH(int, error);
        QFETCH(qint64, budget);
        auto sc = newControl(budget);
        testsupport::ResidentPeak peak;
        QCOMPARE(runError(*sc, code), error);
        if (peak.isReset())
            QVERIFY2(peak.growthMb() < budget / MB + 64, qPrintable(QStringLiteral("grew %1 MB").arg(peak.growthMb())));
        // The control is usable again, with the whole budget.
        QCOMPARE(sc->eval(QStringLiteral("Len(Space(1000000))")).toLong(ScriptLocale()), 1000000);
    }

    // Work that builds and drops much more than the budget in all, holding
    // little at any time, is not refused: what a run lets go of is given
    // back.
    void whatARunLetsGoIsGivenBack_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("result");
        QTest::newRow("a variable rebuilt")
            << "For i = 1 To 100000\ns = Left(s & \"abcdefghij\", 50) & Chr(65 + i Mod 26)\nNext\nr = Len(s)"
            << "Long\t51";
        QTest::newRow("temporary arguments")
            << "For i = 1 To 100000\nn = n + Len(Space(1000))\nNext\nr = n" << "Long\t100000000";
        QTest::newRow("temporary operands")
            << "For i = 1 To 50000\nn = n + Len(Space(500) & Space(500))\nNext\nr = n" << "Long\t50000000";
        QTest::newRow("locals of a procedure")
            << "Function F(n)\nDim t\nt = Space(1000) & n\nF = Len(t)\nEnd Function\n"
               "For i = 1 To 50000\nx = F(i)\nNext\nr = x"
            << "Long\t1005";
        QTest::newRow("one array made again")
            << "For i = 1 To 1000\nReDim a(10000)\nNext\nr = UBound(a)" << "Long\t10000";
        QTest::newRow("entries added and removed")
            << "Set d = CreateObject(\"Scripting.Dictionary\")\n"
               "For i = 1 To 100000\nd.Add \"k\", Space(100)\nd.Remove \"k\"\nNext\nr = d.Count"
            << "Long\t0";
        QTest::newRow("Dictionaries made and dropped")
            << "For i = 1 To 100000\nSet d = CreateObject(\"Scripting.Dictionary\")\nd.Add i, Space(10)\nNext\n"
               "r = d.Count"
            << "Long\t1";
        QTest::newRow("instances made and dropped")
            << "Class C\nDim a\nEnd Class\nFor i = 1 To 100000\nSet o = New C\no.a = i\nNext\nr = o.a"
            << "Long\t100000";
        QTest::newRow("an element rebuilt")
            << "Dim a(3)\nFor i = 1 To 50000\na(1) = Space(1000) & i\nNext\nr = Len(a(1))" << "Long\t1005";
        QTest::newRow("an item rebuilt")
            << "Set d = CreateObject(\"Scripting.Dictionary\")\nFor i = 1 To 50000\nd(1) = Space(1000) & i\nNext\n"
               "r = Len(d(1))"
            << "Long\t1005";
        QTest::newRow("a field rebuilt")
            << "Class C\nPublic a\nEnd Class\nSet o = New C\nFor i = 1 To 50000\no.a = Space(1000) & i\nNext\n"
               "r = Len(o.a)"
            << "Long\t1005";
        QTest::newRow("a fixed array erased")
            << "Dim f(100)\nFor i = 1 To 50000\nf(5) = Space(1000)\nErase f\nNext\nr = IsEmpty(f(5))"
            << "Boolean\tTrue";
        QTest::newRow("text that Eval returns") << "For i = 1 To 50000\nx = Eval(\"Space(1000)\")\nNext\nr = Len(x)"
                                                << "Long\t1000";
        QTest::newRow("Eval over and over") << "For i = 1 To 50000\nx = Eval(\"1 + 2 * 3\")\nNext\nr = x"
                                            << "Integer\t7";
    }

    void whatARunLetsGoIsGivenBack()
    {
        QFETCH(QString, code);
        QFETCH(QString, result);
        auto sc = newControl(4 * MB);
        sc->executeStatement(code);
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("r"))), result);
    }

    // 7 is an error like any other: On Error Resume Next sees it, and the run
    // goes on with what is left.
    void outOfMemoryIsTrappable()
    {
        auto sc = newControl(4 * MB);
        sc->executeStatement(QStringLiteral("On Error Resume Next\nx = Space(10000000)\nn = Err.Number\n"
                                            "Err.Clear\ny = Len(Space(100))"));
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("n"))), QStringLiteral("Long\t7"));
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("y"))), QStringLiteral("Long\t100"));
        QCOMPARE(sc->error().number(), 0);
    }

    // Memory the system refuses inside a run is the run's 7 too, trappable
    // as the budget's is, and the engine carries on.
    void refusedAllocationIsOutOfMemory()
    {
        auto sc = newControl(std::numeric_limits<qint64>::max());
        const QString code = QStringLiteral("Dim a(200)\nFor i = 0 To 200\na(i) = Space(30000000) & i\nNext");
        {
            testsupport::AddressSpaceCap cap(512 * MB);
            if (!cap.isSet())
                QSKIP("the address space cannot be capped here");
            QCOMPARE(runError(*sc, code), 7);
            sc->executeStatement(QStringLiteral("Erase a\nOn Error Resume Next\n") + code
                                 + QStringLiteral("\nn = Err.Number\nErase a"));
        }
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("n"))), QStringLiteral("Long\t7"));
    }

    // Dictionaries that only refer to each other are emptied when the run
    // that left them so ends, and what they held goes with them; one that
    // anything else still holds keeps its items.
    void dictionaryCyclesEndWithTheRun_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("freed");
        const QString make = QStringLiteral("Function NewDictionary()\n"
                                            "Set NewDictionary = CreateObject(\"Scripting.Dictionary\")\nEnd Function\n");
        QTest::newRow("itself") << make + "Sub Run\nSet d = NewDictionary()\nd.Add \"me\", d\nd.Add \"host\", Host.Make\n"
                                          "End Sub" << true;
        QTest::newRow("a pair")
            << make + "Sub Run\nSet a = NewDictionary()\nSet b = NewDictionary()\na.Add 1, b\nb.Add 1, a\n"
                      "b.Add 2, Host.Make\nEnd Sub" << true;
        QTest::newRow("through an array")
            << make + "Sub Run\nSet d = NewDictionary()\nd.Add \"a\", Array(1, Array(d))\nd.Add \"host\", Host.Make\n"
                      "End Sub" << true;
        QTest::newRow("a ring of three by keys")
            << make + "Sub Run\nSet a = NewDictionary()\nSet b = NewDictionary()\nSet c = NewDictionary()\n"
                      "a.Add b, 1\nb.Add c, 2\nc.Add a, Host.Make\nEnd Sub" << true;
        QTest::newRow("held by a global")
            << make + "Dim g\nSub Run\nSet d = NewDictionary()\nd.Add \"me\", d\nd.Add \"host\", Host.Make\nSet g = d\n"
                      "End Sub" << false;
        QTest::newRow("reached from a held one")
            << make + "Dim g\nSub Run\nSet a = NewDictionary()\na.Add \"me\", a\na.Add \"host\", Host.Make\n"
                      "Set g = NewDictionary()\ng.Add 1, Array(a)\nEnd Sub" << false;
        QTest::newRow("held by an instance")
            << make + "Class Box\nPublic x\nEnd Class\nDim g\nSub Run\nSet d = NewDictionary()\nd.Add \"me\", d\n"
                      "d.Add \"host\", Host.Make\nSet g = New Box\nSet g.x = d\nEnd Sub" << false;
    }

    void dictionaryCyclesEndWithTheRun()
    {
        QFETCH(QString, code);
        QFETCH(bool, freed);
        auto host = std::make_shared<Maker>();
        auto sc = newControl(Limits().memoryBudget);
        sc->addObject(QStringLiteral("Host"), host);
        sc->addCode(code);
        sc->executeStatement(QStringLiteral("Run"));
        QVERIFY(host->anyMade());
        QCOMPARE(host->allGone(), freed);
    }
};

NVTARNIX_TEST_CLASS(tst_Memory)
#include "tst_memory.moc"
