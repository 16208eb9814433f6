#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/CatalogField.h>
#include <nvtarnix/KeyedCollection.h>
#include <nvtarnix/View.h>

#include <memory>

namespace nvtarnix {

// A catalog of the host's data: its fields and the views over them.
class NVTARNIX_EXPORT Catalog
{
public:
    explicit Catalog(QString ID);

    const QString &ID() const { return m_ID; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const QString &primarykey() const { return m_primarykey; }
    const QString &parentcatalog() const { return m_parentcatalog; }
    const QString &defaultview() const { return m_defaultview; }
    void setDescription(const QString &value) { m_description = value; }
    void setSource(const QString &value) { m_source = value; }
    void setPrimarykey(const QString &value) { m_primarykey = value; }
    void setParentcatalog(const QString &value) { m_parentcatalog = value; }
    void setDefaultview(const QString &value) { m_defaultview = value; }

    const KeyedCollection<std::shared_ptr<CatalogField>> &Fields() const { return m_fields; }
    const KeyedCollection<std::shared_ptr<View>> &Views() const { return m_views; }

    // Each adds an item keyed by its ID; a repeated ID is refused (error 457).
    std::shared_ptr<CatalogField> AddField(const QString &ID, const QString &vardescription,
                                           const QString &vartype, const QString &varsize);
    std::shared_ptr<View> AddView(const QString &ID, const QString &name = {},
                                  const QString &cardcaption = {});
    void RemoveField(const QString &ID) { m_fields.Remove(ID); }
    void RemoveView(const QString &ID) { m_views.Remove(ID); }

private:
    QString m_ID;
    QString m_description;
    QString m_source;
    QString m_primarykey;
    QString m_parentcatalog;
    QString m_defaultview;
    KeyedCollection<std::shared_ptr<CatalogField>> m_fields;
    KeyedCollection<std::shared_ptr<View>> m_views;
};

} // namespace nvtarnix
