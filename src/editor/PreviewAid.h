#pragma once

#include "editor/ScriptProblems.h"

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTreeWidget;
class QWidget;

namespace nvtarnix::editor {

class EditorSession;
class PreviewRunner;

// The live preview: the value of the script with the variables' sample
// values, evaluated off the UI thread once the text is compiled after a
// typing pause, and the run's own sample values, given from the variable
// tree's context menu.
class PreviewAid : public QObject
{
    Q_OBJECT
public:
    // The line is created in area (under the script box), the sample-value
    // item in menu; the tree and the session outlive the aid.
    PreviewAid(QWidget *area, QMenu *menu, QTreeWidget *variableTree, EditorSession &session);

    QLabel *line() const { return m_line; }
    QAction *sampleValueAction() const { return m_sampleValue; }
    PreviewRunner *runner() const { return m_runner; }
    // Evaluates the compiled text; a newer call replaces what still runs.
    void start(const CompiledScript &script);
    // Asks for the sample value of the variable tree's selected variable and
    // shows the preview again with it.
    void askSampleValue();
    // Gives the line the bottom of the script box's area.
    void place(QPlainTextEdit *script);

private:
    QLabel *m_line;
    QAction *m_sampleValue;
    PreviewRunner *m_runner;
    QTreeWidget *m_variableTree;
    EditorSession &m_session;
    // The text last evaluated, evaluated again with a new sample value.
    CompiledScript m_last;
};

} // namespace nvtarnix::editor
