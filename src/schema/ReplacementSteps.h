#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>
#include <vector>

namespace nvtarnix {

// The rule every rewrite of a script follows: a list of steps, run one after
// the other, each replacing every occurrence of its search text ("[" ... "]")
// left to right, without overlap and without searching its own replacements
// again, in the text the previous steps left. A later step may rewrite what
// an earlier one wrote; hosts rely on that chaining, so it is kept exactly.
// The conversions between display and database form and the check's
// substitution of samples are such lists.
//
// Running thousands of steps over the whole text would cost steps x length,
// so apply() works on the text's bracketed tokens instead: a "[", the text up
// to the next bracket, and that bracket when it is a "]". Every occurrence of
// a search text holds one token: the one from the search text's last "[" to
// the "]" after it. So each step is first looked up by that token's hash
// among the tokens the text holds now, and the many steps whose token the
// text does not hold cost a bit test. When the search text is itself a token
// (the usual variable name, no bracket inside), its occurrences are exactly
// the tokens equal to it, and when its replacement is a token too, replacing
// them leaves every other token as it was: the step only changes the value
// those tokens carry, and the text is written once at the end. A replacement
// without brackets (the check's samples) leaves them as they were too, unless
// it lets a stray "[" and "]" around it meet. Any other step that finds its
// search text rewrites the text and reads its tokens again.
class ReplacementSteps
{
public:
    virtual ~ReplacementSteps() = default;

    // The text after every step.
    QString apply(const QString &text) const;

    // What apply() looks a step up by, worked out once per list of steps.
    class Keys
    {
    public:
        void reserve(std::size_t steps);
        // The next step's search text: "[" ... "]".
        void add(QStringView search);
        // The same, given in pieces, without joining them.
        void add(std::span<const QStringView> pieces);
        std::size_t size() const { return m_tokenHash.size(); }

    private:
        friend class ReplacementSteps;
        std::vector<std::uint64_t> m_tokenHash; // the hash of the search text's last token
        std::vector<std::uint8_t> m_isToken;    // the search text is that token
    };

protected:
    virtual const Keys &keys() const = 0;
    // Whether the step's search text is text; asked only for tokens whose
    // hash matched.
    virtual bool searchIs(std::size_t step, QStringView text) const = 0;
    virtual QString search(std::size_t step) const = 0;
    virtual QString replacement(std::size_t step) const = 0;
};

} // namespace nvtarnix
