// The editor window's editing aids: the filter over the trees. Each handler
// stays thin; the rules live in the window-free editor modules.

#include "editor/frmEditor.h"

#include "component/TarnixObjectAccess.h"
#include "editor/EditingAidTexts.h"
#include "editor/EditorTreeItems.h"
#include "editor/SearchFolding.h"
#include "support/FailureHandling.h"

#include <nvtarnix/TarnixObject.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTreeWidget>

namespace nvtarnix {

namespace {

// Esc in the filter box empties it (the window itself has no Esc).
class FilterBoxKeys : public QObject
{
public:
    explicit FilterBoxKeys(QLineEdit *box) : QObject(box), m_box(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_box && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            m_box->clear();
            return true;
        }
        return false;
    }

private:
    QLineEdit *m_box;
};

QString searchText(const QTreeWidgetItem *node, const QString &help)
{
    return node->text(0) + QLatin1Char('\n') + editor::nodeKey(node) + QLatin1Char('\n') + editor::nodeTag(node)
         + QLatin1Char('\n') + help;
}

} // namespace

void frmEditor::createAidControls()
{
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(editor::filterPlaceholderText());
    txtFilter->setToolTip(editor::filterToolTipText());
    txtFilter->setClearButtonEnabled(true);
    new FilterBoxKeys(txtFilter);
    setTabOrder(txtFilter, tvVariables);
    connect(txtFilter, &QLineEdit::textChanged, this,
            [this](const QString &text) { runHandler([&] { txtFilter_Change(text); }); });
    auto *findShortcut = new QShortcut(QKeySequence::Find, txtFilter);
    findShortcut->setContext(Qt::WindowShortcut);
    connect(findShortcut, &QShortcut::activated, this, [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });
    createProblemMarks();
    createCompletion();
    createCaretAids();
    createPreview();
}

void frmEditor::unloadAidControls()
{
    m_variableFilter.clear();
    m_functionFilter.clear();
    txtFilter = nullptr;
    m_problemTimer = nullptr;
    m_problems.clear();
    m_knownNames.clear();
    m_suggestions = {};
    m_namesGathered = false;
    lstCompletion = nullptr;
    m_completion = {};
    m_variableMatcher = {};
    m_functionMatcher = {};
    m_variableEntries.clear();
    m_functionEntries.clear();
    m_functionInsertions.clear();
    m_completionGathered = false;
    m_keyTyped = false;
    lblArgumentHint = nullptr;
    m_parenthesisMarks.clear();
    m_functionNodes.clear();
    m_variableNodes.clear();
    m_nodesGathered = false;
    lblPreview = nullptr;
    mSampleValue = nullptr;
    m_previewRunner = nullptr;
    m_sampleTexts.clear();
    m_viewVariables.clear();
    m_viewVariablesRead = false;
}

void frmEditor::placeAidControls()
{
    if (!txtFilter || !tvVariables || !tvFunctions)
        return;
    // The filter takes the top of the trees' area, across both trees.
    const QRect variables = tvVariables->geometry();
    const QRect functions = tvFunctions->geometry();
    const int height = txtFilter->sizeHint().height();
    const int gap = 4;
    txtFilter->setGeometry(variables.left(), variables.top(), functions.right() - variables.left() + 1, height);
    const int taken = std::min(height + gap, variables.height());
    tvVariables->setGeometry(variables.adjusted(0, taken, 0, 0));
    tvFunctions->setGeometry(functions.adjusted(0, taken, 0, 0));
    // The preview takes the bottom of the script text's area.
    if (lblPreview && txtScript) {
        const QRect script = txtScript->geometry();
        const int previewHeight = std::min(lblPreview->sizeHint().height(), script.height());
        txtScript->setGeometry(script.adjusted(0, 0, 0, -previewHeight));
        lblPreview->setGeometry(script.left(), script.bottom() + 1 - previewHeight, script.width(), previewHeight);
    }
}

const QVector<editor::EditorVariable> &frmEditor::viewVariables()
{
    if (!m_viewVariablesRead) {
        m_viewVariablesRead = true;
        m_viewVariables = editor::variablesOfView(m_view.get());
    }
    return m_viewVariables;
}

QString frmEditor::variableSearchText(const QTreeWidgetItem *node) const
{
    QString help;
    if (m_owner && !editor::nodeTag(node).isEmpty()) {
        try {
            help = TarnixObjectAccess::GetVariableHelpString(*m_owner, editor::nodeKey(node));
        } catch (...) {
            logSkippedFailure();
            // A variable whose help cannot be read is found by its other texts.
        }
    }
    return searchText(node, help);
}

QString frmEditor::functionSearchText(const QTreeWidgetItem *node) const
{
    QString help;
    if (m_owner && !editor::nodeTag(node).isEmpty()) {
        try {
            help = TarnixObjectAccess::GetFunctionHelpString(*m_owner, editor::nodeKey(node));
        } catch (...) {
            logSkippedFailure();
        }
    }
    return searchText(node, help);
}

void frmEditor::txtFilter_Change(const QString &text)
{
    const QString needle = editor::foldForSearch(text.trimmed());
    m_variableFilter.apply(tvVariables, needle, [this](const QTreeWidgetItem *node) {
        return variableSearchText(node);
    });
    m_functionFilter.apply(tvFunctions, needle, [this](const QTreeWidgetItem *node) {
        return functionSearchText(node);
    });
}

} // namespace nvtarnix
