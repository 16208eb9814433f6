#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/KeyedCollection.h>
#include <nvtarnix/ViewField.h>

#include <cstdint>
#include <memory>

namespace nvtarnix {

// A view of a catalog: the fields a user works with, in the order they are
// listed and converted.
class NVTARNIX_EXPORT View
{
public:
    explicit View(QString ID, QString name = {}, QString cardcaption = {});

    const QString &ID() const { return m_ID; }
    const QString &name() const { return m_name; }
    const QString &cardcaption() const { return m_cardcaption; }
    void setName(const QString &value) { m_name = value; }
    void setCardcaption(const QString &value) { m_cardcaption = value; }

    const KeyedCollection<std::shared_ptr<ViewField>> &Fields() const { return m_fields; }

    // Adds a field keyed by its ID; a repeated ID is refused (error 457).
    std::shared_ptr<ViewField> AddField(const QString &ID, const QString &vardescription = {},
                                        const QString &displayformat = {});
    void RemoveField(const QString &ID);
    void ClearFields();

    // Grows whenever the field collection changes or a field's ID, caption or
    // group caption does; equal revisions mean the same searchable content.
    std::uint64_t Revision() const { return *m_revision; }

private:
    QString m_ID;
    QString m_name;
    QString m_cardcaption;
    KeyedCollection<std::shared_ptr<ViewField>> m_fields;
    std::shared_ptr<std::uint64_t> m_revision = std::make_shared<std::uint64_t>(0);
};

} // namespace nvtarnix
