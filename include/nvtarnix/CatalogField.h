#pragma once

#include <QString>

namespace nvtarnix {

// One data field of a catalog: a variable as the host's data knows it. Type
// and size stay the texts the host gave; the value-list kind and search kind
// are numbers.
class CatalogField
{
public:
    CatalogField(QString ID, QString vardescription, QString vartype, QString varsize);

    const QString &ID() const { return m_ID; }
    const QString &vardescription() const { return m_vardescription; }
    const QString &vartype() const { return m_vartype; }
    const QString &varsize() const { return m_varsize; }
    const QString &groupcaption() const { return m_groupcaption; }
    int hasvaluelist() const { return m_hasvaluelist; }
    const QString &valuelist() const { return m_valuelist; }
    const QString &listvalue() const { return m_listvalue; }
    const QString &ListText() const { return m_ListText; }
    const QString &sampledata() const { return m_sampledata; }
    int searchtype() const { return m_searchtype; }
    const QString &helpstring() const { return m_helpstring; }

    void setVardescription(const QString &value) { m_vardescription = value; }
    void setVartype(const QString &value) { m_vartype = value; }
    void setVarsize(const QString &value) { m_varsize = value; }
    void setGroupcaption(const QString &value) { m_groupcaption = value; }
    void setHasvaluelist(int value) { m_hasvaluelist = value; }
    void setValuelist(const QString &value) { m_valuelist = value; }
    void setListvalue(const QString &value) { m_listvalue = value; }
    void setListText(const QString &value) { m_ListText = value; }
    void setSampledata(const QString &value) { m_sampledata = value; }
    void setSearchtype(int value) { m_searchtype = value; }
    void setHelpstring(const QString &value) { m_helpstring = value; }

private:
    QString m_ID;
    QString m_vardescription;
    QString m_vartype;
    QString m_varsize;
    QString m_groupcaption;
    int m_hasvaluelist = 0;
    QString m_valuelist;
    QString m_listvalue;
    QString m_ListText;
    QString m_sampledata;
    int m_searchtype = 0;
    QString m_helpstring;
};

} // namespace nvtarnix
