#include "component/FunctionCatalog.h"

#include <nvtarnix/Error.h>

#include "support/ComponentErrors.h"
#include "support/FailureHandling.h"

#include <QFile>

#include <sstream>

namespace nvtarnix::FunctionCatalog {

namespace {

std::string utf8(const QString &s)
{
    return s.toStdString();
}

[[noreturn]] void documentError(const QString &description)
{
    throw Error(DocumentError, componentSource(), description);
}

pugi::xml_node selectFirst(const pugi::xml_node &context, const std::string &query)
{
    try {
        return context.select_node(query.c_str()).node();
    } catch (const pugi::xpath_exception &e) {
        documentError(QStringLiteral("The query %1 is not valid: %2")
                          .arg(QString::fromStdString(query), QString::fromUtf8(e.what())));
    }
}

pugi::xml_node childOrNew(pugi::xml_node parent, const char *name)
{
    if (auto child = parent.child(name))
        return child;
    return parent.append_child(name);
}

} // namespace

std::shared_ptr<pugi::xml_document> loadBuiltin()
{
    auto doc = std::make_shared<pugi::xml_document>();
    QFile file(QStringLiteral(":/nvtarnix/functions.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    const QByteArray bytes = file.readAll();
    if (!doc->load_buffer(bytes.constData(), size_t(bytes.size())))
        doc->reset();
    return doc;
}

void addFunction(pugi::xml_document &catalog, const QString &interfaceName, const QString &name,
                 const QString &declaration, const QString &declarationext,
                 const QString &helpstring, bool visible)
{
    pugi::xml_node typeLib = selectFirst(catalog, ".//TypeLib");
    if (!typeLib) {
        if (catalog.document_element())
            documentError(QStringLiteral("The document already has the root element %1; "
                                         "a second root TypeLib cannot be added")
                              .arg(QString::fromUtf8(catalog.document_element().name())));
        typeLib = catalog.append_child("TypeLib");
    }
    pugi::xml_node interfaces = childOrNew(typeLib, "Interfaces");

    const std::string iname = utf8(interfaceName);
    pugi::xml_node iface = selectFirst(interfaces, "Interface[@name='" + iname + "']");
    if (!iface) {
        iface = interfaces.append_child("Interface");
        iface.append_attribute("name") = iname.c_str();
        iface.append_attribute("description") = iname.c_str();
        iface.append_attribute("visible") = "-1";
    }
    pugi::xml_node functions = childOrNew(iface, "Functions");

    pugi::xml_node function = functions.append_child("Function");
    function.append_attribute("name") = utf8(name).c_str();
    function.append_attribute("declaration") = utf8(declaration).c_str();
    function.append_attribute("declarationext") = utf8(declarationext).c_str();
    function.append_attribute("helpstring") = utf8(helpstring).c_str();
    function.append_attribute("visible") = visible ? "-1" : "0";
}

QString helpString(const pugi::xml_document &catalog, const QString &name)
{
    try {
        const auto function = selectFirst(catalog, ".//Function[@name='" + utf8(name) + "']");
        return QString::fromUtf8(function.attribute("helpstring").value());
    } catch (const Error &) {
        // Asked from tree events, where no failure may surface: no help.
        logSkippedFailure();
        return {};
    }
}

QString text(const pugi::xml_document &catalog)
{
    std::ostringstream out;
    catalog.save(out, "\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return QString::fromStdString(out.str());
}

} // namespace nvtarnix::FunctionCatalog
