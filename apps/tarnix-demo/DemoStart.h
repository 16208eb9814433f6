#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace tarnixdemo {

// What the demo and its tour share as they start: the application's names,
// under which the demo keeps its settings and finds its data folder, and the
// --language option with its check.
void nameApplication();
QCommandLineOption languageOption();

// The language --language names, 0 when it is not given; nothing, after a
// message on standard error under `program`'s name, when it names neither
// Greek nor English.
std::optional<int> chosenLanguage(const QCommandLineParser &parser, const QCommandLineOption &option,
                                  const char *program);

} // namespace tarnixdemo
