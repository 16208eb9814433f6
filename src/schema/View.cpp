#include <nvtarnix/View.h>

namespace nvtarnix {

View::View(QString ID, QString name, QString cardcaption)
    : m_ID(std::move(ID)), m_name(std::move(name)), m_cardcaption(std::move(cardcaption))
{
}

std::shared_ptr<ViewField> View::AddField(const QString &ID, const QString &vardescription,
                                          const QString &displayformat)
{
    auto field = std::make_shared<ViewField>(ID, vardescription, displayformat);
    m_fields.Add(field, ID);
    field->m_revision = m_revision;
    ++*m_revision;
    return field;
}

void View::RemoveField(const QString &ID)
{
    const auto field = m_fields.Item(ID);
    m_fields.Remove(ID);
    // A field kept elsewhere no longer speaks for this view.
    field->m_revision.reset();
    ++*m_revision;
}

void View::ClearFields()
{
    for (const auto &field : m_fields)
        field->m_revision.reset();
    m_fields.Clear();
    ++*m_revision;
}

} // namespace nvtarnix
