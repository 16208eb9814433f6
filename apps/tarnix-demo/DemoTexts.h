#pragma once

#include <QString>

namespace tarnixdemo {

inline constexpr int Greek = 1032;
inline constexpr int English = 1033;

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
};

QString demoText(DemoText id, int language);

} // namespace tarnixdemo
