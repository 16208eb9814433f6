#pragma once

#include "SampleData.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tarnixdemo {

class MainWindow;

// The scripted tour behind `tarnix-demo-tour DIR`: opens the wizard on a
// rule, inserts a function and a variable, runs the check, picks a code from
// a value list, looks at a list of long codes and at the window in a dark
// theme, and accepts, then shows another rule with the orders it selects and
// where it runs (the database or the engine, and why, as a tooltip), and a
// name made ambiguous by a field a second host adds, with its mark and
// tooltip, taking a PNG of each step; then the wizard at 200% scale, from a
// second run of the program. It finds the fields by their captions in the
// window's language. It works the window the way a user does (clicks, keys), so
// the pictures show the real thing.
class Tour : public QObject
{
    Q_OBJECT

public:
    Tour(MainWindow &window, QString directory);

    // Runs the tour to its end; 0 when every step did what it should.
    // Prints the path of every picture as it is written.
    int run();

    // The program whose run at 200% takes the last picture (tarnix-demo-tour
    // itself, started with --wizard-picture); without one the tour ends
    // without that picture.
    void setScaledProgram(const QString &program) { m_scaledProgram = program; }
    // What that run does: opens the wizard on the tour's rule, writes a PNG
    // of it to file and cancels. 0 when the picture was written.
    int runWizardPicture(const QString &file);

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
    void showLongCodes();
    void showDarkTheme();
    void showFilter();
    void showCompletion();
    void showProblemMark();
    void showPreview();
    void showFunctionReference();
    // The count of the orders under the text, before and after the rule
    // names another country.
    void showRowCount();
    void accept();
    // The script as it was before the editing aids' steps typed into it.
    QString m_scriptBeforeAids;
    // The wizard at 200% scale, from a run of the scaled program.
    void shootScaled();
    // The wizard of a second host whose added field shares the customer's
    // city's name, with the mark and tooltip of that name.
    void shootAmbiguity();
    // A field of the database as the window's language shows it, and its
    // name in a rule's text.
    DemoField field(const QString &varID) const;
    QString displayName(const QString &varID) const;
    // The id of the rule the tour works on, selected in the window; 0 (a
    // failure) when the database has none.
    int selectTourRule();
    bool wizardOpen() const;
    // Schedules a step after a pause that lets the window paint.
    void next(void (Tour::*step)(), int pauses = 1);

    // Calls then with the top-level widget named `name` once it is visible;
    // gives up (a failure) after a while.
    void whenShown(const QString &name, std::function<void(QWidget *)> then, int triesLeft = 200);
    void shoot(const QString &name, QWidget *widget, QWidget *over = nullptr);
    // Where the next picture goes, and taking note of it once written.
    QString nextPicturePath(const QString &name);
    void recordPicture(const QString &path);
    void fail(const QString &why);
    // A step that cannot go on: fail and close the wizard.
    void giveUp(const QString &why);
    // Cancels every modal window, so that a failed tour still ends.
    void abandon();
    // Selects the rule named `rule` and takes a picture of it with the
    // orders it selects.
    void shootMatches(const QString &rule, const QString &picture);
    // The rule list with the tooltip of where `rule` runs.
    void shootWhereRuleRuns(const QString &rule, const QString &picture);

    MainWindow &m_window;
    QPointer<QWidget> m_editor;
    QString m_directory;
    QString m_scaledProgram;
    QStringList m_pictures;
    QStringList m_failures;
    int m_step = 0;
};

} // namespace tarnixdemo
