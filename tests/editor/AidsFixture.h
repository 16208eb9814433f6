#pragma once

#include <nvtarnix/TarnixObject.h>

#include <QTest>
#include <QWidget>

#include <memory>

// Types text into a widget key by key, letters outside ASCII included.
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The builder the editing-aid tests open the editor on: Greek and English
// captions, accents, a group, help texts and sample data.
inline std::unique_ptr<nvtarnix::TarnixObject> makeAidsBuilder()
{
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    builder->AddVariable("CUST_NAME", "Name", "0", "50", "3", "0", {}, {}, {}, "Customer", {},
                         "The customer's registered name");
    builder->AddVariable("CUST_CITY", "City", "10", "30", "3", "0", {}, {}, {}, "Customer");
    builder->AddVariable("PEL_NAME", "Όνομα", "0", "30", "3", "0", {}, {}, {}, "Πελάτης");
    builder->AddVariable("TOTAL", "Total", "5", "8", "3", "0", {}, {}, {}, {}, "2.5");
    builder->AddVariable("ORD_DATE", "Date", "4", "8", "3", "0", {}, {}, {}, "Order");
    builder->LoadDefaultFunctions();
    return builder;
}
