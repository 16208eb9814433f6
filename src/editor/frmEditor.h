#pragma once

#include "editor/EditorLayout.h"
#include "editor/EditorOwner.h"
#include "editor/WordList.h"

#include <QDialog>
#include <QIcon>
#include <QVector>

#include <functional>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimer;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace nvtarnix {

class View;
class Error;
class frmList;

namespace editor {
class AnnouncementAid;
class CaretAids;
class CompletionAid;
class EditorSession;
class GuidedEditingAid;
class PreviewAid;
class ProblemMarksAid;
class RowCountAid;
class ScriptHighlighter;
class TreeFilterAid;
}

// The expression editor: a modal window with the variable and function trees,
// the script text with its colouring, the check and the value-list button.
// The builder creates it once, gives it its owner before every run and calls
// WindowOpen; every run builds the controls afresh and drops them at its end.
//
// Names: what hosts and tests see keeps the names the component has always
// had. The controls are members named by their objectNames (tvVariables,
// txtScript, cmdOK, ...), the handlers are named control_Event (cmdOK_Click,
// picbottom_Resize, Form_QueryUnload), and WindowOpen keeps its arguments and
// its result, 1 accepted and 0 cancelled. Everything else is ours, in Qt
// style: bool for flags, QRgb for colours, enums for modes and QDialog's
// Accepted and Rejected for the result.
class frmEditor : public QDialog
{
    Q_OBJECT
public:
    explicit frmEditor(QWidget *parent = nullptr);
    ~frmEditor() override;

    // What runs the editor (the builder); released when the window unloads.
    void setOwner(editor::EditorOwner *owner) { m_owner = owner; }

    // Shows the window modally over vCurrentView with TextScript (database
    // form) and answers 1 when the user accepted, 0 otherwise. On 1 TextScript
    // holds the edited text in database form; otherwise it is untouched. Never
    // raises: a step that fails is skipped. A call made while the window is
    // already running (a host handler calling Edit again) answers 0 at once
    // and leaves the running window alone.
    int WindowOpen(std::shared_ptr<View> &vCurrentView, QString &TextScript);

    // The controls of the running window (null while the window is unloaded).
    QTreeWidget *tvVariables = nullptr;
    QTreeWidget *tvFunctions = nullptr;
    QPlainTextEdit *txtScript = nullptr;
    QPushButton *cmdCheck = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdValueList = nullptr;
    QLabel *lbVariables = nullptr;
    QLabel *lbMethods = nullptr;
    QWidget *picbottom = nullptr;
    QGroupBox *frInfo = nullptr;
    QLabel *lbInfo = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QMenu *mEditVariables = nullptr;
    QAction *mInsertVar = nullptr;
    QAction *mValueList = nullptr;
    QAction *mSep = nullptr;
    QAction *mInsertFunc = nullptr;
    // The editing aids.
    QLineEdit *txtFilter = nullptr;
    QListWidget *lstCompletion = nullptr;
    QLabel *lblArgumentHint = nullptr;
    QLabel *lblPreview = nullptr;
    QAction *mSampleValue = nullptr;

    // Puts text in place of the script's selection (or at the caret) and
    // leaves the caret after it; the change recolours the text.
    void replaceSelection(const QString &text);
    // The script's selected text, line breaks as CR LF.
    QString selectedScriptText() const;
    // The script's whole text, line breaks as CR LF.
    QString scriptText() const;
    void setScriptText(const QString &text);

    // The check of the current text; shows its message when the text fails.
    // Answers True when the expression was evaluated without failure.
    bool CheckExpression();

    // Shows an error that a handler must pass to the user, with its number
    // and description; the window stays usable.
    void showHandlerError(const Error &error);
    // Runs a handler's work so that no error leaves the event handler: an
    // error is shown to the user with showHandlerError.
    void runHandler(const std::function<void()> &work);

    double twipsPerPixel() const;

    // Asks the host for the value list of the variable keyed key, lets the
    // user pick a code and inserts it; an error of the exchange is raised
    // again after the value list is closed.
    void RequestValueList(const QString &key);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void createControls();
    void SetCaptions();
    void Form_Unload();
    void unloadControls();
    // Why the window is asked to unload: the user closing it (the close box
    // or the window menu) or the component's own code.
    enum class UnloadMode { UserClose, Code };
    bool Form_QueryUnload(UnloadMode mode);
    void cmdOK_Click();
    // Asks before OK stores a variable of the rule as another one; true to
    // go on.
    bool confirmNamesKept();
    void cmdCancel_Click();
    void cmdCheck_Click();

    void txtScript_Change();
    void txtScript_Click();
    void txtScript_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // The trees, their context menu and the value-list button.
    void connectTreeEvents();
    void showNodeHelp(const QTreeWidgetItem *node, editor::HelpKind kind);
    QString functionNodeToolTip(const QTreeWidgetItem *node) const;
    QString variableNodeToolTip(const QTreeWidgetItem *node) const;
    void tvFunctions_NodeClick(const QTreeWidgetItem *node);
    void tvVariables_NodeClick(const QTreeWidgetItem *node);
    void InsertVariable();
    void InsertFunction();
    void mEditVariables_Click();
    void cmdValueList_Click();
    void mValueList_Click();

    // The editing aids (frmEditorAids.cpp): each is an object of its own,
    // made with the controls and dropped before them.
    void createAidControls();
    void unloadAidControls();
    // Places the filter box over the trees and the preview under the script.
    void placeAidControls();
    // Names the controls a screen reader cannot name from a caption, and
    // the trees after theirs; runs wherever the captions are set.
    void nameControls();
    // Once typing pauses, the text is compiled once for the problem marks
    // and the preview.
    void txtScript_Pause();
    void showScriptMarks();

    void fillVariableTree();
    void registerErrorWords();
    void fillFunctionTree();

    void Form_Resize();
    void picbottom_Resize();
    void placeControls();
    // Widens a button whose caption would not fit its designed width.
    void fitCaptions();
    // The script text's font size; the rest of the window keeps its own.
    void setScriptFontSize(double points);
    // One point larger (step 1) or smaller (-1); a size the font refuses
    // leaves it as it is.
    void zoomScript(int step);

    editor::EditorOwner *m_owner = nullptr;
    std::shared_ptr<View> m_view;
    // The rule as the host handed it to this run, in database form.
    QString m_openedDatabaseText;
    bool m_showHelpLine = false;
    bool m_isLoading = false;
    bool m_loaded = false;
    bool m_running = false;
    DialogCode m_dialogResult = Rejected;
    editor::WordList m_words;
    editor::ScriptHighlighter *m_highlighter = nullptr;
    // Holds lbInfo, so that a long help line scrolls inside its frame.
    QScrollArea *m_infoScroll = nullptr;
    editor::EditorGeometry m_geometry;
    // What this run gathered once, and the aids that share it.
    std::unique_ptr<editor::EditorSession> m_session;
    editor::TreeFilterAid *m_filterAid = nullptr;
    editor::ProblemMarksAid *m_problemMarks = nullptr;
    editor::CompletionAid *m_completion = nullptr;
    editor::CaretAids *m_caretAids = nullptr;
    editor::PreviewAid *m_preview = nullptr;
    editor::AnnouncementAid *m_announcements = nullptr;
    // The host's GuidedEditing, as read when the run began, and its aid.
    bool m_guidedEditing = false;
    editor::GuidedEditingAid *m_guided = nullptr;
    // Only when the host gave rows.
    editor::RowCountAid *m_rowCount = nullptr;
    // Compiles the text a moment after the last key.
    QTimer *m_pauseTimer = nullptr;
    // The value list, created on the first request and kept for the next.
    std::shared_ptr<frmList> m_frmList;
    // Made on the first opening and kept: icons made anew on every opening
    // would each render their SVG again into Qt's pixmap cache, so memory
    // grew with every opening until that cache was full.
    QIcon m_windowIcon;
    QVector<QIcon> m_variableImages;
    QVector<QIcon> m_functionImages;
};

} // namespace nvtarnix
