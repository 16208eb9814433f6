#include "valuelist/frmList.h"

#include "support/FailureHandling.h"

#include "forms/CaptionFit.h"
#include "forms/FormFont.h"
#include "support/MlStringModule.h"
#include "support/QtTexts.h"
#include "support/SearchFolding.h"
#include "forms/WidestText.h"
#include "valuelist/CodeConversion.h"
#include "valuelist/ValueListSearch.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <optional>
#include <utility>

namespace nvtarnix {

namespace {

// The window's design, in twips.
constexpr int ClientWidth = 4515;
constexpr int ClientHeight = 4605;
constexpr QRect ListGeometry(90, 180, 4245, 3795);
constexpr QRect OkGeometry(2250, 4050, 1005, 375);
constexpr QRect CancelGeometry(3330, 4050, 1005, 375);
constexpr int CodeColumnWidth = 700;

constexpr int RowImage = 1; // image 2 of ImageList1
constexpr int CodeRole = Qt::UserRole;
// What the search box compares: the code and the description, folded.
constexpr int FoldedCodeRole = Qt::UserRole + 1;
constexpr int FoldedDescriptionRole = Qt::UserRole + 2;

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
      m_search(new QLineEdit(this)),
      m_imageList1{QIcon(QStringLiteral(":/valuelist/code.svg")), QIcon(QStringLiteral(":/valuelist/row.svg"))}
{
    setObjectName(QStringLiteral("frmList"));
    setWindowIcon(QIcon(QStringLiteral(":/valuelist/frmList.svg")));
    // The texts of the design, from the string table as every load shows them.
    const auto text = [](int id) { return GetMlStringOrDefault(id, QString()); };
    setWindowTitle(text(1));
    cmdOK->setText(text(4));
    cmdCancel->setText(text(5));

    lstValueList->setObjectName(QStringLiteral("lstValueList"));
    lstValueList->setColumnCount(2);
    lstValueList->setHeaderLabels({text(2), text(3)});
    // The description takes whatever the code leaves; codes show whole.
    lstValueList->header()->setStretchLastSection(true);
    lstValueList->setTextElideMode(Qt::ElideNone);
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
    cmdOK->setDefault(true);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setClearButtonEnabled(true);
    m_search->hide();
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &frmList::filterRows);
    layOut(0);

    setTabOrder(m_search, lstValueList);
    setTabOrder(lstValueList, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmList::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmList::cmdCancel_Click);
    // OK acts on a row the user picked: with none selected, neither the
    // button nor Enter (which presses it) does anything.
    connect(lstValueList, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmdOK->setEnabled(!lstValueList->selectedItems().isEmpty()); });
}

void frmList::layOut(int extraWidth)
{
    // The designed geometry, made wider by extraWidth pixels for rows that
    // need it; the buttons keep to the list's right edge.
    const TwipsScale scale(this);
    setFixedSize(scale.pixels(ClientWidth) + extraWidth, scale.pixels(ClientHeight));
    QRect list = scale.pixels(ListGeometry).adjusted(0, 0, extraWidth, 0);
    // The search box, when offered, takes the top of the list's place.
    if (m_searchable) {
        const int height = m_search->sizeHint().height();
        m_search->setGeometry(list.left(), list.top(), list.width(), height);
        list.setTop(list.top() + height + scale.pixels(60));
    }
    lstValueList->setGeometry(list);

    QRect ok = scale.pixels(OkGeometry);
    QRect cancel = scale.pixels(CancelGeometry);
    const int gap = cancel.left() - ok.right() - 1;
    cancel.setWidth(std::max(cancel.width(), captionFitWidth(cmdCancel)));
    cancel.moveRight(list.right());
    ok.setWidth(std::max(ok.width(), captionFitWidth(cmdOK)));
    ok.moveRight(cancel.left() - gap - 1);
    cmdOK->setGeometry(ok);
    cmdCancel->setGeometry(cancel);
}

void frmList::fitToRows()
{
    const TwipsScale scale(this);
    QHeaderView *header = lstValueList->header();
    const QFont font = lstValueList->font();
    // Beside its text a cell needs the same room in every row of a column:
    // the icon in the first, the style's margins in both.
    const auto besideText = [&](int column) {
        const QTreeWidgetItem *first = lstValueList->topLevelItem(0);
        if (!first)
            return 0;
        const QModelIndex index = lstValueList->model()->index(0, column);
        return lstValueList->sizeHintForIndex(index).width() - WidestText::textWidth(font, first->text(column));
    };
    WidestText codes(font);
    WidestText descriptions(font);
    const int rows = lstValueList->topLevelItemCount();
    for (int i = 0; i < rows; ++i) {
        const QTreeWidgetItem *row = lstValueList->topLevelItem(i);
        codes.add(row->text(0));
        descriptions.add(row->text(1));
    }
    const int codeWidth = std::max({scale.pixels(CodeColumnWidth), header->sectionSizeHint(0),
                                    rows > 0 ? codes.width() + besideText(0) : 0});
    const int descriptionWidth =
        std::max(header->sectionSizeHint(1), rows > 0 ? descriptions.width() + besideText(1) : 0);

    // The room the rows have at the designed size, less a vertical scroll
    // bar when they are more than the list shows at once.
    layOut(0);
    int room = lstValueList->width() - 2 * lstValueList->frameWidth();
    const int rowHeight = rows > 0 ? lstValueList->sizeHintForIndex(lstValueList->model()->index(0, 0)).height() : 0;
    if (rows * rowHeight > lstValueList->height() - 2 * lstValueList->frameWidth() - header->sizeHint().height())
        room -= lstValueList->verticalScrollBar()->sizeHint().width();

    // Rows that need more grow the dialog, up to the width of the screen.
    int extra = std::max(0, codeWidth + descriptionWidth - room);
    if (const QScreen *shownOn = parentWidget() ? parentWidget()->screen() : screen()) {
        const int frame = frameGeometry().width() - geometry().width();
        extra = std::min(extra, std::max(0, shownOn->availableGeometry().width() - frame - width()));
    }
    if (extra > 0)
        layOut(extra);
    header->resizeSection(0, codeWidth);
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

    // Qt's own texts of the dialog speak the language of this opening.
    std::optional<QtTexts> qtTexts;
    skipOnError([&] {
        InitLanguage(0);
        qtTexts.emplace(CurrentLanguage());
    });
    Form_Load();
    m_searchable = std::exchange(m_nextSearchable, false);
    m_search->clear();
    m_search->setVisible(m_searchable);
    if (rsList && rsList->RecordCount() > 0)
        fillRows(*rsList, ListField, ListText);

    setParent(theOwner, windowFlags());
    // Each opening starts at the designed size, or as much wider as its rows
    // need, centred on its owner, with no row chosen until the user picks one.
    skipOnError([&] { fitToRows(); });
    setAttribute(Qt::WA_Moved, false);
    lstValueList->setCurrentIndex(QModelIndex());
    cmdOK->setEnabled(false);
    const QString preselected = std::exchange(m_preselectedCode, QString());
    if (!preselected.isEmpty()) {
        if (QTreeWidgetItem *row = lstValueList->findItems(preselected, Qt::MatchExactly).value(0)) {
            lstValueList->setCurrentItem(row);
            lstValueList->scrollToItem(row);
        }
    }
    if (m_searchable)
        m_search->setFocus();
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
        row->setData(0, FoldedDescriptionRole, foldForSearch(row->text(1)));
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
    row->setData(0, FoldedCodeRole, foldForSearch(row->text(0)));
    return row;
}

void frmList::filterRows(const QString &query)
{
    const QString folded = foldForSearch(query.trimmed());
    for (int i = 0; i < lstValueList->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = lstValueList->topLevelItem(i);
        const bool shown = valueRowMatches(row->data(0, FoldedCodeRole).toString(),
                                           row->data(0, FoldedDescriptionRole).toString(), folded);
        row->setHidden(!shown);
        if (!shown && row->isSelected()) {
            row->setSelected(false);
            lstValueList->setCurrentItem(nullptr);
        }
    }
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
    // The list has no caption of its own: it is the window's value list.
    skipOnError([&] { lstValueList->setAccessibleName(GetMlString(1, QString())); });
    skipOnError([&] {
        m_search->setPlaceholderText(GetMlString(1704, QString()));
        m_search->setAccessibleName(GetMlString(1704, QString()));
    });
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
    // Anywhere on the list, like OK, and like OK only once a row is picked.
    if (lstValueList->selectedItems().isEmpty())
        return;
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
    // Down or Enter in the search box go to the first row it left in sight.
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            for (int i = 0; i < lstValueList->topLevelItemCount(); ++i) {
                QTreeWidgetItem *row = lstValueList->topLevelItem(i);
                if (!row->isHidden()) {
                    lstValueList->setCurrentItem(row);
                    lstValueList->setFocus();
                    return true;
                }
            }
            return key == Qt::Key_Down;
        }
    }
    // Anywhere on the list, not only on a row: the double-click confirms
    // whatever row is selected at that moment.
    if (watched == lstValueList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // A double-click that arrives without its first press still picks
        // the row it lands on, as the press would have.
        if (lstValueList->selectedItems().isEmpty()) {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            if (QTreeWidgetItem *row = lstValueList->itemAt(at))
                lstValueList->setCurrentItem(row);
        }
        lstValueList_DblClick();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace nvtarnix
