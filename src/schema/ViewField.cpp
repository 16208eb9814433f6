#include <nvtarnix/ViewField.h>

namespace nvtarnix {

ViewField::ViewField(QString ID, QString vardescription, QString displayformat)
    : VariableField(std::move(ID), std::move(vardescription)),
      m_displayformat(std::move(displayformat))
{
}

void ViewField::namesChanged()
{
    if (m_revision)
        ++*m_revision;
}

} // namespace nvtarnix
