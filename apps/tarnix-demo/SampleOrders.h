#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace tarnixdemo {

// The customers and orders a new demo database is filled with, so that the
// rules have something to select. They come from a fixed seed and integer
// arithmetic only, so every machine makes the same rows and every user sees
// the same counts.

struct SampleCustomer
{
    int id;          // CUST_ID
    QString name;    // CUST_NAME
    QString city;    // CUST_CITY
    int country;     // CUST_COUNTRY, a code of the countries value list
    QDate since;     // CUST_SINCE
};

struct SampleOrder
{
    int number;      // ORD_NO
    int customer;    // CUST_ID
    QDate date;      // ORD_DATE
    qint64 cents;    // ORD_AMOUNT in euro cents
    int status;      // ORD_STATUS, a code of the order_statuses value list
    QString notes;   // ORD_NOTES; a null string for none (NULL in the table)
};

inline constexpr int SampleCustomerCount = 320;
inline constexpr int SampleOrderCount = 2400;

// The day the sample was taken: no order is later, and rules read it as
// [TODAY], so that "Late delivery" selects the same orders on any day.
QDate sampleToday();

QList<SampleCustomer> sampleCustomers();
// In order of ORD_NO, which follows the order date.
QList<SampleOrder> sampleOrders(const QList<SampleCustomer> &customers);

} // namespace tarnixdemo
