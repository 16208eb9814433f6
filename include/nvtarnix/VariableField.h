#pragma once

#include <nvtarnix/Export.h>
#include <nvtarnix/VariableRecord.h>

#include <QString>

namespace nvtarnix {

// What a catalog field and a view field have in common: the variable's ID,
// fixed when the field is added to its collection, and its variable record,
// read and written as a whole or one value at a time under the names hosts
// have always used.
class NVTARNIX_EXPORT VariableField
{
public:
    virtual ~VariableField() = default;

    const QString &ID() const { return m_ID; }

    const VariableRecord &record() const { return m_record; }
    void setRecord(const VariableRecord &record);

    const QString &vardescription() const { return m_record.vardescription; }
    const QString &groupcaption() const { return m_record.groupcaption; }
    int hasvaluelist() const { return m_record.hasvaluelist; }
    bool offersValueList() const { return nvtarnix::offersValueList(m_record.hasvaluelist); }
    const QString &valuelist() const { return m_record.valuelist; }
    const QString &listvalue() const { return m_record.listvalue; }
    const QString &ListText() const { return m_record.ListText; }
    const QString &sampledata() const { return m_record.sampledata; }
    int searchtype() const { return m_record.searchtype; }
    const QString &helpstring() const { return m_record.helpstring; }

    void setVardescription(const QString &value);
    void setGroupcaption(const QString &value);
    void setHasvaluelist(int value) { m_record.hasvaluelist = value; }
    void setValuelist(const QString &value) { m_record.valuelist = value; }
    void setListvalue(const QString &value) { m_record.listvalue = value; }
    void setListText(const QString &value) { m_record.ListText = value; }
    void setSampledata(const QString &value) { m_record.sampledata = value; }
    void setSearchtype(int value) { m_record.searchtype = value; }
    void setHelpstring(const QString &value) { m_record.helpstring = value; }

protected:
    VariableField(QString ID, QString vardescription);
    VariableField(const VariableField &) = default;
    VariableField &operator=(const VariableField &) = default;

    // Called after the caption or the group caption was set: the texts that
    // the conversions between display and database form search for.
    virtual void namesChanged() {}

private:
    QString m_ID;
    VariableRecord m_record;
};

} // namespace nvtarnix
