#pragma once

#include <QMessageBox>
#include <QString>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include "CallSite.h"

// Working a modal window from a test. A modal window blocks the call that
// opens it (Edit, WindowOpen, exec) in an event loop of its own, so the
// test states what it will do there before making that call:
//
//     const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *editor) {
//         testsupport::press(editor, "cmdOK");
//     });
//     builder.Edit();
//
// Every wait is bounded. When the window does not come within windowTimeout(),
// the test fails with a message naming the window, and whatever modal window
// stands in its way is closed so that the blocked call returns. The same
// happens when the scripted action itself hangs in a window nobody answers.
// An action that fails a check, or ends without closing its window, has the
// window closed for it: the test fails instead of hanging. A visit that
// ends, with its scope, before its window came fails the test too.

namespace testsupport {

// The bound on every wait: 20 s, unless the helpers' own test shortens it.
std::chrono::milliseconds windowTimeout();

class ScopedWindowTimeout
{
public:
    explicit ScopedWindowTimeout(std::chrono::milliseconds timeout);
    ~ScopedWindowTimeout();
    ScopedWindowTimeout(const ScopedWindowTimeout &) = delete;
    ScopedWindowTimeout &operator=(const ScopedWindowTimeout &) = delete;

private:
    std::chrono::milliseconds m_saved;
};

using WindowAction = std::function<void(QWidget *)>;
using WindowMatch = std::function<bool(QWidget *)>;

class WindowVisit
{
public:
    enum class Kind { Required, Optional };

    // awaited names the window in failure messages.
    WindowVisit(QString awaited, WindowMatch match, WindowAction action, Kind kind = Kind::Required,
                testsupport::CallSite where = testsupport::CallSite::current());
    WindowVisit(WindowVisit &&) noexcept;
    WindowVisit &operator=(WindowVisit &&) = delete;
    ~WindowVisit();

    bool came() const;
    // The action returned with its window still open (and it was closed for it).
    bool leftOpen() const;

    class State;

private:
    std::unique_ptr<State> m_state;
};

// The modal window whose objectName is `objectName`.
[[nodiscard]] WindowVisit whenShown(const QString &objectName, WindowAction action,
                                    testsupport::CallSite where = testsupport::CallSite::current());
// A visit that may not happen: a window that should not come is caught and
// closed by `action` if it does, and the test decides what that means.
[[nodiscard]] WindowVisit ifShown(QString awaited, WindowMatch match, WindowAction action,
                                  testsupport::CallSite where = testsupport::CallSite::current());

// What a message box showed before it was answered.
struct SeenMessage
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with `button` and keeps what it showed in `seen`,
// which must outlive the visit.
[[nodiscard]] WindowVisit answerMessageBox(SeenMessage &seen, QMessageBox::StandardButton button = QMessageBox::Ok,
                                           testsupport::CallSite where = testsupport::CallSite::current());

// The child of `window` named `name`, or null.
template<typename T>
T *child(const QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

// Clicks the button `name` of `window`; fails the test when there is none.
void press(QWidget *window, const char *name);

// Closes a window as its close box does; one that refuses is rejected, or hidden.
void closeWindow(QWidget *window);

} // namespace testsupport
