#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace nvtarnix {

// One variable as a view shows it. The conversions between display and
// database form search for its ID, caption and group caption, so every change
// of those three is counted on the owning view (see View::Revision), which lets
// callers keep derived lookups until the view really changes.
class ViewField
{
public:
    explicit ViewField(QString ID, QString vardescription = {}, QString displayformat = {});

    const QString &ID() const { return m_ID; }
    const QString &vardescription() const { return m_vardescription; }
    const QString &displayformat() const { return m_displayformat; }
    int vartype() const { return m_vartype; }
    const QString &groupcaption() const { return m_groupcaption; }
    int hasvaluelist() const { return m_hasvaluelist; }
    const QString &valuelist() const { return m_valuelist; }
    const QString &listvalue() const { return m_listvalue; }
    const QString &ListText() const { return m_ListText; }
    const QString &sampledata() const { return m_sampledata; }
    int searchtype() const { return m_searchtype; }
    const QString &helpstring() const { return m_helpstring; }
    // Width of the field's column when the view is shown as a grid; 0 lets
    // the host choose.
    int columnwidth() const { return m_columnwidth; }

    void setVardescription(const QString &value);
    void setDisplayformat(const QString &value) { m_displayformat = value; }
    void setVartype(int value) { m_vartype = value; }
    void setGroupcaption(const QString &value);
    void setHasvaluelist(int value) { m_hasvaluelist = value; }
    void setValuelist(const QString &value) { m_valuelist = value; }
    void setListvalue(const QString &value) { m_listvalue = value; }
    void setListText(const QString &value) { m_ListText = value; }
    void setSampledata(const QString &value) { m_sampledata = value; }
    void setSearchtype(int value) { m_searchtype = value; }
    void setHelpstring(const QString &value) { m_helpstring = value; }
    void setColumnwidth(int value) { m_columnwidth = value; }

private:
    friend class View;
    void touch();

    QString m_ID;
    QString m_vardescription;
    QString m_displayformat;
    int m_vartype = 0;
    QString m_groupcaption;
    int m_hasvaluelist = 0;
    QString m_valuelist;
    QString m_listvalue;
    QString m_ListText;
    QString m_sampledata;
    int m_searchtype = 0;
    QString m_helpstring;
    int m_columnwidth = 0;
    // Shared with the view(s) the field belongs to.
    std::shared_ptr<std::uint64_t> m_revision;
};

} // namespace nvtarnix
