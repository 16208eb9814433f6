// What follows the caret in the script text: the hint with the declaration of
// the catalog function the caret is in, the highlight of the parenthesis next
// to the caret and its partner, and the help line of the variable or function
// under the caret. The rules live in CallAtCaret and ScriptSpans.

#include "editor/frmEditor.h"

#include "component/TarnixObjectAccess.h"
#include "editor/CallAtCaret.h"
#include "editor/EditorTreeItems.h"
#include "editor/ScriptSpans.h"
#include "support/FailureHandling.h"

#include <nvtarnix/TarnixObject.h>

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <functional>

namespace nvtarnix {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

void frmEditor::createCaretAids()
{
    lblArgumentHint = new QLabel(this);
    lblArgumentHint->setObjectName(QStringLiteral("lblArgumentHint"));
    lblArgumentHint->setTextFormat(Qt::RichText);
    lblArgumentHint->setFocusPolicy(Qt::NoFocus);
    lblArgumentHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Drawn as the system draws tooltips.
    lblArgumentHint->setForegroundRole(QPalette::ToolTipText);
    lblArgumentHint->setBackgroundRole(QPalette::ToolTipBase);
    lblArgumentHint->setAutoFillBackground(true);
    lblArgumentHint->setFrameShape(QFrame::Box);
    lblArgumentHint->setMargin(2);
    lblArgumentHint->hide();
    connect(txtScript, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { skipOnError([this] { updateCaretAids(); }); });
}

void frmEditor::updateCaretAids()
{
    if (!txtScript)
        return;
    const QString text = txtScript->toPlainText();
    const qsizetype caret = txtScript->textCursor().position();

    const auto call = editor::callAtCaret(text, caret, [this](const QString &name) {
        return functionNode(name) != nullptr;
    });
    // The hint belongs to typing: it shows while the script box has the focus.
    if (call && focusWidget() == txtScript)
        showArgumentHint(editor::nodeTag(functionNode(call->function)), call->argument);
    else
        lblArgumentHint->hide();

    m_parenthesisMarks.clear();
    if (const auto pair = editor::parenthesisPair(text, caret)) {
        for (const qsizetype at : {pair->first, pair->second}) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(txtScript->document());
            mark.cursor.setPosition(int(at));
            mark.cursor.setPosition(int(at + 1), QTextCursor::KeepAnchor);
            mark.format.setBackground(QColor(0xB4, 0xD7, 0xFF));
            mark.format.setForeground(QColor(0, 0, 0));
            m_parenthesisMarks.append(mark);
        }
    }
    showScriptMarks();
    showHelpAtCaret();
}

void frmEditor::showArgumentHint(const QString &declaration, int argument)
{
    lblArgumentHint->setText(editor::hintHtml(declaration, argument));
    lblArgumentHint->adjustSize();
    const QRect caret = txtScript->cursorRect();
    const QPoint below = txtScript->viewport()->mapTo(this, caret.bottomLeft());
    const QSize size = lblArgumentHint->size();
    int x = std::clamp(below.x(), 0, std::max(0, width() - size.width()));
    int y = below.y() + 2;
    if (y + size.height() > height())
        y = std::max(0, txtScript->viewport()->mapTo(this, caret.topLeft()).y() - size.height() - 2);
    lblArgumentHint->move(x, y);
    lblArgumentHint->show();
    // The completion list, when open, stays on top of the hint.
    lblArgumentHint->raise();
    if (lstCompletion && lstCompletion->isVisible())
        lstCompletion->raise();
}

const QTreeWidgetItem *frmEditor::functionNode(const QString &name)
{
    if (!m_nodesGathered) {
        m_nodesGathered = true;
        const std::function<void(const QTreeWidgetItem *, QHash<QString, const QTreeWidgetItem *> &, bool)> walk =
            [&](const QTreeWidgetItem *item, QHash<QString, const QTreeWidgetItem *> &into, bool byKey) {
                const QString tag = editor::nodeTag(item);
                if (!tag.isEmpty())
                    into.insert(byKey ? editor::nodeKey(item).toLower() : tag, item);
                for (int i = 0; i < item->childCount(); ++i)
                    walk(item->child(i), into, byKey);
            };
        for (int i = 0; tvFunctions && i < tvFunctions->topLevelItemCount(); ++i)
            walk(tvFunctions->topLevelItem(i), m_functionNodes, true);
        for (int i = 0; tvVariables && i < tvVariables->topLevelItemCount(); ++i)
            walk(tvVariables->topLevelItem(i), m_variableNodes, false);
    }
    // Function names are VBScript names: letter case does not count.
    return m_functionNodes.value(name.toLower());
}

const QTreeWidgetItem *frmEditor::variableNode(const QString &displayName)
{
    functionNode(QString());
    return m_variableNodes.value(displayName);
}

void frmEditor::showHelpAtCaret()
{
    // The window opens with the help line it always had; the caret leads it
    // from the user's first move on.
    if (!m_showHelpLine || !lbInfo || m_isLoading)
        return;
    const QString text = txtScript->toPlainText();
    const qsizetype caret = txtScript->textCursor().position();
    const QVector<editor::ScriptSpan> spans = editor::scriptSpans(text);
    const QTreeWidgetItem *node = nullptr;
    bool variable = false;
    // The caret touches what is after it, else what is before it.
    const editor::ScriptSpan *span = editor::spanAt(spans, caret);
    if (!span && caret > 0)
        span = editor::spanAt(spans, caret - 1);
    if (span && span->kind == editor::ScriptSpan::Reference) {
        node = variableNode(text.mid(span->start, span->length));
        variable = true;
    } else if (!span || span->kind != editor::ScriptSpan::String) {
        qsizetype start = caret;
        qsizetype end = caret;
        while (start > 0 && isWordChar(text.at(start - 1)))
            --start;
        while (end < text.size() && isWordChar(text.at(end)))
            ++end;
        if (end > start)
            node = functionNode(text.mid(start, end - start));
    }
    // Nothing under the caret leaves the help line as it is.
    if (!node)
        return;
    if (variable) {
        ShowNodeHelp(node, [this](const QString &varID) {
            return m_owner ? TarnixObjectAccess::GetVariableHelpString(*m_owner, varID) : QString();
        });
    } else {
        ShowNodeHelp(node, [this](const QString &name) {
            return m_owner ? TarnixObjectAccess::GetFunctionHelpString(*m_owner, name) : QString();
        });
    }
}

} // namespace nvtarnix
