#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/Catalog.h>
#include <nvtarnix/CatalogField.h>
#include <nvtarnix/KeyedCollection.h>
#include <nvtarnix/View.h>
#include <nvtarnix/ViewField.h>

#include <memory>

namespace nvtarnix {

// The description of a host's data: catalogs, each with its fields and views.
// Objects are shared: a catalog or view taken from a schema stays valid after
// the schema itself is released or replaced.
class NVTARNIX_EXPORT Schema
{
public:
    // The schema document format this model reads (root NortavineXMLData).
    static constexpr const char *DocumentVersion = "2.6";
    // Number of the error raised for a schema document that cannot be read.
    static constexpr int InvalidDocumentError = errors::InvalidSchemaDocument;

    Schema() = default;

    const QString &CatalogPath() const { return m_catalogPath; }
    void setCatalogPath(const QString &value) { m_catalogPath = value; }

    const KeyedCollection<std::shared_ptr<Catalog>> &Catalogs() const { return m_catalogs; }
    // The catalog with that ID; a missing one raises error 5.
    std::shared_ptr<Catalog> GetCatalog(const QString &ID) const { return m_catalogs.Item(ID); }
    std::shared_ptr<Catalog> AddCatalog(const QString &ID);
    void RemoveCatalog(const QString &ID) { m_catalogs.Remove(ID); }

    // A schema is open once it holds content: loaded from a document, or
    // opened empty to be built by hand.
    bool IsOpen() const { return m_open; }
    void Open() { m_open = true; }

    // Replaces the whole content by the schema document's: catalogs with their
    // views and fields. A document that cannot be read raises
    // InvalidDocumentError and leaves the schema as it was.
    void LoadFromText(const QString &document);

private:
    QString m_catalogPath;
    KeyedCollection<std::shared_ptr<Catalog>> m_catalogs;
    bool m_open = false;
};

} // namespace nvtarnix
