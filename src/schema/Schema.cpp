#include <nvtarnix/Schema.h>

#include "support/ComponentErrors.h"

#include <pugixml.hpp>

#include <cstring>

namespace nvtarnix {

namespace {

QString attribute(const pugi::xml_node &node, const char *name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

[[noreturn]] void invalidDocument(const QString &why)
{
    throw Error(Schema::InvalidDocumentError, componentSource(),
                QStringLiteral("The schema document cannot be read: %1").arg(why));
}

int number(const pugi::xml_node &node, const char *name)
{
    const QString text = attribute(node, name);
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        invalidDocument(QStringLiteral("attribute %1 of %2 \"%3\" is not a number")
                            .arg(QString::fromUtf8(name), attribute(node, "ID"), text));
    return value;
}

// The variable record that catalog and view fields both carry.
VariableRecord readVariableRecord(const pugi::xml_node &f)
{
    VariableRecord record;
    record.vardescription = attribute(f, "vardescription");
    record.groupcaption = attribute(f, "groupcaption");
    record.hasvaluelist = number(f, "hasvaluelist");
    record.valuelist = attribute(f, "valuelist");
    record.listvalue = attribute(f, "listvalue");
    record.ListText = attribute(f, "ListText");
    record.sampledata = attribute(f, "sampledata");
    record.searchtype = number(f, "searchtype");
    record.helpstring = attribute(f, "helpstring");
    return record;
}

void readCatalogFields(Catalog &catalog, const pugi::xml_node &fields)
{
    for (const auto &f : fields.children("Field")) {
        auto field = catalog.AddField(attribute(f, "ID"), attribute(f, "vardescription"),
                                      attribute(f, "vartype"), attribute(f, "varsize"));
        field->setRecord(readVariableRecord(f));
    }
}

void readViewFields(View &view, const pugi::xml_node &fields)
{
    for (const auto &f : fields.children("Field")) {
        auto field = view.AddField(attribute(f, "ID"), attribute(f, "vardescription"),
                                   attribute(f, "displayformat"));
        field->setColumnwidth(number(f, "columnwidth"));
        field->setVartype(number(f, "vartype"));
        field->setRecord(readVariableRecord(f));
    }
}

} // namespace

std::shared_ptr<Catalog> Schema::AddCatalog(const QString &ID)
{
    return m_catalogs.Add(std::make_shared<Catalog>(ID), ID);
}

void Schema::LoadFromText(const QString &document)
{
    const QByteArray utf8 = document.toUtf8();
    pugi::xml_document doc;
    // The text is already decoded; whatever encoding its declaration names
    // belongs to the file it once came from.
    const auto parsed = doc.load_buffer(utf8.constData(), size_t(utf8.size()),
                                        pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        // Where the parser stopped, as an editor counts: line, then character.
        const QString before = QString::fromUtf8(utf8.left(qsizetype(parsed.offset)));
        const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
        const int line = int(before.count(QLatin1Char('\n'))) + 1;
        const int column = int(before.size() - lineStart);
        throw Error(InvalidDocumentError, QStringLiteral("nvTarnix"),
                    QStringLiteral("The schema document cannot be read: %1 at line %2, column %3")
                        .arg(QString::fromUtf8(parsed.description()))
                        .arg(line)
                        .arg(column + 1),
                    line, column);
    }

    const auto root = doc.document_element();
    if (std::strcmp(root.name(), "NortavineXMLData") != 0)
        invalidDocument(QStringLiteral("the root element is not NortavineXMLData"));
    const QString version = attribute(root, "version");
    if (version != QLatin1String(DocumentVersion))
        invalidDocument(QStringLiteral("version \"%1\" is not %2").arg(version, DocumentVersion));

    // Build aside and swap, so a bad document leaves this schema untouched.
    Schema loaded;
    const auto catalogs = root.child("Schema").child("Catalogs");
    loaded.m_catalogPath = attribute(catalogs, "CatalogPath");
    try {
        for (const auto &c : catalogs.children("Catalog")) {
            auto catalog = loaded.AddCatalog(attribute(c, "ID"));
            catalog->setDescription(attribute(c, "description"));
            catalog->setSource(attribute(c, "source"));
            catalog->setPrimarykey(attribute(c, "primarykey"));
            catalog->setParentcatalog(attribute(c, "parentcatalog"));
            catalog->setDefaultview(attribute(c, "defaultview"));
            readCatalogFields(*catalog, c.child("Fields"));
            for (const auto &v : c.child("Views").children("View")) {
                auto view = catalog->AddView(attribute(v, "ID"), attribute(v, "name"),
                                             attribute(v, "cardcaption"));
                readViewFields(*view, v.child("Fields"));
            }
        }
    } catch (const Error &e) {
        if (e.number() == InvalidDocumentError)
            throw;
        invalidDocument(e.description());
    }

    m_catalogPath = loaded.m_catalogPath;
    m_catalogs = std::move(loaded.m_catalogs);
    m_open = true;
}

} // namespace nvtarnix
