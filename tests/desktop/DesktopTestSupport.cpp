#include "DesktopTestSupport.h"

#include "forms/CaptionFit.h"
#include "support/MlStringService.h"

#include "WindowVisit.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace desktop {

void setLanguage(int language)
{
    nvtarnix::MlStringService().setCurrentLanguage(qint16(language));
}

bool whileModal(const std::function<void()> &open, const std::function<bool(QWidget *)> &wanted,
                const std::function<void(QWidget *)> &act)
{
    const testsupport::WindowVisit visit(QStringLiteral("a modal window"), wanted, act);
    open();
    return visit.came() && !visit.leftOpen();
}

bool whileNamed(const std::function<void()> &open, const QString &objectName,
                const std::function<void(QWidget *)> &act)
{
    const testsupport::WindowVisit visit = testsupport::whenShown(objectName, act);
    open();
    return visit.came() && !visit.leftOpen();
}

QString longDeclaration()
{
    return QStringLiteral("ShippingCost(weight as Double, destinationCountry as String, "
                          "expressDelivery as Boolean, insuranceValue as Currency) as Currency");
}

QString longFunctionHelp()
{
    return QStringLiteral("The cost of shipping an order of the given weight to a country, with or "
                          "without express delivery and insurance.");
}

std::unique_ptr<nvtarnix::TarnixObject> makeBuilder()
{
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    builder->AddVariable("CUST_NAME", "Name", "0", "50", "3", "0", {}, {}, {}, "Customer", {},
                         "Full name of the customer");
    builder->AddVariable("CUST_SINCE", "Customer since", "4", "8", "3", "0", {}, {}, {}, "Customer");
    builder->AddVariable("STATUS", "Status", "5", "8", "3", "1", "statuses", "CODE", "DESCR", "Order", {},
                         "Where the order stands");
    builder->AddVariable("ORD_SHIPPING_ADDRESS_SECOND_LINE",
                         "Second line of the shipping address as the customer wrote it", "0", "80", "3", "0",
                         {}, {}, {}, "Order");
    builder->LoadDefaultFunctions();
    builder->AddFunction("GlobalObj", "ShippingCost", "ShippingCost(weight, country, express, insurance)", longDeclaration(), longFunctionHelp(),
                         true);
    builder->setShowHelpString(true);
    builder->setListButtonVisible(true);
    return builder;
}

void answerValueLists(nvtarnix::TarnixObject &builder, const QList<QPair<QVariant, QString>> &rows)
{
    QObject::connect(
        &builder, &nvtarnix::TarnixObject::ListSourceRequest, &builder,
        [rows](QString &, QVariant &vData) {
            auto list = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"CODE", "DESCR"});
            for (const auto &row : rows)
                list->addRow({row.first, row.second});
            vData = QVariant::fromValue(std::shared_ptr<nvtarnix::Recordset>(list));
        },
        Qt::DirectConnection);
}

QTreeWidgetItem *nodeByText(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

void clickNode(QTreeWidget *tree, QTreeWidgetItem *node)
{
    // The tree lays itself out and sets its scroll range in posted events.
    QCoreApplication::processEvents();
    tree->scrollToItem(node);
    QCoreApplication::processEvents();
    tree->setFocus();
    // On the part of the node that shows: a wide node goes past the tree's edge.
    const QRect shown = tree->visualItemRect(node).intersected(tree->viewport()->rect());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, shown.center());
}

namespace {

QString clipped(const QWidget *control, const QString &text, int textWidth, int room)
{
    return QStringLiteral("%1 \"%2\": %3 px in %4 px").arg(control->objectName(), text).arg(textWidth).arg(room);
}

} // namespace

QStringList clippedCaptions(QWidget *window)
{
    QStringList found;
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        // The room is the style's, measured here apart from the width the
        // windows give a button, so that a fault in that width shows.
        const QStyleOptionButton option = nvtarnix::pushButtonOption(button);
        const int room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
        const int textWidth = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
        if (textWidth > room)
            found << clipped(button, button->text(), textWidth, room);
    }
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->wordWrap() || label->text().isEmpty())
            continue;
        // What the label's own box and its parent's edge leave of the text.
        const int room = std::min(label->contentsRect().width(),
                                  label->parentWidget()->width() - label->geometry().left());
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        if (textWidth > room)
            found << clipped(label, label->text(), textWidth, room);
    }
    for (const QTreeWidget *list : window->findChildren<QTreeWidget *>()) {
        if (list->isHeaderHidden())
            continue;
        const QHeaderView *header = list->header();
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int i = 0; i < header->count(); ++i) {
            const QString text = list->headerItem()->text(i);
            const int textWidth = header->fontMetrics().horizontalAdvance(text);
            const int room = header->sectionSize(i) - 2 * margin;
            if (textWidth > room)
                found << clipped(list, text, textWidth, room);
        }
    }
    return found;
}

} // namespace desktop
