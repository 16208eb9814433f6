#include <nvtarnix/VariableField.h>

namespace nvtarnix {

VariableField::VariableField(QString ID, QString vardescription) : m_ID(std::move(ID))
{
    m_record.vardescription = std::move(vardescription);
}

void VariableField::setRecord(const VariableRecord &record)
{
    const bool renamed = record.vardescription != m_record.vardescription
                         || record.groupcaption != m_record.groupcaption;
    m_record = record;
    if (renamed)
        namesChanged();
}

void VariableField::setVardescription(const QString &value)
{
    m_record.vardescription = value;
    namesChanged();
}

void VariableField::setGroupcaption(const QString &value)
{
    m_record.groupcaption = value;
    namesChanged();
}

} // namespace nvtarnix
