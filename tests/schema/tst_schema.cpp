#include <nvtarnix/Schema.h>

#include "ErrorNumber.h"
#include "TestMain.h"
#include "schema/DisplayName.h"

#include <QtTest>

using namespace nvtarnix;
using testsupport::errorNumber;

namespace {

const QString DefaultDocument = QStringLiteral(
    "<?xml version='1.0' encoding='windows-1253'?><NortavineXMLData version='2.6'><Schema Version='2.6'>"
    "<Catalogs CatalogPath=''><Catalog ID='_defaultcatalog' description='' source='' primarykey='' "
    "parentcatalog='' defaultview=''><Views><View ID='_defaultview' name='_defaultview' cardcaption=''>"
    "</View></Views></Catalog></Catalogs></Schema></NortavineXMLData>");

} // namespace

class tst_Schema : public QObject
{
    Q_OBJECT

private slots:
    void collectionIsOrderedKeyedAndOneBased()
    {
        KeyedCollection<QString> c;
        c.Add(QStringLiteral("b-item"), QStringLiteral("b"));
        c.Add(QStringLiteral("unkeyed"));
        c.Add(QStringLiteral("a-item"), QStringLiteral("a"));
        QCOMPARE(c.Count(), 3);
        QCOMPARE(c.Item(1), QStringLiteral("b-item"));
        QCOMPARE(c.Item(3), QStringLiteral("a-item"));
        QCOMPARE(c.Item(QStringLiteral("a")), QStringLiteral("a-item"));
        QStringList order;
        for (const auto &s : c)
            order << s;
        QCOMPARE(order, QStringList({"b-item", "unkeyed", "a-item"}));

        QCOMPARE(errorNumber([&] { c.Item(0); }), 9);
        QCOMPARE(errorNumber([&] { c.Item(4); }), 9);
        QCOMPARE(errorNumber([&] { c.Item(QStringLiteral("A")); }), 5); // keys are case-sensitive

        try {
            c.Add(QStringLiteral("again"), QStringLiteral("b"));
            QFAIL("a repeated key was accepted");
        } catch (const Error &e) {
            QCOMPARE(e.number(), 457);
            QCOMPARE(e.description(), QStringLiteral("This key is already associated with an element of this collection"));
        }
        QCOMPARE(c.Count(), 3);

        // Removing re-indexes what follows, both by position and by key.
        c.Remove(QStringLiteral("b"));
        QCOMPARE(c.Item(1), QStringLiteral("unkeyed"));
        QCOMPARE(c.Item(QStringLiteral("a")), QStringLiteral("a-item"));
        QCOMPARE(c.Key(2), QStringLiteral("a"));
        QVERIFY(!c.Exists(QStringLiteral("b")));
        c.Add(QStringLiteral("b again"), QStringLiteral("b"));
        QCOMPARE(c.Item(3), QStringLiteral("b again"));
    }

    void defaultDocumentGivesDefaultCatalogAndView()
    {
        Schema schema;
        QVERIFY(!schema.IsOpen());
        schema.LoadFromText(DefaultDocument);
        QVERIFY(schema.IsOpen());
        QCOMPARE(schema.Catalogs().Count(), 1);
        const auto catalog = schema.GetCatalog(QStringLiteral("_defaultcatalog"));
        QCOMPARE(catalog->Fields().Count(), 0);
        QCOMPARE(catalog->Views().Count(), 1);
        const auto view = catalog->Views().Item(QStringLiteral("_defaultview"));
        QCOMPARE(view->name(), QStringLiteral("_defaultview"));
        QCOMPARE(view->Fields().Count(), 0);
        QCOMPARE(errorNumber([&] { schema.GetCatalog(QStringLiteral("nope")); }), 5);
    }

    void documentWithFieldsIsRead()
    {
        Schema schema;
        schema.LoadFromText(QStringLiteral(
            "<NortavineXMLData version='2.6'><Schema><Catalogs CatalogPath='/data'>"
            "<Catalog ID='cust' description='Customers' primarykey='ID' defaultview='all'>"
            "<Fields><Field ID='NAME' vardescription='Name' vartype='8' varsize='40' groupcaption='Customer'"
            " hasvaluelist='1' searchtype='3' helpstring='Όνομα'/></Fields>"
            "<Views><View ID='all' name='All'><Fields>"
            "<Field ID='NAME' vardescription='Name' vartype='8' groupcaption='Customer' hasvaluelist='1'"
            " valuelist='names' listvalue='code' ListText='text'/>"
            "</Fields></View></Views></Catalog></Catalogs></Schema></NortavineXMLData>"));
        QCOMPARE(schema.CatalogPath(), QStringLiteral("/data"));
        const auto catalog = schema.GetCatalog(QStringLiteral("cust"));
        QCOMPARE(catalog->primarykey(), QStringLiteral("ID"));
        const auto cf = catalog->Fields().Item(QStringLiteral("NAME"));
        QCOMPARE(cf->varsize(), QStringLiteral("40"));
        QCOMPARE(cf->hasvaluelist(), 1);
        QCOMPARE(cf->helpstring(), QStringLiteral("Όνομα"));
        const auto vf = catalog->Views().Item(QStringLiteral("all"))->Fields().Item(1);
        QCOMPARE(vf->ID(), QStringLiteral("NAME"));
        QCOMPARE(vf->vartype(), 8);
        QCOMPARE(vf->groupcaption(), QStringLiteral("Customer"));
        QCOMPARE(vf->ListText(), QStringLiteral("text"));
    }

    void badDocumentLeavesSchemaAsItWas_data()
    {
        QTest::addColumn<QString>("document");
        QTest::newRow("not xml") << "<NortavineXMLData version='2.6'>";
        QTest::newRow("other root") << "<TypeLib/>";
        QTest::newRow("other version") << "<NortavineXMLData version='2.5'/>";
        QTest::newRow("repeated catalog")
            << "<NortavineXMLData version='2.6'><Schema><Catalogs><Catalog ID='a'/><Catalog ID='a'/>"
               "</Catalogs></Schema></NortavineXMLData>";
        QTest::newRow("number that is not one")
            << "<NortavineXMLData version='2.6'><Schema><Catalogs><Catalog ID='a'><Views><View ID='v'>"
               "<Fields><Field ID='F' vartype='eight'/></Fields></View></Views></Catalog></Catalogs>"
               "</Schema></NortavineXMLData>";
    }
    void badDocumentLeavesSchemaAsItWas()
    {
        QFETCH(QString, document);
        Schema schema;
        schema.LoadFromText(DefaultDocument);
        QCOMPARE(errorNumber([&] { schema.LoadFromText(document); }), Schema::InvalidDocumentError);
        QCOMPARE(schema.Catalogs().Count(), 1);
        QVERIFY(schema.Catalogs().Exists(QStringLiteral("_defaultcatalog")));
    }

    void heldObjectsOutliveTheirSchema()
    {
        std::shared_ptr<View> view;
        {
            auto schema = std::make_shared<Schema>();
            view = schema->AddCatalog(QStringLiteral("c"))->AddView(QStringLiteral("v"));
            view->AddField(QStringLiteral("F"), QStringLiteral("Caption"));
        }
        QCOMPARE(view->Fields().Item(QStringLiteral("F"))->vardescription(), QStringLiteral("Caption"));
    }

    void revisionCountsSearchableChangesOnly()
    {
        View view(QStringLiteral("v"));
        auto r = view.Revision();
        auto field = view.AddField(QStringLiteral("F"));
        QVERIFY(view.Revision() > r);
        r = view.Revision();
        field->setHelpstring(QStringLiteral("help"));
        field->setVartype(3);
        QCOMPARE(view.Revision(), r);
        field->setVardescription(QStringLiteral("Caption"));
        QVERIFY(view.Revision() > r);
        r = view.Revision();
        field->setGroupcaption(QStringLiteral("Group"));
        QVERIFY(view.Revision() > r);
        r = view.Revision();
        view.RemoveField(QStringLiteral("F"));
        QVERIFY(view.Revision() > r);
        // A removed field no longer moves the view it left.
        r = view.Revision();
        field->setVardescription(QStringLiteral("Other"));
        QCOMPARE(view.Revision(), r);
    }

    // The name is built and compared by one rule; a grouped name and a
    // caption that holds the same dot are the same text.
    void displayName_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("others");
        QTest::newRow("plain") << "" << "Amount" << "[Amount]" << QStringList{"[amount]", "[Amount", "[.Amount]"};
        QTest::newRow("grouped") << "Customer" << "Name" << "[Customer.Name]"
                                 << QStringList{"[Name]", "[Customer.Name", "[CustomerName]", "[Customer.Name]]"};
        QTest::newRow("dot in caption") << "" << "Customer.Name" << "[Customer.Name]" << QStringList{"[Customer]"};
        QTest::newRow("Greek") << "Πελάτης" << "Όνομα" << "[Πελάτης.Όνομα]" << QStringList{"[ΠΕΛΑΤΗΣ.Όνομα]"};
        QTest::newRow("empty caption") << "G" << "" << "[G.]" << QStringList{"[G]", "[]"};
    }
    void displayName()
    {
        QFETCH(QString, group);
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QFETCH(QStringList, others);
        QCOMPARE(nvtarnix::displayName(group, caption), name);
        QVERIFY(isDisplayName(name, group, caption));
        for (const QString &other : others)
            QVERIFY2(!isDisplayName(other, group, caption), qPrintable(other));
    }

    // A whole record counts as a change of the view only when it brings
    // another caption or group caption.
    void setRecordCountsNameChangesOnly()
    {
        View view(QStringLiteral("v"));
        auto field = view.AddField(QStringLiteral("F"), QStringLiteral("Caption"));
        VariableRecord record = field->record();
        record.helpstring = QStringLiteral("help");
        record.hasvaluelist = 1;
        auto r = view.Revision();
        field->setRecord(record);
        QCOMPARE(view.Revision(), r);
        QCOMPARE(field->helpstring(), QStringLiteral("help"));
        QCOMPARE(field->hasvaluelist(), 1);
        for (auto rename : {&VariableRecord::vardescription, &VariableRecord::groupcaption}) {
            record.*rename += u'2';
            field->setRecord(record);
            QVERIFY(view.Revision() > r);
            r = view.Revision();
            QCOMPARE(field->record(), record);
        }
    }
};

NVTARNIX_TEST_CLASS(tst_Schema)
#include "tst_schema.moc"
