#pragma once

#include <nvtarnix/Error.h>

#include <QString>

#include <pugixml.hpp>

#include <memory>

namespace nvtarnix {

// The function catalog document: TypeLib / Interfaces / Interface (name,
// description, visible) / Functions / Function (name, declaration,
// declarationext, helpstring, visible). Booleans are stored as "-1" and "0".
namespace FunctionCatalog {

// Error number of a document that refuses an operation (a query it cannot
// read, a second root element).
constexpr int DocumentError = errors::InvalidFunctionDocument;

// A new document holding the built-in VBScript functions. Should the built-in
// list not parse, the document is empty.
std::shared_ptr<pugi::xml_document> loadBuiltin();

// Appends one function to its interface, creating TypeLib, Interfaces, the
// interface and its Functions as needed. Names are used as given: a quote in
// the interface name makes its query fail with DocumentError, keeping what was
// created up to then.
void addFunction(pugi::xml_document &catalog, const QString &interfaceName, const QString &name,
                 const QString &declaration, const QString &declarationext,
                 const QString &helpstring, bool visible);

// The helpstring of the first function with that name; empty when there is
// none, when it has no helpstring, or when the name cannot be queried.
QString helpString(const pugi::xml_document &catalog, const QString &name);

// The document as text, tab-indented, without an XML declaration. An empty
// document gives an empty text.
QString text(const pugi::xml_document &catalog);

} // namespace FunctionCatalog

} // namespace nvtarnix
