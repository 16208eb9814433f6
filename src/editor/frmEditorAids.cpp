// The editor window's editing aids: the filter over the trees, the problem
// marks, the completion list, what follows the caret and the live preview.
// Each is an object of its own; the window makes them with its controls,
// shares one session between them and drops them before the controls.

#include "editor/frmEditor.h"

#include "editor/AccessibleNames.h"
#include "editor/AnnouncementAid.h"
#include "editor/CaretAids.h"
#include "editor/CompletionAid.h"
#include "editor/EditorSession.h"
#include "editor/EditorTrees.h"
#include "editor/GuidedEditingAid.h"
#include "editor/PreviewAid.h"
#include "editor/PreviewRunner.h"
#include "editor/ProblemMarksAid.h"
#include "editor/RowCountAid.h"
#include "editor/TreeFilterAid.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace nvtarnix {

namespace {

// The text is compiled a moment after the last key, so that typing never
// waits for it.
constexpr int kTypingPauseMs = 250;

} // namespace

void frmEditor::createAidControls()
{
    m_session = std::make_unique<editor::EditorSession>(
        m_owner, m_showHelpLine, [this] { return editor::variablesOfView(m_view.get()); }, tvVariables,
        tvFunctions);
    m_session->setHandlerRunner([this](const std::function<void()> &work) { runHandler(work); });

    m_filterAid = new editor::TreeFilterAid(this, tvVariables, tvFunctions, *m_session);
    txtFilter = m_filterAid->box();
    setTabOrder(txtFilter, tvVariables);

    m_problemMarks = new editor::ProblemMarksAid(txtScript, *m_session, CurrentLanguage());
    m_problemMarks->setGuided(m_guidedEditing);
    m_completion = new editor::CompletionAid(this, txtScript, *m_session);
    lstCompletion = m_completion->list();
    m_caretAids = new editor::CaretAids(this, txtScript, lbInfo, *m_session);
    m_caretAids->setKeptAbove(lstCompletion);
    lblArgumentHint = m_caretAids->hint();
    connect(m_problemMarks, &editor::ProblemMarksAid::marksChanged, this, [this] { showScriptMarks(); });
    connect(m_caretAids, &editor::CaretAids::marksChanged, this, [this] { showScriptMarks(); });

    if (m_guidedEditing) {
        m_guided = new editor::GuidedEditingAid(this, txtScript);
        // The value list also follows the caret: at a variable that has one,
        // the button offers it.
        connect(txtScript, &QPlainTextEdit::cursorPositionChanged, m_guided, [this] {
            skipOnError([&] {
                if (m_session && !m_guided->valueListVariableAtCaret(m_session->variables()).isEmpty())
                    cmdValueList->setEnabled(true);
            });
        });
    }

    m_preview = new editor::PreviewAid(picbottom, mEditVariables, tvVariables, *m_session);
    lblPreview = m_preview->line();
    mSampleValue = m_preview->sampleValueAction();
    if (m_owner && !m_owner->rowSource().isNull()) {
        m_rowCount = new editor::RowCountAid(picbottom, *m_owner, *m_session);
        // Its button sits at the end of the count line under the script, so
        // Tab comes to it from the script, and goes on to OK.
        setTabOrder(txtScript, m_rowCount->rowsButton());
        setTabOrder(m_rowCount->rowsButton(), cmdOK);
    }

    m_announcements = new editor::AnnouncementAid(this, txtScript, m_problemMarks);
    connect(m_caretAids, &editor::CaretAids::helpLineShown, m_announcements,
            &editor::AnnouncementAid::helpLineShown);
    connect(m_completion, &editor::CompletionAid::inserted, m_announcements, &editor::AnnouncementAid::inserted);
    connect(m_preview->runner(), &editor::PreviewRunner::ready, m_announcements,
            [announcements = m_announcements](const editor::PreviewResult &result) {
                announcements->previewShown(result.text);
            });

    m_pauseTimer = new QTimer(txtScript);
    m_pauseTimer->setObjectName(QStringLiteral("problemTimer"));
    m_pauseTimer->setSingleShot(true);
    m_pauseTimer->setInterval(kTypingPauseMs);
    connect(m_pauseTimer, &QTimer::timeout, this, [this] { skipOnError([this] { txtScript_Pause(); }); });
}

void frmEditor::unloadAidControls()
{
    // The aids go first, while the controls they work on are still whole.
    delete m_filterAid;
    delete m_problemMarks;
    delete m_completion;
    delete m_caretAids;
    delete m_preview;
    delete m_announcements;
    m_announcements = nullptr;
    delete m_guided;
    m_guided = nullptr;
    delete m_rowCount;
    m_rowCount = nullptr;
    m_filterAid = nullptr;
    m_problemMarks = nullptr;
    m_completion = nullptr;
    m_caretAids = nullptr;
    m_preview = nullptr;
    m_pauseTimer = nullptr;
    m_session.reset();
    txtFilter = nullptr;
    lstCompletion = nullptr;
    lblArgumentHint = nullptr;
    lblPreview = nullptr;
    mSampleValue = nullptr;
}

void frmEditor::placeAidControls()
{
    if (m_filterAid)
        m_filterAid->place();
    // The count goes under the preview, at the bottom of the script's area.
    if (m_rowCount)
        m_rowCount->place(txtScript);
    if (m_preview)
        m_preview->place(txtScript);
}

void frmEditor::nameControls()
{
    editor::nameEditorControls(txtScript, txtFilter, lstCompletion, lblArgumentHint, lblPreview);
    editor::nameTree(tvVariables, lbVariables ? lbVariables->text() : QString());
    editor::nameTree(tvFunctions, lbMethods ? lbMethods->text() : QString());
}

void frmEditor::txtScript_Pause()
{
    if (!txtScript)
        return;
    const editor::CompiledScript script = editor::compileScript(txtScript->toPlainText(), CurrentLanguage());
    skipOnError([&] { m_problemMarks->mark(script); });
    skipOnError([&] { m_preview->start(script); });
    if (m_rowCount)
        skipOnError([&] { m_rowCount->start(script.displayText); });
}

void frmEditor::showScriptMarks()
{
    if (txtScript && m_problemMarks && m_caretAids)
        txtScript->setExtraSelections(m_problemMarks->selections() + m_caretAids->selections());
}

} // namespace nvtarnix
