#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tarnixdemo {

class MainWindow;

// The scripted tour behind `tarnix-demo --tour DIR`: opens the wizard on a
// rule, inserts a function and a variable, runs the check, picks a code from
// a value list and accepts, then shows another rule with the orders it
// selects, taking a PNG of each step. It works the window the
// way a user does (clicks, keys), so the pictures show the real thing.
class Tour : public QObject
{
    Q_OBJECT

public:
    Tour(MainWindow &window, QString directory);

    // Runs the tour to its end; 0 when every step did what it should.
    // Prints the path of every picture as it is written.
    int run();

    const QStringList &pictures() const { return m_pictures; }
    const QStringList &failures() const { return m_failures; }

private:
    // The steps inside the wizard, each scheduled by the one before; each
    // does nothing once the wizard is gone.
    void inWizard(QWidget *editor);
    void insertFunctionAndVariable();
    void runCheck();
    void pickFromValueList();
    void pickCode(QWidget *list);
    void accept();
    bool wizardOpen() const;
    // Schedules a step after a pause that lets the window paint.
    void next(void (Tour::*step)(), int pauses = 1);

    // Calls then with the top-level widget named `name` once it is visible;
    // gives up (a failure) after a while.
    void whenShown(const QString &name, std::function<void(QWidget *)> then, int triesLeft = 200);
    void shoot(const QString &name, QWidget *widget, QWidget *over = nullptr);
    void fail(const QString &why);
    // A step that cannot go on: fail and close the wizard.
    void giveUp(const QString &why);
    // Cancels every modal window, so that a failed tour still ends.
    void abandon();
    // Selects the rule named `rule` and takes a picture of it with the
    // orders it selects.
    void shootMatches(const QString &rule, const QString &picture);

    MainWindow &m_window;
    QPointer<QWidget> m_editor;
    QString m_directory;
    QStringList m_pictures;
    QStringList m_failures;
    int m_step = 0;
};

} // namespace tarnixdemo
