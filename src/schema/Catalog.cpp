#include <nvtarnix/Catalog.h>

namespace nvtarnix {

Catalog::Catalog(QString ID) : m_ID(std::move(ID)) {}

std::shared_ptr<CatalogField> Catalog::AddField(const QString &ID, const QString &vardescription,
                                                const QString &vartype, const QString &varsize)
{
    return m_fields.Add(std::make_shared<CatalogField>(ID, vardescription, vartype, varsize), ID);
}

std::shared_ptr<View> Catalog::AddView(const QString &ID, const QString &name,
                                       const QString &cardcaption)
{
    return m_views.Add(std::make_shared<View>(ID, name, cardcaption), ID);
}

} // namespace nvtarnix
