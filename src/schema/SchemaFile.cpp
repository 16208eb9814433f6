#include "schema/SchemaFile.h"

#include "support/ComponentErrors.h"
#include "support/TextDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <pugixml.hpp>

#include <string>

namespace nvtarnix::SchemaFile {

namespace {

[[noreturn]] void raise(int number, const QString &description)
{
    throw Error(number, componentSource(), description);
}

// The encoding named by the document's XML declaration, empty when it names
// none. Only the declaration's own bytes are looked at, which are ASCII in
// every encoding a schema file may use.
QString declaredEncoding(const QByteArray &bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*\sencoding\s*=\s*["']([A-Za-z0-9._:-]+)["'])"));
    const auto match = declaration.match(QString::fromLatin1(bytes.left(256)));
    return match.hasMatch() ? match.captured(1) : QString();
}

// The file's text. A byte order mark decides the encoding; without one the
// declaration does, and UTF-8 applies when it names none. A byte that is not
// text in that encoding stops the reading: nothing is replaced by a guess.
QString decode(const QByteArray &bytes, const QString &path)
{
    const DecodedText decoded = decodeText(bytes, declaredEncoding(bytes));
    switch (decoded.outcome) {
    case DecodedText::Read:
        break;
    case DecodedText::UnknownEncoding:
        raise(InvalidDocument, QStringLiteral("The schema file %1 cannot be read: encoding \"%2\" "
                                              "is not supported")
                                   .arg(path, decoded.encoding));
    case DecodedText::Undecodable:
        throw Error(InvalidDocument, componentSource(),
                    QStringLiteral("The schema file %1 cannot be read: it is not valid %2 text "
                                   "at line %3, column %4")
                        .arg(path, decoded.encoding)
                        .arg(decoded.line)
                        .arg(decoded.column),
                    int(decoded.line), int(decoded.column - 1));
    }
    return decoded.text;
}

void set(pugi::xml_node node, const char *name, const QString &value)
{
    node.append_attribute(name).set_value(value.toUtf8().constData());
}

void set(pugi::xml_node node, const char *name, int value)
{
    set(node, name, QString::number(value));
}

// A Field element with what catalog and view fields share: the ID and the
// variable record, in the order the file has them. The caller adds what only
// its kind of field has.
pugi::xml_node appendField(pugi::xml_node parent, const VariableField &field)
{
    auto node = parent.append_child("Field");
    const VariableRecord &record = field.record();
    set(node, "ID", field.ID());
    set(node, "vardescription", record.vardescription);
    set(node, "groupcaption", record.groupcaption);
    set(node, "hasvaluelist", record.hasvaluelist);
    set(node, "valuelist", record.valuelist);
    set(node, "listvalue", record.listvalue);
    set(node, "ListText", record.ListText);
    set(node, "sampledata", record.sampledata);
    set(node, "searchtype", record.searchtype);
    set(node, "helpstring", record.helpstring);
    return node;
}

struct StringWriter : pugi::xml_writer
{
    std::string text;
    void write(const void *data, size_t size) override
    {
        text.append(static_cast<const char *>(data), size);
    }
};

} // namespace

std::shared_ptr<Schema> load(const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        raise(FileNotFound, QStringLiteral("File not found: %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        raise(FileAccess,
              QStringLiteral("Path/File access error: %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raise(FileAccess,
              QStringLiteral("Path/File access error: %1: %2").arg(path, file.errorString()));
    return read(bytes, path);
}

std::shared_ptr<Schema> read(const QByteArray &bytes, const QString &path)
{
    const QString text = decode(bytes, path);
    auto schema = std::make_shared<Schema>();
    try {
        schema->LoadFromText(text);
    } catch (const Error &e) {
        // Name the file, so a user with several schema files knows which one.
        static const QString documentPrefix = QStringLiteral("The schema document cannot be read: ");
        QString why = e.description();
        if (why.startsWith(documentPrefix))
            why = why.mid(documentPrefix.size());
        throw Error(e.number(), componentSource(),
                    QStringLiteral("The schema file %1 cannot be read: %2").arg(path, why), e.line(),
                    e.column());
    }
    return schema;
}

QString toText(const Schema &schema)
{
    pugi::xml_document doc;
    auto declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("utf-8");

    auto root = doc.append_child("NortavineXMLData");
    root.append_attribute("version").set_value(Schema::DocumentVersion);
    auto schemaNode = root.append_child("Schema");
    schemaNode.append_attribute("Version").set_value(Schema::DocumentVersion);
    auto catalogs = schemaNode.append_child("Catalogs");
    set(catalogs, "CatalogPath", schema.CatalogPath());

    for (const auto &catalog : schema.Catalogs()) {
        auto c = catalogs.append_child("Catalog");
        set(c, "ID", catalog->ID());
        set(c, "description", catalog->description());
        set(c, "source", catalog->source());
        set(c, "primarykey", catalog->primarykey());
        set(c, "parentcatalog", catalog->parentcatalog());
        set(c, "defaultview", catalog->defaultview());
        auto fields = c.append_child("Fields");
        for (const auto &field : catalog->Fields()) {
            auto f = appendField(fields, *field);
            set(f, "vartype", field->vartype());
            set(f, "varsize", field->varsize());
        }
        auto views = c.append_child("Views");
        for (const auto &view : catalog->Views()) {
            auto v = views.append_child("View");
            set(v, "ID", view->ID());
            set(v, "name", view->name());
            set(v, "cardcaption", view->cardcaption());
            auto viewFields = v.append_child("Fields");
            for (const auto &field : view->Fields()) {
                auto f = appendField(viewFields, *field);
                set(f, "vartype", field->vartype());
                set(f, "displayformat", field->displayformat());
                set(f, "columnwidth", field->columnwidth());
            }
        }
    }

    StringWriter writer;
    doc.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return QString::fromStdString(writer.text);
}

void save(const Schema &schema, const QString &path)
{
    const QByteArray bytes = toText(schema).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        raise(FileAccess,
              QStringLiteral("Path/File access error: %1: %2").arg(path, file.errorString()));
}

} // namespace nvtarnix::SchemaFile
