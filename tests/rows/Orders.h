#pragma once

#include <QString>
#include <QStringList>

// 600 orders: amounts, countries, a quantity that is 0 on some rows and
// text on others (a table without STRICT), a note that is Null on some.
inline QStringList orderStatements(int rows)
{
    QStringList statements{
        QStringLiteral("CREATE TABLE orders (id INTEGER, amount REAL, country TEXT, qty, note TEXT)"),
        QStringLiteral("BEGIN")};
    const QStringList countries{QStringLiteral("GR"), QStringLiteral("CY"), QStringLiteral("DE"),
                                QStringLiteral("Ελλάδα")};
    for (int i = 1; i <= rows; ++i) {
        const QString qty = i % 37 == 0 ? QStringLiteral("'some'") : QString::number(i % 11);
        const QString note = i % 5 == 0 ? QStringLiteral("NULL") : QStringLiteral("'note %1'").arg(i % 13);
        statements.append(QStringLiteral("INSERT INTO orders VALUES (%1, %2, '%3', %4, %5)")
                              .arg(i)
                              .arg((i * 7919) % 1000 / 4.0)
                              .arg(countries[i % countries.size()], qty, note));
    }
    statements.append(QStringLiteral("COMMIT"));
    return statements;
}
