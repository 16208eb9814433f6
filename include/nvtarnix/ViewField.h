#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/VariableField.h>

#include <QString>

#include <cstdint>
#include <memory>

namespace nvtarnix {

// One variable as a view shows it: its variable record (see VariableField),
// its type as a number and how a grid shows it. The conversions between
// display and database form search for its ID, caption and group caption, so
// every change of those three is counted on the owning view (see
// View::Revision), which lets callers keep derived lookups until the view
// really changes.
class NVTARNIX_EXPORT ViewField : public VariableField
{
public:
    explicit ViewField(QString ID, QString vardescription = {}, QString displayformat = {});

    const QString &displayformat() const { return m_displayformat; }
    int vartype() const { return m_vartype; }
    // Width of the field's column when the view is shown as a grid; 0 lets
    // the host choose.
    int columnwidth() const { return m_columnwidth; }

    void setDisplayformat(const QString &value) { m_displayformat = value; }
    void setVartype(int value) { m_vartype = value; }
    void setColumnwidth(int value) { m_columnwidth = value; }

private:
    friend class View;
    void namesChanged() override;

    QString m_displayformat;
    int m_vartype = 0;
    int m_columnwidth = 0;
    // Shared with the view(s) the field belongs to.
    std::shared_ptr<std::uint64_t> m_revision;
};

} // namespace nvtarnix
