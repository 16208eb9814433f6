#pragma once

#include "schema/ReplacementSteps.h"

#include <QString>

#include <vector>

namespace nvtarnix {

// Replacement steps given as texts: "[Customer.Name]" -> "[CUST_NAME]", or a
// variable's display name -> its sample in the check. Runs by the rule of
// ReplacementSteps.
class BracketReplacer : public ReplacementSteps
{
public:
    struct Step
    {
        QString search;      // "[" ... "]"
        QString replacement;
    };

    explicit BracketReplacer(std::vector<Step> steps);

protected:
    const Keys &keys() const override { return m_keys; }
    bool searchIs(std::size_t step, QStringView text) const override { return m_steps[step].search == text; }
    QString search(std::size_t step) const override { return m_steps[step].search; }
    QString replacement(std::size_t step) const override { return m_steps[step].replacement; }

private:
    std::vector<Step> m_steps;
    Keys m_keys;
};

// Turns each run of k CR LF pairs into ceil(k / 10) blanks: runs of ten, then
// nine, ... then one pair are each replaced by one blank. A lone CR or LF
// stays.
QString RemoveLineBreaks(const QString &text);

} // namespace nvtarnix
