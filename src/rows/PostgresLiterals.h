#pragma once

#include <nvtarnix/PushDown.h>

#include <QList>
#include <QString>

#include <optional>

namespace nvtarnix::rows {

// The push-down's PostgreSQL text with its parameters written in as typed
// literals, for a Qt Sql connection (QPSQL), whose placeholders take neither
// the translation's numbered, typed parameters nor parameters that only one
// of its two predicates uses. The translation writes every parameter as
// $N::type and no other literal, so each $N becomes a quoted literal before
// its own cast: '42'::int8, '0.10000000000000001'::float8, E'it''s'::text.
// Numbers are written to round-trip exactly; text is an escape string, read
// the same whatever standard_conforming_strings says. Quoted identifiers
// and comments are passed over, so a column named "$1" stays a name.
//
// nullopt where the text cannot be written exactly or safely: a text
// parameter holding U+0000 (no PostgreSQL text can) or a lone surrogate, a
// placeholder without its cast or out of range, a quote the translation
// never writes. The count then leaves the rule to the engine.
std::optional<QString> withLiterals(const QString &sql, const QList<pushdown::Parameter> &parameters);

// One parameter as a quoted literal, without its cast.
std::optional<QString> literal(const pushdown::Parameter &parameter);

} // namespace nvtarnix::rows
