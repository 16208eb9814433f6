#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/VariableField.h>

#include <QString>

namespace nvtarnix {

// One data field of a catalog: a variable as the host's data knows it. Type
// and size stay the texts the host gave; the caption, group, value list and
// help are its variable record (see VariableField).
class NVTARNIX_EXPORT CatalogField : public VariableField
{
public:
    CatalogField(QString ID, QString vardescription, QString vartype, QString varsize);

    const QString &vartype() const { return m_vartype; }
    const QString &varsize() const { return m_varsize; }
    void setVartype(const QString &value) { m_vartype = value; }
    void setVarsize(const QString &value) { m_varsize = value; }

private:
    QString m_vartype;
    QString m_varsize;
};

} // namespace nvtarnix
