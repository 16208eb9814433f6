// The editor window's live preview: the value of the script with the
// variables' sample values, evaluated off the UI thread a moment after the
// last key, and the session's own sample values from the variable tree's
// context menu. The rules live in PreviewEvaluation; PreviewRunner runs them.

#include "editor/frmEditor.h"

#include "editor/EditingAidTexts.h"
#include "editor/EditorTreeItems.h"
#include "editor/EditorTrees.h"
#include "editor/ExpressionCheck.h"
#include "editor/PreviewRunner.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

#include <nvtarnix/Language.h>

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QWidget>

namespace nvtarnix {

namespace {

// Greek until the string service has settled a language.
int uiLanguage()
{
    return CurrentLanguage() > 0 ? CurrentLanguage() : GreekLanguage;
}

vbscript::ScriptLocale uiLocale()
{
    return vbscript::ScriptLocale::fromLcid(uiLanguage());
}

} // namespace

void frmEditor::createPreview()
{
    lblPreview = new QLabel(picbottom);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setTextFormat(Qt::PlainText);
    lblPreview->setFocusPolicy(Qt::NoFocus);
    lblPreview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblPreview->setToolTip(editor::previewToolTipText());
    // One line: a long value is cut, not wrapped over the script.
    lblPreview->setWordWrap(false);
    lblPreview->setMinimumWidth(0);
    lblPreview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_previewRunner = new editor::PreviewRunner(lblPreview);
    connect(m_previewRunner, &editor::PreviewRunner::ready, this, [this](const QString &text) {
        if (lblPreview)
            lblPreview->setText(text);
    });

    mSampleValue = mEditVariables->addAction(editor::sampleValueActionText());
    mSampleValue->setObjectName(QStringLiteral("mSampleValue"));
    connect(mEditVariables, &QMenu::aboutToShow, this, [this] {
        const QWidget *active = focusWidget();
        mSampleValue->setEnabled(active == tvVariables && !editor::nodeTag(tvVariables->currentItem()).isEmpty());
    });
    connect(mSampleValue, &QAction::triggered, this, [this] { runHandler([this] { mSampleValue_Click(); }); });
}

void frmEditor::startPreview()
{
    if (!m_previewRunner || !txtScript)
        return;
    // The variables and texts are shared, not copied: the worker binds the
    // few the expression reads.
    editor::PreviewJob job;
    job.displayText = txtScript->toPlainText();
    job.variables = viewVariables();
    job.userTexts = m_sampleTexts;
    job.locale = uiLocale();
    job.language = uiLanguage();
    job.errorFormat = editor::previewErrorFormat();
    job.timeoutMs = editor::kCheckTimeoutMs;
    m_previewRunner->request(std::move(job));
}

void frmEditor::mSampleValue_Click()
{
    const QTreeWidgetItem *node = tvVariables->currentItem();
    const QString varID = editor::nodeKey(node);
    if (editor::nodeTag(node).isEmpty())
        return;
    editor::EditorVariable variable;
    for (const editor::EditorVariable &v : viewVariables()) {
        if (v.varID == varID)
            variable = v;
    }
    QString current = m_sampleTexts.value(varID, variable.sampledata);
    if (current.isEmpty()) {
        const vbscript::Variant sample = editor::defaultSample(variable);
        current = sample.toString(uiLocale());
    }
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmSampleValue"));
    dialog.setWindowTitle(editor::sampleValueTitleText());
    dialog.setLabelText(editor::sampleValueLabelText(variable.displayName()));
    dialog.setTextValue(current);
    if (dialog.exec() != QDialog::Accepted || !txtScript)
        return;
    m_sampleTexts.insert(varID, dialog.textValue());
    startPreview();
}

} // namespace nvtarnix
