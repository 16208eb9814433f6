#include <nvtarnix/ViewField.h>

namespace nvtarnix {

ViewField::ViewField(QString ID, QString vardescription, QString displayformat)
    : m_ID(std::move(ID)), m_vardescription(std::move(vardescription)),
      m_displayformat(std::move(displayformat))
{
}

void ViewField::setVardescription(const QString &value)
{
    m_vardescription = value;
    touch();
}

void ViewField::setGroupcaption(const QString &value)
{
    m_groupcaption = value;
    touch();
}

void ViewField::touch()
{
    if (m_revision)
        ++*m_revision;
}

} // namespace nvtarnix
