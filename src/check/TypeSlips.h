#pragma once

#include "schema/ViewVariable.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A date or number variable compared with a text literal: VBScript then
// compares as text or converts by the locale, so "[Order.Date] >
// \"01/01/2025\"" selects nearly every row, silently. The check as it always
// was lets it pass; with guided editing Check warns of each, with the
// likely fix.

namespace nvtarnix::check {

// One sentence per comparison of a date or number variable with a string
// literal, in the user-interface language, in text order.
QStringList typeSlipWarnings(const QString &displayText, const QVector<ViewVariable> &variables);

} // namespace nvtarnix::check
