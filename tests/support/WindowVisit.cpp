#include "WindowVisit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

namespace testsupport {

namespace {

// How often a waiting visit looks for its window.
constexpr std::chrono::milliseconds PollInterval{5};
// How often a running action is checked for hanging.
constexpr std::chrono::milliseconds WatchInterval{100};

std::chrono::milliseconds g_windowTimeout{20000};

QString seconds(std::chrono::milliseconds duration)
{
    return QString::number(duration.count() / 1000.0);
}

QString describe(const QWidget *window)
{
    QString text = QString::fromLatin1(window->metaObject()->className());
    if (!window->objectName().isEmpty())
        text += QStringLiteral(" \"%1\"").arg(window->objectName());
    if (!window->windowTitle().isEmpty())
        text += QStringLiteral(" titled \"%1\"").arg(window->windowTitle());
    if (const auto *box = qobject_cast<const QMessageBox *>(window))
        text += QStringLiteral(" saying \"%1\"").arg(box->text());
    return text;
}

QString openModalWindow()
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal ? QStringLiteral("; open instead: %1").arg(describe(modal)) : QString();
}

} // namespace

class WindowVisit::State
{
public:
    State(QString awaited, WindowMatch match, WindowAction action, Kind kind, testsupport::CallSite where)
        : m_awaited(std::move(awaited)), m_match(std::move(match)), m_action(std::move(action)), m_kind(kind),
          m_where(where)
    {
        m_clock.start();
        m_poll.setInterval(PollInterval);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start();
        m_watch.setInterval(WatchInterval);
        QObject::connect(&m_watch, &QTimer::timeout, [this] { watchAction(); });
    }

    void end()
    {
        m_poll.stop();
        m_watch.stop();
        if (m_phase == Phase::Waiting && m_kind == Kind::Required)
            fail(QStringLiteral("%1 was never shown").arg(m_awaited));
    }

    bool came() const { return m_came; }
    bool leftOpen() const { return m_leftOpen; }

private:
    enum class Phase { Waiting, Acting, Done, Abandoned };

    void fail(const QString &message) const
    {
        QTest::qFail(qPrintable(message), m_where.file_name(), int(m_where.line()));
    }

    bool timedOut() const { return m_clock.elapsed() > windowTimeout().count(); }

    void poll()
    {
        QWidget *window = QApplication::activeModalWidget();
        if (m_phase == Phase::Abandoned) {
            if (window)
                closeWindow(window);
            return;
        }
        if (window && window->isVisible() && m_match(window)) {
            act(window);
            return;
        }
        if (!timedOut())
            return;
        if (m_kind == Kind::Optional && !window) {
            m_poll.stop();
            return;
        }
        // Nothing more will come: free the call that blocks so the test ends.
        fail(QStringLiteral("%1 was not shown within %2 s%3").arg(m_awaited, seconds(windowTimeout()), openModalWindow()));
        m_phase = Phase::Abandoned;
    }

    void act(QWidget *window)
    {
        m_poll.stop();
        m_phase = Phase::Acting;
        m_came = true;
        m_clock.restart();
        m_watch.start();
        const QPointer<QWidget> visited(window);
        m_action(window);
        m_watch.stop();
        m_phase = Phase::Done;
        if (visited && visited->isVisible()) {
            m_leftOpen = true;
            if (!QTest::currentTestFailed())
                fail(QStringLiteral("the scripted action left %1 open").arg(m_awaited));
            closeWindow(visited);
        }
    }

    // The action runs inside its window's event loop; should it block in a
    // window nobody answers, this closes the topmost one until it returns.
    void watchAction()
    {
        if (!timedOut())
            return;
        if (!m_actionHung) {
            m_actionHung = true;
            fail(QStringLiteral("the scripted action on %1 did not end within %2 s%3")
                     .arg(m_awaited, seconds(windowTimeout()), openModalWindow()));
        }
        if (QWidget *window = QApplication::activeModalWidget())
            closeWindow(window);
    }

    const QString m_awaited;
    const WindowMatch m_match;
    const WindowAction m_action;
    const Kind m_kind;
    const testsupport::CallSite m_where;
    Phase m_phase = Phase::Waiting;
    bool m_came = false;
    bool m_leftOpen = false;
    bool m_actionHung = false;
    QElapsedTimer m_clock;
    QTimer m_poll;
    QTimer m_watch;
};

std::chrono::milliseconds windowTimeout()
{
    return g_windowTimeout;
}

ScopedWindowTimeout::ScopedWindowTimeout(std::chrono::milliseconds timeout) : m_saved(g_windowTimeout)
{
    g_windowTimeout = timeout;
}

ScopedWindowTimeout::~ScopedWindowTimeout()
{
    g_windowTimeout = m_saved;
}

WindowVisit::WindowVisit(QString awaited, WindowMatch match, WindowAction action, Kind kind,
                         testsupport::CallSite where)
    : m_state(std::make_unique<State>(std::move(awaited), std::move(match), std::move(action), kind, where))
{
}

WindowVisit::WindowVisit(WindowVisit &&) noexcept = default;

WindowVisit::~WindowVisit()
{
    if (m_state)
        m_state->end();
}

bool WindowVisit::came() const
{
    return m_state->came();
}

bool WindowVisit::leftOpen() const
{
    return m_state->leftOpen();
}

WindowVisit whenShown(const QString &objectName, WindowAction action, testsupport::CallSite where)
{
    return WindowVisit(
        objectName, [objectName](QWidget *w) { return w->objectName() == objectName; }, std::move(action),
        WindowVisit::Kind::Required, where);
}

WindowVisit ifShown(QString awaited, WindowMatch match, WindowAction action, testsupport::CallSite where)
{
    return WindowVisit(std::move(awaited), std::move(match), std::move(action), WindowVisit::Kind::Optional,
                       where);
}

WindowVisit answerMessageBox(SeenMessage &seen, QMessageBox::StandardButton button, testsupport::CallSite where)
{
    return WindowVisit(
        QStringLiteral("a message box"), [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
        [&seen, button](QWidget *w) {
            auto *box = static_cast<QMessageBox *>(w);
            seen = {box->windowTitle(), box->text(), box->icon()};
            QAbstractButton *answer = box->button(button);
            QVERIFY2(answer, "the message box has no such button");
            QTest::mouseClick(answer, Qt::LeftButton);
        },
        WindowVisit::Kind::Required, where);
}

void press(QWidget *window, const char *name)
{
    auto *button = child<QAbstractButton>(window, name);
    QVERIFY2(button, qPrintable(QStringLiteral("%1 has no button %2").arg(describe(window), QLatin1String(name))));
    QTest::mouseClick(button, Qt::LeftButton);
}

void closeWindow(QWidget *window)
{
    window->close();
    if (!window->isVisible())
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window))
        dialog->reject();
    window->hide();
}

} // namespace testsupport
