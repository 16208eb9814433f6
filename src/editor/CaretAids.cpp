#include "editor/CaretAids.h"

#include "editor/AccessibleNames.h"
#include "editor/CallAtCaret.h"
#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "editor/ScriptSpans.h"
#include "support/FailureHandling.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>

namespace nvtarnix::editor {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

CaretAids::CaretAids(QWidget *window, QPlainTextEdit *script, QLabel *helpLine, EditorSession &session)
    : QObject(window), m_window(window), m_script(script), m_helpLine(helpLine), m_hint(new QLabel(window)),
      m_session(session)
{
    m_hint->setObjectName(QStringLiteral("lblArgumentHint"));
    m_hint->setTextFormat(Qt::RichText);
    m_hint->setFocusPolicy(Qt::NoFocus);
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Drawn as the system draws tooltips.
    m_hint->setForegroundRole(QPalette::ToolTipText);
    m_hint->setBackgroundRole(QPalette::ToolTipBase);
    m_hint->setAutoFillBackground(true);
    m_hint->setFrameShape(QFrame::Box);
    m_hint->setMargin(2);
    m_hint->hide();
    connect(m_script, &QPlainTextEdit::cursorPositionChanged, this, [this] { skipOnError([this] { update(); }); });
    m_script->installEventFilter(this);
}

bool CaretAids::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_script && event->type() == QEvent::FocusOut)
        m_hint->hide();
    return false;
}

void CaretAids::update()
{
    const QString text = m_script->toPlainText();
    const qsizetype caret = m_script->textCursor().position();

    const auto call = callAtCaret(text, caret, [this](const QString &name) {
        return m_session.functionNode(name) != nullptr;
    });
    // The hint belongs to typing: it shows while the script box has the focus.
    if (call && m_window->focusWidget() == m_script) {
        const QTreeWidgetItem *node = m_session.functionNode(call->function);
        const auto reference = EditorSession::functionReference(node);
        showHint(nodeTag(node), call->argument, reference ? reference->parameters.value(call->argument) : QString());
    } else {
        m_hint->hide();
    }

    m_parenthesisMarks.clear();
    if (const auto pair = parenthesisPair(text, caret)) {
        for (const qsizetype at : {pair->first, pair->second}) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(m_script->document());
            mark.cursor.setPosition(int(at));
            mark.cursor.setPosition(int(at + 1), QTextCursor::KeepAnchor);
            mark.format.setBackground(QColor(0xB4, 0xD7, 0xFF));
            mark.format.setForeground(QColor(0, 0, 0));
            m_parenthesisMarks.append(mark);
        }
    }
    emit marksChanged();
    showHelpAtCaret();
}

void CaretAids::showHint(const QString &declaration, int argument, const QString &meaning)
{
    m_hint->setText(hintHtml(declaration, argument, meaning));
    m_hint->setWordWrap(false);
    m_hint->setMinimumSize(0, 0);
    m_hint->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_hint->setAccessibleName(labelledValue(controlName(ControlName::ArgumentHint), m_hint->text()));
    m_hint->adjustSize();
    // A long meaning wraps within the window rather than running past it.
    const int room = std::max(160, m_window->width() - 8);
    if (m_hint->width() > room) {
        m_hint->setWordWrap(true);
        m_hint->setFixedSize(room, m_hint->heightForWidth(room));
    }
    const QRect caret = m_script->cursorRect();
    const QPoint below = m_script->viewport()->mapTo(m_window, caret.bottomLeft());
    const QSize size = m_hint->size();
    const int x = std::clamp(below.x(), 0, std::max(0, m_window->width() - size.width()));
    int y = below.y() + 2;
    if (y + size.height() > m_window->height())
        y = std::max(0, m_script->viewport()->mapTo(m_window, caret.topLeft()).y() - size.height() - 2);
    m_hint->move(x, y);
    m_hint->show();
    m_hint->raise();
    if (m_keptAbove && m_keptAbove->isVisible())
        m_keptAbove->raise();
}

void CaretAids::showHelpAtCaret()
{
    if (!m_session.showsHelpLine() || !m_helpLine || !m_helpFollows)
        return;
    const QString text = m_script->toPlainText();
    const qsizetype caret = m_script->textCursor().position();
    const QVector<ScriptSpan> spans = scriptSpans(text);
    const QTreeWidgetItem *node = nullptr;
    HelpKind kind = HelpKind::Function;
    // The caret touches what is after it, else what is before it.
    const ScriptSpan *span = spanAt(spans, caret);
    if (!span && caret > 0)
        span = spanAt(spans, caret - 1);
    if (span && span->kind == ScriptSpan::Reference) {
        node = m_session.variableNode(text.mid(span->start, span->length));
        kind = HelpKind::Variable;
    } else if (!span || span->kind != ScriptSpan::String) {
        qsizetype start = caret;
        qsizetype end = caret;
        while (start > 0 && isWordChar(text.at(start - 1)))
            --start;
        while (end < text.size() && isWordChar(text.at(end)))
            ++end;
        if (end > start)
            node = m_session.functionNode(text.mid(start, end - start));
    }
    // Nothing under the caret leaves the help line as it is.
    if (node) {
        m_helpLine->setText(m_session.nodeHelpLine(node, kind));
        emit helpLineShown(m_helpLine->text());
    }
}

} // namespace nvtarnix::editor
