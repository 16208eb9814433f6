#include <nvtarnix/TarnixObject.h>

#include "ErrorNumber.h"
#include "TestMain.h"
#include "component/TarnixObjectAccess.h"
#include "support/MlStringService.h"

#include <QtTest>

#include <pugixml.hpp>

using namespace nvtarnix;
using testsupport::errorNumber;
using Access = TarnixObjectAccess;

namespace {

std::shared_ptr<Schema> hostSchema()
{
    auto schema = std::make_shared<Schema>();
    auto orders = schema->AddCatalog(QStringLiteral("orders"));
    orders->AddView(QStringLiteral("list"));
    orders->AddView(QStringLiteral("card"));
    schema->AddCatalog(QStringLiteral("items"))->AddView(QStringLiteral("list"));
    return schema;
}

// `o` on the host's schema, its orders list, with one variable A (Amount);
// the schema, which `o` holds too.
std::shared_ptr<Schema> ordersWithAmount(TarnixObject &o)
{
    auto schema = hostSchema();
    o.setBuilderSchema(schema);
    o.Init(QStringLiteral("orders"), QStringLiteral("list"));
    o.AddVariable(QStringLiteral("A"), QStringLiteral("Amount"), QStringLiteral("5"), QStringLiteral("8"));
    return schema;
}

} // namespace

class tst_TarnixObject : public QObject
{
    Q_OBJECT

private slots:
    void init() { MlStringService().setCurrentLanguage(0); }
    // The language is the thread's: the next class must not find English.
    void cleanup() { MlStringService().setCurrentLanguage(0); }

    void newObjectDefaults()
    {
        TarnixObject o;
        QCOMPARE(o.CurrentCatalog(), QStringLiteral("_defaultcatalog"));
        QCOMPARE(o.CurrentView(), QStringLiteral("_defaultview"));
        QVERIFY(Access::CurrentView(o));
        QCOMPARE(Access::CurrentView(o)->ID(), QStringLiteral("_defaultview"));
        QVERIFY(o.ListButtonVisible());
        QVERIFY(o.RemoveNewLine());
        QVERIFY(!o.ShowHelpString());
        QVERIFY(o.Script().isEmpty() && o.DatabaseScript().isEmpty());
        QCOMPARE(o.VariableCaption(), QStringLiteral("Διαθέσιμες μεταβλητές:"));
        QCOMPARE(o.FunctionCaption(), QStringLiteral("Διαθέσιμες συναρτήσεις:"));
        QCOMPARE(o.EditorTitle(), QStringLiteral("Οδηγός έκφρασης"));
        QCOMPARE(o.VariableRoot(), QStringLiteral("Μεταβλητές"));
        QCOMPARE(o.FunctionRoot(), QStringLiteral("Συναρτήσεις"));
        QVERIFY(o.FunctionXml() && !o.FunctionXml()->first_child());
        QCOMPARE(Access::ErrorList(o)->Count(), 0);

        MlStringService().setCurrentLanguage(1033);
        TarnixObject english;
        QCOMPARE(english.VariableCaption(), QStringLiteral("Available Variables:"));
        QCOMPARE(english.EditorTitle(), QStringLiteral("Expression wizard"));
        QCOMPARE(english.FunctionRoot(), QStringLiteral("Functions"));
    }

    void propertiesByName()
    {
        TarnixObject o;
        for (const char *name : {"FunctionRoot", "VariableRoot", "EditorTitle", "FunctionCaption",
                                 "VariableCaption"}) {
            QVERIFY(o.setProperty(name, QStringLiteral("x")));
            QCOMPARE(o.property(name).toString(), QStringLiteral("x"));
        }
        for (const char *name : {"ShowHelpString", "ListButtonVisible", "RemoveNewLine"}) {
            const bool before = o.property(name).toBool();
            QVERIFY(o.setProperty(name, !before));
            QCOMPARE(o.property(name).toBool(), !before);
        }
        o.AddVariable(QStringLiteral("ID"), QStringLiteral("Caption"), QStringLiteral("0"), QStringLiteral("1"));
        QVERIFY(o.setProperty("Script", QStringLiteral("[Caption]")));
        QCOMPARE(o.property("DatabaseScript").toString(), QStringLiteral("[ID]"));
        QVERIFY(QMetaObject::invokeMethod(&o, "Init", Q_ARG(QString, QString()), Q_ARG(QString, QString())));
    }

    void initBindsToHostSchema()
    {
        TarnixObject o;
        auto schema = hostSchema();
        o.setBuilderSchema(schema);
        const auto defaultView = Access::CurrentView(o);
        // Only a new schema: the references resolved before stay in use.
        QCOMPARE(Access::CurrentView(o), defaultView);

        o.Init(QStringLiteral("orders"), QStringLiteral("card"));
        QCOMPARE(Access::CurrentView(o), schema->GetCatalog("orders")->Views().Item("card"));
        QVERIFY(schema->IsOpen());

        // Same ID: the held view is kept.
        const auto card = Access::CurrentView(o);
        o.setCurrentView(QStringLiteral("card"));
        QCOMPARE(Access::CurrentView(o), card);

        // Only the catalog changes: the view of the old catalog is kept.
        o.setCurrentCatalog(QStringLiteral("items"));
        QCOMPARE(Access::CurrentView(o), card);
        o.setCurrentView(QStringLiteral("list"));
        QCOMPARE(Access::CurrentView(o), schema->GetCatalog("items")->Views().Item("list"));

        // Init() changes no ID.
        o.Init();
        QCOMPARE(o.CurrentCatalog(), QStringLiteral("items"));
        QCOMPARE(o.CurrentView(), QStringLiteral("list"));
    }

    void initFailures()
    {
        TarnixObject o;
        o.setBuilderSchema(hostSchema());
        QCOMPARE(errorNumber([&] { o.Init(QStringLiteral("nope"), QStringLiteral("list")); }), 5);
        QCOMPARE(o.CurrentCatalog(), QStringLiteral("nope"));
        QVERIFY(!Access::CurrentView(o));
        QCOMPARE(errorNumber([&] { o.Init(QStringLiteral("orders"), QStringLiteral("nope")); }), 5);
        QVERIFY(!Access::CurrentView(o));
        QCOMPARE(errorNumber([&] { o.setScript(QStringLiteral("x")); }), 101);

        o.setBuilderSchema(nullptr);
        try {
            o.Init(QStringLiteral("c2"), QStringLiteral("v2"));
            QFAIL("Init without a schema succeeded");
        } catch (const Error &e) {
            QCOMPARE(e.number(), 102);
            QCOMPARE(e.source(), QStringLiteral("nvTarnix.class"));
            QCOMPARE(e.description(), QStringLiteral("Schema file was not being initialized"));
        }
        QCOMPARE(o.CurrentCatalog(), QStringLiteral("c2"));
        QCOMPARE(o.CurrentView(), QStringLiteral("v2"));
        QCOMPARE(errorNumber([&] { o.setCurrentView(QStringLiteral("v3")); }), 102);
        QCOMPARE(o.CurrentView(), QStringLiteral("v3"));
    }

    void heldViewOutlivesReplacedSchema()
    {
        TarnixObject o;
        ordersWithAmount(o); // only o holds that schema now
        o.setBuilderSchema(std::make_shared<Schema>());
        o.setDatabaseScript(QStringLiteral("[A]*2"));
        QCOMPARE(o.Script(), QStringLiteral("[Amount]*2"));
        // Re-resolving in the new, empty schema fails and leaves no view.
        QCOMPARE(errorNumber([&] { o.Init(QStringLiteral("orders"), QStringLiteral("list")); }), 5);
        QCOMPARE(errorNumber([&] { o.ConvertScriptToDatabase(QString()); }), 101);
    }

    void addVariableWritesBothFields()
    {
        TarnixObject o;
        o.AddVariable(QStringLiteral("CUST"), QStringLiteral("Name"), QStringLiteral("8"), QStringLiteral("40"));
        const auto catalog = o.BuilderSchema()->GetCatalog(QStringLiteral("_defaultcatalog"));
        const auto cf = catalog->Fields().Item(QStringLiteral("CUST"));
        QCOMPARE(cf->vartype(), QStringLiteral("8"));
        QCOMPARE(cf->varsize(), QStringLiteral("40"));
        QCOMPARE(cf->searchtype(), 3);
        QCOMPARE(cf->hasvaluelist(), 0);
        const auto vf = Access::CurrentView(o)->Fields().Item(QStringLiteral("CUST"));
        QCOMPARE(vf->vardescription(), QStringLiteral("Name"));
        QCOMPARE(vf->vartype(), 8);
        QCOMPARE(vf->searchtype(), 3);
        QCOMPARE(vf->hasvaluelist(), 0);
        QVERIFY(vf->groupcaption().isEmpty() && vf->valuelist().isEmpty() && vf->helpstring().isEmpty());

        o.AddVariable(QStringLiteral("ST"), QStringLiteral("State"), QStringLiteral("0"), QStringLiteral("2"),
                      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("states"), QStringLiteral("code"),
                      QStringLiteral("name"), QStringLiteral("Customer"), QStringLiteral("NY"),
                      QStringLiteral("Where the customer lives"));
        const auto st = Access::CurrentView(o)->Fields().Item(2);
        QCOMPARE(st->ID(), QStringLiteral("ST"));
        QCOMPARE(st->hasvaluelist(), 2);
        QCOMPARE(st->valuelist(), QStringLiteral("states"));
        QCOMPARE(st->listvalue(), QStringLiteral("code"));
        QCOMPARE(st->ListText(), QStringLiteral("name"));
        QCOMPARE(st->sampledata(), QStringLiteral("NY"));
        QCOMPARE(Access::GetVariableHelpString(o, QStringLiteral("ST")), QStringLiteral("Where the customer lives"));
        QCOMPARE(Access::GetVariableHelpString(o, QStringLiteral("none")), QString());
    }

    void numericTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("blanks") << " 12 " << 12 << 0;
        QTest::newRow("sign") << "-3" << -3 << 0;
        QTest::newRow("half to even down") << "2.5" << 2 << 0;
        QTest::newRow("half to even up") << "3.5" << 4 << 0;
        QTest::newRow("exponent") << "1e1" << 10 << 0;
        QTest::newRow("hex") << "&H10" << 16 << 0;
        QTest::newRow("octal") << "&O10" << 8 << 0;
        QTest::newRow("word") << "eight" << 0 << 13;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("too big") << "3000000000" << 0 << 6;
    }
    void numericTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, error);
        TarnixObject o;
        const int raised = errorNumber([&] {
            o.AddVariable(QStringLiteral("V"), QStringLiteral("Caption"), text, QStringLiteral("1"));
        });
        QCOMPARE(raised, error);
        // The catalog field and the view field are added before the type is
        // read; a failure keeps them.
        const auto vf = Access::CurrentView(o)->Fields().Item(QStringLiteral("V"));
        QCOMPARE(vf->vardescription(), QStringLiteral("Caption"));
        if (!error)
            QCOMPARE(vf->vartype(), value);
    }

    void addVariableFailuresKeepEarlierSteps()
    {
        TarnixObject o;
        o.AddVariable(QStringLiteral("A"), QStringLiteral("One"), QStringLiteral("0"), QStringLiteral("1"));
        QCOMPARE(errorNumber([&] {
            o.AddVariable(QStringLiteral("A"), QStringLiteral("Two"), QStringLiteral("0"), QStringLiteral("1"));
        }), 457);
        QCOMPARE(Access::CurrentView(o)->Fields().Count(), 1);
        QCOMPARE(Access::CurrentView(o)->Fields().Item(1)->vardescription(), QStringLiteral("One"));

        // A bad search kind fails on the catalog field, after its group caption.
        QCOMPARE(errorNumber([&] {
            o.AddVariable(QStringLiteral("B"), QStringLiteral("Two"), QStringLiteral("0"), QStringLiteral("1"),
                          QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("list"), {}, {},
                          QStringLiteral("G"));
        }), 13);
        const auto cf = o.BuilderSchema()->GetCatalog(QStringLiteral("_defaultcatalog"))->Fields().Item("B");
        QCOMPARE(cf->groupcaption(), QStringLiteral("G"));
        QCOMPARE(cf->valuelist(), QStringLiteral("list"));
        QVERIFY(!Access::CurrentView(o)->Fields().Exists(QStringLiteral("B")));

        // Without a view the catalog field is written and then 91 is raised.
        auto schema = hostSchema();
        o.setBuilderSchema(schema);
        QCOMPARE(errorNumber([&] { o.Init(QStringLiteral("orders"), QStringLiteral("none")); }), 5);
        QCOMPARE(errorNumber([&] {
            o.AddVariable(QStringLiteral("C"), QStringLiteral("Three"), QStringLiteral("0"), QStringLiteral("1"));
        }), 91);
        QVERIFY(schema->GetCatalog(QStringLiteral("orders"))->Fields().Exists(QStringLiteral("C")));
    }

    // One record is filled and given to both fields; a value-list kind that
    // does not convert stops the filling after the group caption.
    void addVariableGivesBothFieldsOneRecord()
    {
        TarnixObject o;
        o.AddVariable(QStringLiteral("ST"), QStringLiteral("State"), QStringLiteral("0"), QStringLiteral("2"),
                      QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("states"), QStringLiteral("code"),
                      QStringLiteral("name"), QStringLiteral("Customer"), QStringLiteral("NY"),
                      QStringLiteral("Where the customer lives"));
        VariableRecord expected;
        expected.vardescription = QStringLiteral("State");
        expected.groupcaption = QStringLiteral("Customer");
        expected.hasvaluelist = 2;
        expected.valuelist = QStringLiteral("states");
        expected.listvalue = QStringLiteral("code");
        expected.ListText = QStringLiteral("name");
        expected.sampledata = QStringLiteral("NY");
        expected.searchtype = 1;
        expected.helpstring = QStringLiteral("Where the customer lives");
        const auto catalog = o.BuilderSchema()->GetCatalog(QStringLiteral("_defaultcatalog"));
        QCOMPARE(catalog->Fields().Item(QStringLiteral("ST"))->record(), expected);
        QCOMPARE(Access::CurrentView(o)->Fields().Item(QStringLiteral("ST"))->record(), expected);

        QCOMPARE(errorNumber([&] {
            o.AddVariable(QStringLiteral("B"), QStringLiteral("Bad"), QStringLiteral("0"), QStringLiteral("1"),
                          QStringLiteral("3"), QStringLiteral("many"), QStringLiteral("list"), {}, {},
                          QStringLiteral("G"));
        }), 13);
        VariableRecord partial;
        partial.vardescription = QStringLiteral("Bad");
        partial.groupcaption = QStringLiteral("G");
        QCOMPARE(catalog->Fields().Item(QStringLiteral("B"))->record(), partial);
        QVERIFY(!Access::CurrentView(o)->Fields().Exists(QStringLiteral("B")));
    }

    void clearVariablesReturnsToDefaultSchema()
    {
        TarnixObject o;
        const auto schema = ordersWithAmount(o);

        // The previous view ID is looked up in the new default catalog first.
        QCOMPARE(errorNumber([&] { o.ClearVariables(); }), 5);
        QVERIFY(o.BuilderSchema() != schema);
        QCOMPARE(o.CurrentCatalog(), QStringLiteral("_defaultcatalog"));
        QCOMPARE(o.CurrentView(), QStringLiteral("list"));
        QVERIFY(!Access::CurrentView(o));
        o.setCurrentView(QStringLiteral("_defaultview"));
        QCOMPARE(Access::CurrentView(o)->Fields().Count(), 0);
        // The host's schema was released, not emptied.
        QCOMPARE(schema->GetCatalog(QStringLiteral("orders"))->Fields().Count(), 1);

        o.AddVariable(QStringLiteral("B"), QStringLiteral("Bee"), QStringLiteral("0"), QStringLiteral("1"));
        o.ClearVariables();
        QCOMPARE(o.CurrentView(), QStringLiteral("_defaultview"));
        QCOMPARE(Access::CurrentView(o)->Fields().Count(), 0);
        QCOMPARE(errorNumber([&] { o.ClearVariables(); }), 0);
    }

    void errorList()
    {
        TarnixObject o;
        o.AddError(QStringLiteral("Bad"), 3, 7);
        o.AddError(QStringLiteral("Bad"));
        const auto list = Access::ErrorList(o);
        QCOMPARE(list->Count(), 2);
        QCOMPARE(list->Item(1), QStringLiteral("Bad"));
        o.ClearErrors();
        QCOMPARE(Access::ErrorList(o)->Count(), 0);
        QVERIFY(Access::ErrorList(o) != list);
    }

    void listSourceRequestReachesHost()
    {
        TarnixObject o;
        QString asked;
        connect(&o, &TarnixObject::ListSourceRequest, &o,
                [&](QString &name, QVariant &data) {
                    asked = name;
                    data = QStringLiteral("rows of ") + name;
                },
                Qt::DirectConnection);
        QString name = QStringLiteral("states");
        QVariant data;
        const QVariant result = Access::RaiseListSourceRequest(o, name, data);
        QVERIFY(!result.isValid());
        QCOMPARE(asked, QStringLiteral("states"));
        QCOMPARE(data.toString(), QStringLiteral("rows of states"));
    }
};

NVTARNIX_TEST_CLASS(tst_TarnixObject)

#include "tst_tarnixobject.moc"
