#include "editor/EditorTrees.h"

#include "TestMain.h"
#include "TestVariables.h"

#include <QTest>

using namespace nvtarnix::editor;

Q_DECLARE_METATYPE(QVector<nvtarnix::editor::TreeNode>)

namespace {

// "parent/key/text/image/tag" per node, for compact comparisons.
QStringList describe(const QVector<TreeNode> &nodes)
{
    QStringList lines;
    for (const TreeNode &n : nodes)
        lines << QStringLiteral("%1/%2/%3/%4/%5%6")
                     .arg(n.parentKey, n.key, n.text)
                     .arg(n.image)
                     .arg(n.tag, n.expanded ? QStringLiteral("+") : QString());
    return lines;
}

const char *kCatalog = R"xml(<TypeLib><Interfaces>
  <Interface name="Str" description="Strings" visible="-1"><Functions>
    <Function name="Len" declaration="Len(string)" declarationext="Len(string as Variant) as Variant" helpstring="" visible="-1"/>
    <Function name="Hidden" declaration="Hidden()" declarationext="Hidden() as Variant" helpstring="" visible="0"/>
    <Function name="IfThen" declaration="If % Then" declarationext="If ... Then" helpstring="" visible="-1"/>
    <Function name="Wrap" declaration="%Wrap(x)" declarationext="Wrap" helpstring="" visible="-1"/>
  </Functions></Interface>
  <Interface name="Off" description="Invisible" visible="1"><Functions>
    <Function name="Gone" declaration="Gone()" declarationext="Gone()" helpstring="" visible="-1"/>
  </Functions></Interface>
  <Interface name="More" description="More" visible="-1"><Functions>
    <Function name="Len" declaration="Len2(x)" declarationext="Len again" helpstring="" visible="-1"/>
    <Function name="ROOT" declaration="Root()" declarationext="Root" helpstring="" visible="-1"/>
    <Function name="Twice" declaration="A(%, %)" declarationext="Twice" helpstring="" visible="-1"/>
  </Functions></Interface>
  <Interface name="Empty" description="No functions" visible="-1"/>
  <Interface name="Str" description="Strings again" visible="-1"><Functions>
    <Function name="Mid" declaration="Mid(s)" declarationext="Mid" helpstring="" visible="-1"/>
  </Functions></Interface>
</Interfaces></TypeLib>)xml";

} // namespace

class tst_Trees : public QObject
{
    Q_OBJECT
private slots:
    void variableTree();
    void variableImages_data();
    void variableImages();
    void functionTree();
    void functionTreeFallbacks_data();
    void functionTreeFallbacks();
};

void tst_Trees::variableTree()
{
    WordList words;
    words.InitWordColours();
    const QVector<EditorVariable> variables{
        testVariable("CUST_NAME", "Name", 0, "Customer"),
        testVariable("TOTAL", "Total", 5),
        testVariable("ORD_DATE", "Date", 4, "Order"),
        testVariable("CUST_CITY", "City", 10, "Customer"),
        testVariable("TOTAL", "Total again", 5),     // key taken: no node, no word
        testVariable("X", "In root group", 3, "ROOT"), // group refused: goes under the root
        testVariable("Customer", "Clash", 3),          // the group holds that key
    };
    const QVector<TreeNode> nodes = buildVariableTree(QStringLiteral("Fields"), variables, words);
    QCOMPARE(describe(nodes), (QStringList{
                                  "/ROOT/Fields/1/+",
                                  "ROOT/Customer/Customer/5/+",
                                  "ROOT/Order/Order/5/+",
                                  "Customer/CUST_NAME/Name/3/[Customer.Name]",
                                  "ROOT/TOTAL/Total/2/[Total]",
                                  "Order/ORD_DATE/Date/4/[Order.Date]",
                                  "Customer/CUST_CITY/City/3/[Customer.City]",
                                  "ROOT/X/In root group/2/[ROOT.In root group]",
                              }));
    QCOMPARE(words.entries(), (QStringList{QString(), "[Customer.Name]|&HBB0000&|0", "[Total]|&HBB0000&|0",
                                           "[Order.Date]|&HBB0000&|0", "[Customer.City]|&HBB0000&|0",
                                           "[ROOT.In root group]|&HBB0000&|0"}));

    WordList empty;
    empty.InitWordColours();
    QCOMPARE(describe(buildVariableTree(QString(), {}, empty)), QStringList{"/ROOT//1/+"});
}

void tst_Trees::variableImages_data()
{
    QTest::addColumn<int>("vartype");
    QTest::addColumn<int>("hasvaluelist");
    QTest::addColumn<int>("image");
    for (int type : {0, 1, 10, 21})
        QTest::addRow("text %d with list", type) << type << 1 << 3;
    QTest::newRow("date 4 with list") << 4 << 2 << 4;
    QTest::newRow("date 23") << 23 << 0 << 4;
    QTest::newRow("number with list 1") << 5 << 1 << 6;
    QTest::newRow("number with list 2") << 5 << 2 << 6;
    QTest::newRow("number, list 0") << 5 << 0 << 2;
    QTest::newRow("number, list 3") << 5 << 3 << 2;
    QTest::newRow("unknown type") << 99 << 0 << 2;
}

void tst_Trees::variableImages()
{
    QFETCH(int, vartype);
    QFETCH(int, hasvaluelist);
    QFETCH(int, image);
    QCOMPARE(variableImage(vartype, hasvaluelist), image);
}

void tst_Trees::functionTree()
{
    WordList words;
    words.InitWordColours();
    const QVector<TreeNode> nodes =
        buildFunctionTree(QStringLiteral("Functions"), QString::fromUtf8(kCatalog), words);
    QCOMPARE(describe(nodes), (QStringList{
                                  "/ROOT/Functions/2/+",
                                  "ROOT/Str/Strings/3/+",
                                  "Str/Len/Len(string as Variant) as Variant/1/Len(string)",
                                  "Str/IfThen/If ... Then/1/If % Then",
                                  "Str/Wrap/Wrap/1/%Wrap(x)",
                                  "ROOT/More/More/3/+",
                                  "More/Twice/Twice/1/A(%, %)",
                                  "ROOT/Empty/No functions/3/+",
                                  // A repeated interface lends its functions to the first.
                                  "Str/Mid/Mid/1/Mid(s)",
                              }));
    QCOMPARE(words.entries(),
             (QStringList{QString(), "Len(string)|&H000000&|-1", "If|&H000000&|-1", "Then|&H000000&|-1",
                          "Wrap(x)|&H000000&|-1", "A(|&H000000&|-1", ",|&H000000&|-1", "Mid(s)|&H000000&|-1"}));
}

void tst_Trees::functionTreeFallbacks_data()
{
    QTest::addColumn<QString>("catalog");
    QTest::newRow("not xml") << QStringLiteral("<TypeLib><Interfaces>");
    QTest::newRow("empty") << QString();
    QTest::newRow("no Interfaces") << QStringLiteral("<TypeLib/>");
}

void tst_Trees::functionTreeFallbacks()
{
    QFETCH(QString, catalog);
    WordList words;
    words.InitWordColours();
    QCOMPARE(describe(buildFunctionTree(QStringLiteral("F"), catalog, words)), QStringList{"/ROOT/F/2/+"});
    QCOMPARE(words.entries().size(), 1);
}

NVTARNIX_TEST_CLASS(tst_Trees)

#include "tst_trees.moc"
