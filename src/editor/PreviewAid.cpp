#include "editor/PreviewAid.h"

#include "editor/AccessibleNames.h"
#include "editor/EditingAidTexts.h"
#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "check/ExpressionCheck.h"
#include "editor/PreviewRunner.h"
#include "support/MlStringModule.h"

#include <nvtarnix/Language.h>

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTreeWidget>

namespace nvtarnix::editor {

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

PreviewAid::PreviewAid(QWidget *area, QMenu *menu, QTreeWidget *variableTree, EditorSession &session)
    : QObject(area), m_line(new QLabel(area)), m_variableTree(variableTree), m_session(session)
{
    m_line->setObjectName(QStringLiteral("lblPreview"));
    m_line->setTextFormat(Qt::PlainText);
    m_line->setFocusPolicy(Qt::NoFocus);
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_line->setToolTip(aidText(AidText::PreviewToolTip));
    // One line: a long value is cut, not wrapped over the script.
    m_line->setWordWrap(false);
    m_line->setMinimumWidth(0);
    m_line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_runner = new PreviewRunner(m_line);
    connect(m_runner, &PreviewRunner::ready, m_line, [this](const PreviewResult &result) {
        m_line->setText(result.text);
        m_line->setToolTip(
            previewToolTip(aidText(AidText::PreviewToolTip), aidText(AidText::PreviewTypeFormat), result));
        m_line->setAccessibleName(labelledValue(controlName(ControlName::Preview), result.text));
    });

    m_sampleValue = menu->addAction(aidText(AidText::SampleValueAction));
    m_sampleValue->setObjectName(QStringLiteral("mSampleValue"));
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const QWidget *active = m_variableTree->window()->focusWidget();
        m_sampleValue->setEnabled(active == m_variableTree && !nodeTag(m_variableTree->currentItem()).isEmpty());
    });
    connect(m_sampleValue, &QAction::triggered, this, [this] { m_session.runHandler([this] { askSampleValue(); }); });
}

void PreviewAid::start(const CompiledScript &script)
{
    m_last = script;
    // The variables and texts are shared, not copied: the worker binds the
    // few the expression reads.
    PreviewJob job;
    job.displayText = script.displayText;
    job.compiled = script.compiled;
    job.compileError = script.error;
    job.variables = m_session.variables();
    job.userTexts = m_session.sampleTexts();
    job.locale = uiLocale();
    job.language = uiLanguage();
    job.errorFormat = aidText(AidText::PreviewErrorFormat);
    job.words = {aidText(AidText::PreviewTrue), aidText(AidText::PreviewFalse)};
    job.today = QDate::currentDate();
    job.timeoutMs = check::kCheckTimeoutMs;
    m_runner->request(std::move(job));
}

void PreviewAid::askSampleValue()
{
    const QTreeWidgetItem *node = m_variableTree->currentItem();
    const QString varID = nodeKey(node);
    if (nodeTag(node).isEmpty())
        return;
    EditorVariable variable;
    for (const EditorVariable &v : m_session.variables()) {
        if (v.varID == varID)
            variable = v;
    }
    QString current = m_session.sampleTexts().value(varID, variable.sampledata);
    if (current.isEmpty())
        current = defaultSample(variable, QDate::currentDate()).toString(uiLocale());
    QInputDialog dialog(m_line->window());
    dialog.setObjectName(QStringLiteral("frmSampleValue"));
    dialog.setWindowTitle(aidText(AidText::SampleValueTitle));
    dialog.setLabelText(sampleValueLabelText(variable.displayName()));
    dialog.setTextValue(current);
    // The window may be dropped while the dialog runs.
    const QPointer<PreviewAid> alive = this;
    if (dialog.exec() != QDialog::Accepted || !alive)
        return;
    m_session.sampleTexts().insert(varID, dialog.textValue());
    start(m_last);
}

void PreviewAid::place(QPlainTextEdit *script)
{
    const QRect area = script->geometry();
    const int height = std::min(m_line->sizeHint().height(), area.height());
    script->setGeometry(area.adjusted(0, 0, 0, -height));
    m_line->setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

} // namespace nvtarnix::editor
