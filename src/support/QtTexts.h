#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class QTranslator;

namespace nvtarnix {

// Qt's own texts in the user-interface language (a Windows language id,
// 1032 Greek) for as long as it lives: the context menus of the script box
// and of the help line, the scroll bars' menus and the standard buttons of
// message boxes. A window of the component keeps one while it is open, so
// its Qt texts follow the language of each opening and the host's
// application is left as it was once the window closes.
//
// Qt's source texts are English, so English needs nothing. Greek comes from
// the component's own translation of the texts its windows show, which wins
// over a Greek translation of Qt's where the system has one.
class QtTexts
{
public:
    explicit QtTexts(int language);
    ~QtTexts();

    // True when a translation is in effect.
    bool isActive() const { return !m_installed.empty(); }

private:
    Q_DISABLE_COPY_MOVE(QtTexts)
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};

} // namespace nvtarnix
