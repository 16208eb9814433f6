#pragma once

#include <nvtarnix/Recordset.h>

#include <QDialog>
#include <QIcon>
#include <QList>

#include <memory>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nvtarnix {

// The value list: a small modal dialog that shows a host's recordset as rows
// of code and description and hands back the code the user picked. It knows
// nothing of variables or scripts. The editor keeps one instance and opens it
// again for every list.
//
// Names: what hosts and tests see keeps the names the component has always
// had. The controls are members named by their objectNames (lstValueList,
// cmdOK, cmdCancel), the handlers are named control_Event (cmdOK_Click,
// Form_QueryUnload), and WindowOpen keeps its arguments and its result, 1
// confirmed and 0 cancelled. Everything else is ours, in Qt style, with
// QDialog's Accepted and Rejected for the result.
class frmList : public QDialog
{
    Q_OBJECT

public:
    explicit frmList(QWidget *parent = nullptr);
    ~frmList() override;

    // Shows the rows of rsList, sorted ascending by ListField, the code, with
    // ListText as the description, and waits for the user. Returns 1 when the
    // user confirmed a row (OK, Enter or a double-click on the list, each of
    // which does nothing until a row is selected) and 0 when they cancelled
    // (Cancel, Esc or the close box). On 1, SelectedValue receives the row's
    // code converted to a 32-bit integer; otherwise it keeps what the caller
    // put in it.
    //
    // The dialog opens at its designed size, wider when its rows need it (up
    // to the screen's width): the code column fits the longest code, the
    // description takes the rest. Nothing of one opening carries to the next.
    //
    // The host's recordset is left sorted by ListField and positioned at its
    // end. A recordset whose count is 0 or unknown (-1) gives an empty list
    // and is not touched. Errors of the recordset, and of converting a code
    // that is Null, not a number or too large, end the call as an
    // nvtarnix::Error; the dialog is then closed and emptied.
    int WindowOpen(std::shared_ptr<Recordset> rsList, const QString &ListField, const QString &ListText,
                   qint32 &SelectedValue, QWidget *theOwner = nullptr);

    // The code whose row the next opening starts on, chosen, as guided
    // editing asks for the code already written at the caret; without it an
    // opening starts with no row chosen. Used by one opening only.
    void setPreselectedCode(const QString &code) { m_preselectedCode = code; }
    // Whether the next opening offers a search box over the rows (by code or
    // description), as guided editing asks; without it the window is as
    // designed. Used by one opening only.
    void setSearchable(bool searchable) { m_nextSearchable = searchable; }

    // The two row images: image 2 marks every row.
    const QList<QIcon> &ImageList1() const { return m_imageList1; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // Esc comes here through the dialog; it is the Cancel button's action.
    void reject() override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void lstValueList_DblClick();
    void Form_QueryUnload();
    void unloadWindow();

    void fillRows(Recordset &rsList, const QString &ListField, const QString &ListText);
    // The designed geometry, extraWidth pixels wider; buttons fit their captions.
    void layOut(int extraWidth);
    void fitToRows();
    QTreeWidgetItem *addRow(const QVariant &code);
    qint32 selectedCode() const;
    // Shows only the rows that match the search box; a chosen row that goes
    // out of sight is chosen no more.
    void filterRows(const QString &query);

    QTreeWidget *lstValueList;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    QLineEdit *m_search;
    QList<QIcon> m_imageList1;
    // Survives each closing of the window; only the closing actions write it.
    DialogCode m_dialogResult = Rejected;
    QString m_preselectedCode;
    bool m_nextSearchable = false;
    // Whether this opening shows the search box.
    bool m_searchable = false;
};

} // namespace nvtarnix
