#include "schema/SchemaFile.h"

#include "ErrorNumber.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace nvtarnix;

namespace {

// A schema with more than one of everything and texts that XML must escape.
std::shared_ptr<Schema> richSchema()
{
    auto schema = std::make_shared<Schema>();
    schema->setCatalogPath(QStringLiteral("/data/catalogs"));
    auto sales = schema->AddCatalog(QStringLiteral("sales"));
    sales->setDescription(QStringLiteral("Πωλήσεις & <έξοδα>"));
    sales->setSource(QStringLiteral("orders"));
    sales->setPrimarykey(QStringLiteral("ORD_NO"));
    sales->setDefaultview(QStringLiteral("main"));

    auto name = sales->AddField(QStringLiteral("CUST_NAME"), QStringLiteral("Όνομα"),
                                QStringLiteral("0"), QStringLiteral("60"));
    name->setGroupcaption(QStringLiteral("Πελάτης"));
    name->setHelpstring(QStringLiteral("Say \"hi\" to 'them'"));
    name->setSampledata(QStringLiteral("Ανδρέας"));
    name->setSearchtype(3);
    auto status = sales->AddField(QStringLiteral("ORD_STATUS"), QStringLiteral("Status"),
                                  QStringLiteral("3"), QStringLiteral("2"));
    status->setHasvaluelist(1);
    status->setValuelist(QStringLiteral("order_statuses"));
    status->setListvalue(QStringLiteral("code"));
    status->setListText(QStringLiteral("description"));
    status->setSearchtype(-1);

    auto main = sales->AddView(QStringLiteral("main"), QStringLiteral("Main view"),
                               QStringLiteral("card"));
    auto viewName = main->AddField(QStringLiteral("CUST_NAME"), QStringLiteral("Όνομα"),
                                   QStringLiteral("@"));
    viewName->setGroupcaption(QStringLiteral("Πελάτης"));
    viewName->setColumnwidth(1440);
    viewName->setHelpstring(QStringLiteral("line one\nline two"));
    auto viewStatus = main->AddField(QStringLiteral("ORD_STATUS"), QStringLiteral("Status"));
    viewStatus->setVartype(3);
    viewStatus->setHasvaluelist(2);
    viewStatus->setValuelist(QStringLiteral("order_statuses"));
    viewStatus->setListvalue(QStringLiteral("code"));
    viewStatus->setListText(QStringLiteral("description"));
    viewStatus->setSampledata(QStringLiteral("4"));
    viewStatus->setSearchtype(7);
    sales->AddView(QStringLiteral("empty"));

    schema->AddCatalog(QStringLiteral("_defaultcatalog"))->AddView(QStringLiteral("_defaultview"));
    return schema;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class tst_SchemaFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryField()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("schema.xml"));
        const auto original = richSchema();
        SchemaFile::save(*original, path);

        const auto loaded = SchemaFile::load(path);
        // The text written from what was read back is the text first written:
        // nothing was lost or reordered on the way.
        QCOMPARE(SchemaFile::toText(*loaded), SchemaFile::toText(*original));

        // ... and what was read is really there, not two empty texts.
        const auto sales = loaded->GetCatalog(QStringLiteral("sales"));
        QCOMPARE(sales->description(), QStringLiteral("Πωλήσεις & <έξοδα>"));
        QCOMPARE(sales->Fields().Item(QStringLiteral("CUST_NAME"))->helpstring(),
                 QStringLiteral("Say \"hi\" to 'them'"));
        const auto viewStatus = sales->Views().Item(QStringLiteral("main"))->Fields().Item(2);
        QCOMPARE(viewStatus->ID(), QStringLiteral("ORD_STATUS"));
        QCOMPARE(viewStatus->hasvaluelist(), 2);
        QCOMPARE(viewStatus->searchtype(), 7);
        QCOMPARE(sales->Views().Item(QStringLiteral("main"))->Fields().Item(1)->helpstring(),
                 QStringLiteral("line one\nline two"));
    }

    // Files written elsewhere come in whatever encoding their editor chose: a
    // byte order mark says which, or else the XML declaration does (the
    // component's own default document uses the Greek Windows code page).
    void readsEveryEncoding_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("declared");
        QTest::addColumn<QByteArray>("encoding");

        QTest::newRow("UTF-8") << QByteArray() << QString() << QByteArray("UTF-8");
        QTest::newRow("UTF-8 declared") << QByteArray() << "utf-8" << QByteArray("UTF-8");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") << "UTF-8" << QByteArray("UTF-8");
        QTest::newRow("UTF-16 LE with mark")
            << QByteArray("\xFF\xFE") << "UTF-16" << QByteArray("UTF-16LE");
        QTest::newRow("UTF-16 BE with mark")
            << QByteArray("\xFE\xFF") << "UTF-16" << QByteArray("UTF-16BE");
        QTest::newRow("windows-1253") << QByteArray() << "windows-1253" << QByteArray("windows-1253");
        QTest::newRow("ISO-8859-7") << QByteArray() << "ISO-8859-7" << QByteArray("ISO-8859-7");
    }

    void readsEveryEncoding()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QString, declared);
        QFETCH(QByteArray, encoding);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("greek.xml"));
        const QString declaration = declared.isEmpty()
                                        ? QString()
                                        : QStringLiteral("<?xml version='1.0' encoding='%1'?>\r\n").arg(declared);
        const QString text = declaration + QStringLiteral(
            "<NortavineXMLData version='2.6'>"
            "<Schema Version='2.6'><Catalogs CatalogPath=''><Catalog ID='c'><Fields>"
            "<Field ID='NAME' vardescription='Όνομα' vartype='0' varsize='10'/></Fields>"
            "<Views><View ID='v'/></Views></Catalog></Catalogs></Schema></NortavineXMLData>");
        QStringEncoder encoder(encoding.constData());
        QVERIFY(encoder.isValid());
        write(path, mark + encoder(text));

        const auto schema = SchemaFile::load(path);
        QCOMPARE(schema->GetCatalog(QStringLiteral("c"))->Fields().Item(1)->vardescription(),
                 QStringLiteral("Όνομα"));
    }

    // A file that is not text in its encoding, or not well-formed XML, is
    // refused with the place of the first fault, never read with something
    // put in place of what could not be read.
    void faultsAreLocated_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column"); // from 1, in characters

        const QByteArray head = "<NortavineXMLData version='2.6'>\n<Schema>";
        QTest::newRow("Latin-1 byte in UTF-8") << head + "<Catalogs CatalogPath='Ren\xE9'/>" << 2 << 35;
        QTest::newRow("UTF-8 cut short at the end") << head + "\xCE" << 2 << 9;
        QTest::newRow("overlong UTF-8") << head + "\xC0\xAF" << 2 << 9;
        QTest::newRow("UTF-8 after Greek") << head + "\n\xCE\xA9\xCE\xA9\xFF" << 3 << 3;
        QTest::newRow("UTF-8 with mark, bad byte") << QByteArray("\xEF\xBB\xBF<a>\x80</a>") << 1 << 4;
        QTest::newRow("UTF-16 of odd length") << QByteArray("\xFF\xFE<\0a\0>", 7) << 1 << 3;
        QTest::newRow("UTF-16 lone surrogate")
            << QByteArray("\xFE\xFF\0<\0a\0>\0\n\xDC\x00", 12) << 2 << 1;
        QTest::newRow("undefined in windows-1253")
            << QByteArray("<?xml version='1.0' encoding='windows-1253'?>\n<a>\xE1\xFF</a>") << 2 << 5;
        QTest::newRow("0xAA, read by the decoder, has no character in windows-1253")
            << QByteArray("<?xml version='1.0' encoding='windows-1253'?>\n<a>\xE1\xE2\n\xAA</a>") << 3 << 1;
        QTest::newRow("gap among windows-1253's controls")
            << QByteArray("<?xml version='1.0' encoding='Windows-1253'?>\n<a \x81/>") << 2 << 4;
        QTest::newRow("gap in windows-1252")
            << QByteArray("<?xml version='1.0' encoding='windows-1252'?>\n<a>\xE9\x9D</a>") << 2 << 5;
        QTest::newRow("unclosed element") << head + "\n<Catalogs>" << 3 << 10;
        QTest::newRow("bad attribute") << head + "\n <Catalogs CatalogPath=x/>" << 3 << 24;
    }

    void faultsAreLocated()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, line);
        QFETCH(int, column);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("faulty.xml"));
        write(path, content);
        const auto raised = testsupport::raisedError([&] { SchemaFile::load(path); });
        QVERIFY(raised);
        const Error &e = *raised;
        QCOMPARE(e.number(), int(SchemaFile::InvalidDocument));
        QVERIFY2(e.description().contains(path), qPrintable(e.description()));
        QVERIFY2(e.description().contains(QStringLiteral("line %1, column %2").arg(line).arg(column)),
                 qPrintable(e.description()));
        QCOMPARE(e.line(), line);
        QCOMPARE(e.column(), column - 1);
    }

    void badFilesRaiseNumberedErrorsNamingTheFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<int>("number");

        const QByteArray good = SchemaFile::toText(*richSchema()).toUtf8();
        QTest::newRow("missing") << QByteArray() << int(SchemaFile::FileNotFound);
        QTest::newRow("empty") << QByteArray("") << int(SchemaFile::InvalidDocument);
        QTest::newRow("truncated") << good.left(good.size() / 2) << int(SchemaFile::InvalidDocument);
        QTest::newRow("not xml") << QByteArray("CUST_NAME;Name;0\n") << int(SchemaFile::InvalidDocument);
        QTest::newRow("other root")
            << QByteArray("<TypeLib><Interfaces/></TypeLib>") << int(SchemaFile::InvalidDocument);
        QTest::newRow("other version")
            << QByteArray("<NortavineXMLData version='2.5'><Schema/></NortavineXMLData>")
            << int(SchemaFile::InvalidDocument);
        QTest::newRow("repeated field")
            << QByteArray("<NortavineXMLData version='2.6'><Schema><Catalogs><Catalog ID='c'>"
                          "<Fields><Field ID='A'/><Field ID='A'/></Fields></Catalog></Catalogs>"
                          "</Schema></NortavineXMLData>")
            << int(SchemaFile::InvalidDocument);
        QTest::newRow("number not a number")
            << QByteArray("<NortavineXMLData version='2.6'><Schema><Catalogs><Catalog ID='c'>"
                          "<Fields><Field ID='A' hasvaluelist='yes'/></Fields></Catalog>"
                          "</Catalogs></Schema></NortavineXMLData>")
            << int(SchemaFile::InvalidDocument);
        QTest::newRow("unknown encoding")
            << QByteArray("<?xml version='1.0' encoding='x-no-such-code'?><NortavineXMLData "
                          "version='2.6'/>")
            << int(SchemaFile::InvalidDocument);
    }

    void badFilesRaiseNumberedErrorsNamingTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, number);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad schema.xml"));
        if (!content.isNull())
            write(path, content);
        try {
            SchemaFile::load(path);
            QFAIL("the file was accepted");
        } catch (const Error &e) {
            QCOMPARE(e.number(), number);
            QVERIFY2(e.description().contains(path), qPrintable(e.description()));
        }
    }

    void directoryIsNotAFile()
    {
        QTemporaryDir dir;
        try {
            SchemaFile::load(dir.path());
            QFAIL("a directory was read as a schema");
        } catch (const Error &e) {
            QCOMPARE(e.number(), int(SchemaFile::FileAccess));
        }
    }

    void failedSaveLeavesNothingBehind()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("schema.xml"));
        SchemaFile::save(*richSchema(), target);
        const QByteArray before = readAll(target);

        // A directory standing where the file should go cannot be replaced.
        const QString blocked = dir.filePath(QStringLiteral("blocked.xml"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.xml")));
        QVERIFY_THROWS_EXCEPTION(Error, SchemaFile::save(*richSchema(), blocked));
        QVERIFY_THROWS_EXCEPTION(
            Error, SchemaFile::save(*richSchema(), dir.filePath(QStringLiteral("no/such/dir.xml"))));

        QCOMPARE(readAll(target), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("schema.xml")});
    }
};

NVTARNIX_TEST_CLASS(tst_SchemaFile)
#include "tst_schemafile.moc"
