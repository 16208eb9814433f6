#include "valuelist/frmList.h"

#include "support/FailureHandling.h"

#include "support/FormFont.h"
#include "support/MlStringModule.h"
#include "valuelist/CodeConversion.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

namespace nvtarnix {

namespace {

// The window's design, in twips.
constexpr int ClientWidth = 4515;
constexpr int ClientHeight = 4605;
constexpr QRect ListGeometry(90, 180, 4245, 3795);
constexpr QRect OkGeometry(2250, 4050, 1005, 375);
constexpr QRect CancelGeometry(3330, 4050, 1005, 375);
constexpr int CodeColumnWidth = 700;
constexpr int DescriptionColumnWidth = 3800;

constexpr int RowImage = 1; // image 2 of ImageList1
constexpr int CodeRole = Qt::UserRole;


class TwipsScale
{
public:
    explicit TwipsScale(const QWidget *widget) : m_twipsPerPixel(1440.0 / widget->logicalDpiX()) {}

    int pixels(int twips) const { return qRound(twips / m_twipsPerPixel); }
    QRect pixels(const QRect &twips) const
    {
        return QRect(pixels(twips.left()), pixels(twips.top()), pixels(twips.width()), pixels(twips.height()));
    }

private:
    double m_twipsPerPixel;
};

} // namespace

frmList::frmList(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      lstValueList(new QTreeWidget(this)),
      cmdOK(new QPushButton(this)),
      cmdCancel(new QPushButton(this)),
      m_imageList1{QIcon(QStringLiteral(":/valuelist/code.svg")), QIcon(QStringLiteral(":/valuelist/row.svg"))}
{
    setObjectName(QStringLiteral("frmList"));
    setWindowIcon(QIcon(QStringLiteral(":/valuelist/frmList.svg")));
    // The texts of the design; the string table's replace them at every load.
    setWindowTitle(QStringLiteral("Λίστα Τιμών"));
    cmdOK->setText(QStringLiteral("OK"));
    cmdCancel->setText(QStringLiteral("Άκυρο"));

    const TwipsScale scale(this);
    setFixedSize(scale.pixels(ClientWidth), scale.pixels(ClientHeight));

    lstValueList->setObjectName(QStringLiteral("lstValueList"));
    lstValueList->setGeometry(scale.pixels(ListGeometry));
    lstValueList->setColumnCount(2);
    lstValueList->setHeaderLabels({QStringLiteral("Κωδ"), QStringLiteral("Περιγραφή")});
    lstValueList->setColumnWidth(0, scale.pixels(CodeColumnWidth));
    lstValueList->setColumnWidth(1, scale.pixels(DescriptionColumnWidth));
    lstValueList->header()->setStretchLastSection(false);
    lstValueList->setRootIsDecorated(false);
    lstValueList->setItemsExpandable(false);
    lstValueList->setUniformRowHeights(true);
    lstValueList->setAllColumnsShowFocus(true);
    lstValueList->setSelectionMode(QAbstractItemView::SingleSelection);
    lstValueList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstValueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstValueList->setIconSize(QSize(16, 16));
    lstValueList->viewport()->installEventFilter(this);

    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(scale.pixels(OkGeometry));
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(scale.pixels(CancelGeometry));

    setTabOrder(lstValueList, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmList::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmList::cmdCancel_Click);
}

frmList::~frmList() = default;

int frmList::WindowOpen(std::shared_ptr<Recordset> rsList, const QString &ListField, const QString &ListText,
                        qint32 &SelectedValue, QWidget *theOwner)
{
    QWidget *const keeper = parentWidget();
    // Whatever happens, the window ends closed and empty, and goes back to
    // whoever keeps it, so that an owner that is destroyed later does not
    // take the shared dialog with it.
    const auto unload = qScopeGuard([&] {
        unloadWindow();
        setParent(keeper, windowFlags());
    });

    Form_Load();
    if (rsList && rsList->RecordCount() > 0)
        fillRows(*rsList, ListField, ListText);

    setParent(theOwner, windowFlags());
    exec();

    if (m_dialogResult == Accepted && !lstValueList->selectedItems().isEmpty())
        SelectedValue = selectedCode();
    return m_dialogResult;
}

void frmList::fillRows(Recordset &rsList, const QString &ListField, const QString &ListText)
{
    rsList.setSort(ListField + QStringLiteral(" ASC"));
    rsList.MoveFirst();
    while (!rsList.Eof()) {
        QTreeWidgetItem *row = addRow(rsList.Fields(ListField));
        const QVariant description = rsList.Fields(ListText);
        if (!description.isNull())
            row->setText(1, valueToText(description));
        rsList.MoveNext();
    }
}

QTreeWidgetItem *frmList::addRow(const QVariant &code)
{
    auto *row = new QTreeWidgetItem(lstValueList);
    row->setText(0, valueToText(code));
    row->setIcon(0, m_imageList1.value(RowImage));
    // The code is kept as it came, not as it is shown: it is converted only
    // when the user picks it.
    row->setData(0, CodeRole, code);
    return row;
}

qint32 frmList::selectedCode() const
{
    return codeToLong(lstValueList->selectedItems().constFirst()->data(0, CodeRole));
}

void frmList::Form_Load()
{
    skipOnError([&] { setWindowTitle(GetMlString(1, QString())); });
    skipOnError([&] { cmdCancel->setText(GetMlString(5, QString())); });
    skipOnError([&] { cmdOK->setText(GetMlString(4, QString())); });
    skipOnError([&] { lstValueList->headerItem()->setText(0, GetMlString(2, QString())); });
    skipOnError([&] { lstValueList->headerItem()->setText(1, GetMlString(3, QString())); });
    skipOnError([&] { ApplyFormFont(this, QStringLiteral("Tahoma"), 8, 161); });
}

void frmList::cmdOK_Click()
{
    m_dialogResult = Accepted;
    hide();
}

void frmList::cmdCancel_Click()
{
    m_dialogResult = Rejected;
    hide();
}

void frmList::lstValueList_DblClick()
{
    m_dialogResult = Accepted;
    hide();
}

void frmList::Form_QueryUnload()
{
    m_dialogResult = Rejected;
    hide();
}

void frmList::unloadWindow()
{
    hide();
    lstValueList->clear();
    // The next opening starts as a fresh window does, on the first control of
    // the tab order, not on the button that closed this one.
    lstValueList->setFocus();
}

void frmList::reject()
{
    cmdCancel_Click();
}

void frmList::closeEvent(QCloseEvent *event)
{
    // The close box (or the window manager's close) cancels; the window is
    // only hidden, so the close itself is never refused.
    Form_QueryUnload();
    event->accept();
}

bool frmList::eventFilter(QObject *watched, QEvent *event)
{
    // Anywhere on the list, not only on a row: the double-click confirms
    // whatever row is selected at that moment.
    if (watched == lstValueList->viewport() && event->type() == QEvent::MouseButtonDblClick)
        lstValueList_DblClick();
    return QDialog::eventFilter(watched, event);
}

} // namespace nvtarnix
