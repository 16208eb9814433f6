#pragma once

#include <nvtarnix/Schema.h>

#include <QString>

#include <memory>

namespace nvtarnix {

// A whole schema (catalogs, their fields and views, and every variable record
// field) kept in a file, in the schema document format the component itself
// starts from: root NortavineXMLData, version 2.6. Fields are written as
//   Catalog/Fields/Field  ID, the variable record, vartype varsize
//   View/Fields/Field     ID, the variable record, vartype displayformat
//                         columnwidth
// where the variable record is vardescription groupcaption hasvaluelist
// valuelist listvalue ListText sampledata searchtype helpstring; fields in
// collection order, every value an attribute.
namespace SchemaFile {

// Numbers of the errors a schema file raises; the first two are the numbers
// the platform has always used for the same file troubles.
enum ErrorNumber : int {
    FileNotFound = errors::FileNotFound,
    FileAccess = errors::FileAccess,
    InvalidDocument = Schema::InvalidDocumentError, // not a schema document, or truncated
};

// Reads the file; every failure is an nvtarnix::Error whose description names
// the file. The file's XML declaration decides its encoding (UTF-8 when it
// names none).
std::shared_ptr<Schema> load(const QString &path);

// The same for the bytes of a file already read; `path` names it in errors.
std::shared_ptr<Schema> read(const QByteArray &bytes, const QString &path);

// Writes the schema as a UTF-8 document. The file is replaced only once the
// whole document is written, so a failure leaves the old file as it was.
void save(const Schema &schema, const QString &path);

// The document text that save() writes.
QString toText(const Schema &schema);

} // namespace SchemaFile

} // namespace nvtarnix
