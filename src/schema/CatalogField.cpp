#include <nvtarnix/CatalogField.h>

namespace nvtarnix {

CatalogField::CatalogField(QString ID, QString vardescription, QString vartype, QString varsize)
    : m_ID(std::move(ID)), m_vardescription(std::move(vardescription)),
      m_vartype(std::move(vartype)), m_varsize(std::move(varsize))
{
}

} // namespace nvtarnix
