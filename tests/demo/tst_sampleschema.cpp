#include "SampleData.h"

#include "schema/SchemaFile.h"

#include "TestMain.h"

#include <nvtarnix/Catalog.h>
#include <nvtarnix/Schema.h>
#include <nvtarnix/View.h>

#include <QTest>

using namespace tarnixdemo;

// The schema file the demo ships for `tarnix --schema`, read as the
// command-line tool reads it, against the fields the demo hands the wizard.
class tst_SampleSchema : public QObject
{
    Q_OBJECT

private slots:
    // The command-line tool gets the same fields from the shipped schema file.
    void sampleSchemaFileHoldsTheDemoFields()
    {
        const auto schema = nvtarnix::SchemaFile::load(QStringLiteral(SAMPLE_SCHEMA_FILE));
        const auto catalog = schema->GetCatalog(QString::fromLatin1(SampleCatalogID));
        QCOMPARE(catalog->defaultview(), QString::fromLatin1(SampleViewID));
        const auto view = catalog->Views().Item(QString::fromLatin1(SampleViewID));
        QList<DemoField> shipped;
        for (qsizetype i = 1; i <= view->Fields().Count(); ++i) {
            // The view field carries what the wizard reads, the catalog field
            // the size and the texts as the host gave them.
            const auto v = view->Fields().Item(i);
            const auto c = catalog->Fields().Item(v->ID());
            shipped.append({v->ID(), v->vardescription(), c->vartype(), c->varsize(),
                            QString::number(v->searchtype()), QString::number(v->hasvaluelist()),
                            v->valuelist(), v->listvalue(), v->ListText(), v->groupcaption(),
                            v->sampledata(), c->helpstring()});
            QCOMPARE(QString::number(v->vartype()), c->vartype());
        }
        QCOMPARE(shipped, sampleFields());
    }

};

NVTARNIX_TEST_CLASS(tst_SampleSchema)
#include "tst_sampleschema.moc"
