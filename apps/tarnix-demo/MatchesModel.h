#pragma once

#include "RuleEvaluation.h"

#include <QAbstractTableModel>
#include <QHash>

namespace tarnixdemo {

// The orders a rule selects, as a table: order number, customer, country,
// amount, status and date, in the demo's language. A rule that computes a
// value, or fails on some orders, adds a column with what it gave on each.
// Every cell also answers SortRole with its raw value, so that a sorting
// proxy orders amounts and dates as such and not as texts.
class MatchesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Number, Customer, Country, Amount, Status, Date, Result };
    static constexpr int SortRole = Qt::UserRole;

    explicit MatchesModel(QObject *parent = nullptr);

    // Shows `outcome` over `orders`; both are kept (they share their data).
    void show(const QList<OrderSummary> &orders, const RuleOutcome &outcome);
    void clear();
    // The texts of the countries and statuses value lists, by code.
    void setLanguage(int language, const QHash<int, QString> &countries,
                     const QHash<int, QString> &statuses);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    bool showsResults() const;
    QVariant display(const OrderSummary &order, const OrderResult &result, int column) const;

    QList<OrderSummary> m_orders;
    RuleOutcome m_outcome;
    int m_language = 0;
    QHash<int, QString> m_countries;
    QHash<int, QString> m_statuses;
};

// What a rule gave on one order, as the result column shows it: the value in
// the demo's language, or the error with its number.
QString resultText(const OrderResult &result, int language);

} // namespace tarnixdemo
