#include "MatchesModel.h"

#include "DemoTexts.h"

#include <QApplication>
#include <QBrush>
#include <QDateTime>
#include <QStyle>

namespace tarnixdemo {

namespace {

const QString DateFormat = QStringLiteral("dd/MM/yyyy");

QString valueText(const QVariant &value, int language)
{
    const QLocale locale = demoLocale(language);
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {}; // Empty
    case QMetaType::Nullptr:
        return QStringLiteral("Null");
    case QMetaType::Bool:
        return demoText(value.toBool() ? DemoText::ValueTrue : DemoText::ValueFalse, language);
    case QMetaType::Int:
        return locale.toString(value.toInt());
    case QMetaType::Float:
    case QMetaType::Double:
        // As many digits as a Double holds, without the noise of its last bits.
        return locale.toString(value.toDouble(), 'g', 15);
    case QMetaType::QDateTime: {
        const QDateTime at = value.toDateTime();
        return at.time() == QTime(0, 0) ? locale.toString(at.date(), DateFormat)
                                        : locale.toString(at, DateFormat + QStringLiteral(" HH:mm:ss"));
    }
    case QMetaType::QVariantList: {
        QStringList items;
        for (const QVariant &item : value.toList())
            items.append(valueText(item, language));
        return QLatin1Char('(') + items.join(QStringLiteral("; ")) + QLatin1Char(')');
    }
    default:
        return value.toString();
    }
}

} // namespace

QString resultText(const OrderResult &result, int language)
{
    if (result.error)
        return errorText(*result.error, language);
    return valueText(result.value, language);
}

MatchesModel::MatchesModel(QObject *parent) : QAbstractTableModel(parent) {}

void MatchesModel::show(const QList<OrderSummary> &orders, const RuleOutcome &outcome)
{
    beginResetModel();
    m_orders = orders;
    m_outcome = outcome;
    endResetModel();
}

void MatchesModel::clear()
{
    show({}, {});
}

void MatchesModel::setLanguage(int language, const QHash<int, QString> &countries,
                               const QHash<int, QString> &statuses)
{
    beginResetModel();
    m_language = language;
    m_countries = countries;
    m_statuses = statuses;
    endResetModel();
}

bool MatchesModel::showsResults() const
{
    return m_outcome.kind == RuleOutcome::Kind::Value || m_outcome.failed > 0;
}

int MatchesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_outcome.shown.size());
}

int MatchesModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return showsResults() ? Result + 1 : Result;
}

QVariant MatchesModel::display(const OrderSummary &order, const OrderResult &result, int column) const
{
    const QLocale locale = demoLocale(m_language);
    switch (column) {
    case Number: return QString::number(order.number);
    case Customer: return order.customer;
    case Country: return m_countries.value(order.country, QString::number(order.country));
    case Amount: return locale.toCurrencyString(order.amount, QStringLiteral("€"), 2);
    case Status: return m_statuses.value(order.status, QString::number(order.status));
    case Date: return locale.toString(order.date, DateFormat);
    case Result: return resultText(result, m_language);
    }
    return {};
}

QVariant MatchesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_outcome.shown.size())
        return {};
    const OrderResult &result = m_outcome.shown[index.row()];
    if (result.order < 0 || result.order >= m_orders.size())
        return {};
    const OrderSummary &order = m_orders[result.order];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return display(order, result, column);
    case Qt::ToolTipRole:
        return column == Result ? display(order, result, column) : QVariant();
    case Qt::TextAlignmentRole:
        if (column == Number || column == Amount)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::DecorationRole:
        if (column == Result && result.error)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    case SortRole:
        switch (column) {
        case Number: return order.number;
        case Customer: return order.customer;
        case Country: return display(order, result, column);
        case Amount: return order.amount;
        case Status: return order.status;
        case Date: return order.date;
        case Result: return result.error ? display(order, result, column) : result.value;
        }
        return {};
    }
    return {};
}

QVariant MatchesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static constexpr DemoText Headers[] = {DemoText::ColumnOrderNumber, DemoText::ColumnCustomer,
                                           DemoText::ColumnCountry,     DemoText::ColumnAmount,
                                           DemoText::ColumnStatus,      DemoText::ColumnDate,
                                           DemoText::ColumnResult};
    if (section < 0 || section > Result)
        return {};
    return demoText(Headers[section], m_language);
}

} // namespace tarnixdemo
