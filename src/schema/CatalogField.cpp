#include <nvtarnix/CatalogField.h>

namespace nvtarnix {

CatalogField::CatalogField(QString ID, QString vardescription, QString vartype, QString varsize)
    : VariableField(std::move(ID), std::move(vardescription)), m_vartype(std::move(vartype)),
      m_varsize(std::move(varsize))
{
}

} // namespace nvtarnix
