#pragma once

#include <nvtarnix/Error.h>
#include <nvtarnix/Language.h>

#include <QLocale>
#include <QString>

namespace tarnixdemo {

// The demo window's own texts. The wizard's come from the component's string
// table; these follow the same language switch.
enum class DemoText {
    WindowTitle,
    Intro,
    ColumnName,
    ColumnExpression,
    EditButton,
    LanguageLabel,
    ErrorTitle,
    ErrorMessage,   // %1 number, %2 description
    NotSaved,       // marks a rule whose accepted text is waiting to be saved
    SavedStatus,    // %1 rule name
    UnsavedStatus,  // %1 rule name
    DatabaseStatus, // %1 path
    // The orders and what the rules select from them.
    ColumnOrders,
    CountValue,          // in place of a count: the rule computes something else
    CountError,          // %1 number
    FailuresOne,         // after a count: %1 number
    FailuresMany,        // after a count: %1 number, %2 orders
    NoExpression,
    ColumnOrderNumber,
    ColumnCustomer,
    ColumnCountry,
    ColumnAmount,
    ColumnStatus,
    ColumnDate,
    ColumnResult,
    MatchesNone,         // nothing selected in the rule list
    MatchesCondition,    // %1 rule, %2 selected, %3 orders
    MatchesValue,        // %1 rule, %2 orders
    MatchesCannotRun,    // %1 rule, %2 number, %3 description
    MatchesNoExpression, // %1 rule
    OrdersNote,          // %1 orders, %2 the day they were taken, %3 the field that reads it
    OrdersInMemory,
    ValueTrue,
    ValueFalse,
    // Edits the database did not take yet.
    NotSavedDeleted,     // marks a pending rule another program deleted
    RetryButton,
    DiscardButton,
    StayButton,
    QuitQuestion,        // %1 the rules, one a line
    LastTryFailed,       // %1 number, %2 description
    RecreatedStatus,     // %1 rule name
    AllSavedStatus,
    // Where each rule runs, and why.
    ColumnRunsIn,
    RunsInDatabase,
    RunsRechecked,       // %1 orders the engine re-checks
    RunsInEngine,
    TipInDatabase,       // %1 orders fetched
    TipRechecked,        // %1 orders fetched, %2 re-checked
    TipInEngine,
    TipWhy,              // heads the translation's notes
};

QString demoText(DemoText id, int language);

// "Error 13: Type mismatch: 'CLng'" in `language`: the number, and the
// description in that language where the engine has it in both.
QString errorText(const nvtarnix::Error &error, int language);

// How numbers, amounts and dates read in the demo's language, whatever the
// machine's locale: the window speaks the user's language throughout.
QLocale demoLocale(int language);

} // namespace tarnixdemo
