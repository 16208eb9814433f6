#include "RulePlace.h"

#include "DemoTexts.h"
#include "RuleEvaluation.h"

namespace tarnixdemo {

namespace {

bool runs(const RuleOutcome &outcome)
{
    return outcome.kind == RuleOutcome::Kind::Condition || outcome.kind == RuleOutcome::Kind::Value;
}

} // namespace

QString placeText(const RuleOutcome &outcome, int language)
{
    if (!runs(outcome))
        return {};
    switch (outcome.place) {
    case RuleOutcome::Place::Database:
        return demoText(DemoText::RunsInDatabase, language);
    case RuleOutcome::Place::DatabaseRechecked:
        return demoText(DemoText::RunsRechecked, language).arg(demoLocale(language).toString(outcome.rechecked));
    case RuleOutcome::Place::Engine:
        break;
    }
    return demoText(DemoText::RunsInEngine, language);
}

QString placeToolTip(const RuleOutcome &outcome, int language, const ShownForm &shown)
{
    if (!runs(outcome))
        return {};
    const auto show = [&shown](const QString &text) { return shown ? shown(text) : text; };
    const QLocale locale = demoLocale(language);
    QStringList lines;
    switch (outcome.place) {
    case RuleOutcome::Place::Database:
        lines << demoText(DemoText::TipInDatabase, language).arg(locale.toString(outcome.fetched));
        break;
    case RuleOutcome::Place::DatabaseRechecked:
        lines << demoText(DemoText::TipRechecked, language)
                     .arg(locale.toString(outcome.fetched), locale.toString(outcome.rechecked));
        break;
    case RuleOutcome::Place::Engine:
        lines << demoText(DemoText::TipInEngine, language);
        break;
    }
    if (!outcome.placeNotes.isEmpty()) {
        // The translation's own account, in its words: the parts of the rule
        // it names are the user's.
        lines << demoText(DemoText::TipWhy, language);
        for (const nvtarnix::pushdown::Note &note : outcome.placeNotes)
            lines << QStringLiteral("\u2022 ")
                    + (note.part.isEmpty() ? note.reason
                                           : QStringLiteral("%1 (%2:%3): %4")
                                                 .arg(show(note.part))
                                                 .arg(note.line)
                                                 .arg(note.column)
                                                 .arg(note.reason));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tarnixdemo
