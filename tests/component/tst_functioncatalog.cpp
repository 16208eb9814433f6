#include <nvtarnix/TarnixObject.h>

#include "ErrorNumber.h"
#include "TestMain.h"
#include "component/TarnixObjectAccess.h"

#include <QRegularExpression>
#include <pugixml.hpp>
#include <QtTest>

using namespace nvtarnix;
using testsupport::errorNumber;
using Access = TarnixObjectAccess;

namespace {

QString attr(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

} // namespace

class tst_FunctionCatalog : public QObject
{
    Q_OBJECT

private slots:
    void builtinList()
    {
        TarnixObject o;
        o.LoadDefaultFunctions();
        const auto &doc = *o.FunctionXml();
        const auto typeLib = doc.document_element();
        QCOMPARE(QString::fromUtf8(typeLib.name()), QStringLiteral("TypeLib"));
        QCOMPARE(attr(typeLib, "name"), QStringLiteral("VBScript_Global"));

        QStringList interfaces;
        QStringList names;
        int count = 0;
        // The long declaration follows from the short one: " as Variant"
        // after every parameter and after the whole.
        const QRegularExpression shape(QStringLiteral(R"(^(\w+)\(([\w, ]*)\)$)"));
        for (const auto &iface : typeLib.child("Interfaces").children("Interface")) {
            interfaces << attr(iface, "name") + u'=' + attr(iface, "description") + u'=' + attr(iface, "visible");
            for (const auto &f : iface.child("Functions").children("Function")) {
                ++count;
                const QString declaration = attr(f, "declaration");
                const auto m = shape.match(declaration);
                QVERIFY2(m.hasMatch(), qPrintable(declaration));
                QCOMPARE(attr(f, "name"), m.captured(1));
                QStringList params = m.captured(2).split(QStringLiteral(", "), Qt::SkipEmptyParts);
                for (auto &p : params)
                    p += QStringLiteral(" as Variant");
                QCOMPARE(attr(f, "declarationext"),
                         m.captured(1) + u'(' + params.join(QStringLiteral(", ")) + QStringLiteral(") as Variant"));
                QVERIFY(f.attribute("helpstring") && attr(f, "helpstring").isEmpty());
                QCOMPARE(attr(f, "visible"), QStringLiteral("-1"));
                names << attr(f, "name");
            }
        }
        QCOMPARE(interfaces, QStringList({"GlobalObj=Global Functions=-1", "ErrObj=Error Functions=-1"}));
        QCOMPARE(count, 109);
        QCOMPARE(names.first(), QStringLiteral("CCur"));
        QCOMPARE(names.at(106), QStringLiteral("GetRef"));
        QCOMPARE(names.last(), QStringLiteral("Raise"));
        QVERIFY(names.contains(QStringLiteral("string")));

        const auto mid = doc.select_node(".//Function[@name='Mid']").node();
        QCOMPARE(attr(mid, "declarationext"),
                 QStringLiteral("Mid(string as Variant, start as Variant, length as Variant) as Variant"));
        QCOMPARE(attr(doc.select_node(".//Function[@name='Now']").node(), "declarationext"),
                 QStringLiteral("Now() as Variant"));
    }

    void emptyCatalogIsFilledWhenRead()
    {
        TarnixObject o;
        o.AddFunction(QStringLiteral("Mine"), QStringLiteral("F"), QStringLiteral("F()"), QStringLiteral("F() as Variant"), {});
        o.ClearFunctions();
        const QString text = Access::GetFunctionXmlText(o);
        QVERIFY(text.contains(QStringLiteral("name=\"GlobalObj\"")));
        QVERIFY(!text.contains(QStringLiteral("Mine")));
        QVERIFY(o.FunctionXml()->select_node(".//Function[@name='Raise']"));
    }

    void addFunctionBuildsTheTree()
    {
        TarnixObject o;
        const QVariant result = o.AddFunction(QStringLiteral("Mine"), QStringLiteral("Twice"),
                                              QStringLiteral("Twice(x)"), QStringLiteral("Twice(x as Long) as Long"),
                                              QStringLiteral("Doubles"));
        QVERIFY(!result.isValid());
        o.AddFunction(QStringLiteral("Mine"), QStringLiteral("Hidden"), QStringLiteral("Hidden()"),
                      QStringLiteral("Hidden()"), QString(), false);
        const auto typeLib = o.FunctionXml()->document_element();
        QCOMPARE(QString::fromUtf8(typeLib.name()), QStringLiteral("TypeLib"));
        QVERIFY(!typeLib.first_attribute());
        const auto iface = typeLib.child("Interfaces").child("Interface");
        QCOMPARE(attr(iface, "name"), QStringLiteral("Mine"));
        QCOMPARE(attr(iface, "description"), QStringLiteral("Mine"));
        QCOMPARE(attr(iface, "visible"), QStringLiteral("-1"));
        QVERIFY(!iface.next_sibling("Interface"));
        const auto first = iface.child("Functions").child("Function");
        QStringList attributes;
        for (const auto &a : first.attributes())
            attributes << QString::fromUtf8(a.name()) + u'=' + QString::fromUtf8(a.value());
        QCOMPARE(attributes, QStringList({"name=Twice", "declaration=Twice(x)",
                                          "declarationext=Twice(x as Long) as Long", "helpstring=Doubles",
                                          "visible=-1"}));
        QCOMPARE(attr(first.next_sibling("Function"), "visible"), QStringLiteral("0"));

        // An added catalog is handed over as it is, not replaced by the built-ins.
        const QString text = Access::GetFunctionXmlText(o);
        QVERIFY(text.contains(QStringLiteral("Twice")));
        QVERIFY(!text.contains(QStringLiteral("GlobalObj")));
        QCOMPARE(Access::GetFunctionHelpString(o, QStringLiteral("Twice")), QStringLiteral("Doubles"));
    }

    void addedFunctionsFollowTheBuiltins()
    {
        TarnixObject o;
        o.LoadDefaultFunctions();
        o.AddFunction(QStringLiteral("GlobalObj"), QStringLiteral("Extra"), QStringLiteral("Extra()"),
                      QStringLiteral("Extra() as Variant"), {});
        const auto functions = o.FunctionXml()->select_node(".//Interface[@name='GlobalObj']/Functions").node();
        QCOMPARE(attr(functions.last_child(), "name"), QStringLiteral("Extra"));
        QCOMPARE(o.FunctionXml()->select_nodes(".//Interface").size(), size_t(2));
    }

    void helpStringNeverFails_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("help");
        QTest::newRow("first of two") << "Dup" << "first";
        QTest::newRow("no helpstring attribute") << "Bare" << "";
        QTest::newRow("unknown") << "Nothing" << "";
        QTest::newRow("apostrophe") << "It's" << "";
    }
    void helpStringNeverFails()
    {
        QFETCH(QString, name);
        QFETCH(QString, help);
        TarnixObject o;
        auto doc = std::make_shared<pugi::xml_document>();
        doc->load_string("<TypeLib><Interfaces><Interface name='I'><Functions>"
                         "<Function name='Dup' helpstring='first'/><Function name='Dup' helpstring='second'/>"
                         "<Function name='Bare'/></Functions></Interface></Interfaces></TypeLib>");
        o.setFunctionXml(doc);
        QCOMPARE(Access::GetFunctionHelpString(o, name), help);
        o.setFunctionXml(nullptr);
        QCOMPARE(Access::GetFunctionHelpString(o, name), QString());
    }

    void refusedAdditions()
    {
        TarnixObject o;
        // A quote in the interface name breaks its query after TypeLib and
        // Interfaces were made.
        QVERIFY(errorNumber([&] {
            o.AddFunction(QStringLiteral("It's"), QStringLiteral("F"), {}, {}, {});
        }) != 0);
        const auto interfaces = o.FunctionXml()->child("TypeLib").child("Interfaces");
        QVERIFY(interfaces);
        QVERIFY(!interfaces.first_child());

        // A host document with another root cannot take a second root.
        auto doc = std::make_shared<pugi::xml_document>();
        doc->load_string("<Catalog/>");
        o.setFunctionXml(doc);
        QVERIFY(errorNumber([&] { o.AddFunction(QStringLiteral("I"), QStringLiteral("F"), {}, {}, {}); }) != 0);
        QVERIFY(!doc->child("TypeLib"));

        o.setFunctionXml(nullptr);
        QCOMPARE(errorNumber([&] { o.AddFunction(QStringLiteral("I"), QStringLiteral("F"), {}, {}, {}); }), 91);
        QCOMPARE(errorNumber([&] { Access::GetFunctionXmlText(o); }), 91);
        o.LoadDefaultFunctions();
        QVERIFY(o.FunctionXml()->child("TypeLib"));
    }
};

NVTARNIX_TEST_CLASS(tst_FunctionCatalog)

#include "tst_functioncatalog.moc"
