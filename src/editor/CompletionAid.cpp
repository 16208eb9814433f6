#include "editor/CompletionAid.h"

#include "editor/EditorSession.h"
#include "support/FailureHandling.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>

namespace nvtarnix::editor {

namespace {

// Enough to choose from; typing narrows the rest.
constexpr int kCompletionLimit = 500;

} // namespace

CompletionAid::CompletionAid(QWidget *window, QPlainTextEdit *script, EditorSession &session)
    : QObject(window), m_window(window), m_script(script), m_list(new QListWidget(window)), m_session(session)
{
    m_list->setObjectName(QStringLiteral("lstCompletion"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFrameShape(QFrame::Box);
    m_list->hide();
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_session.runHandler([&] { accept(m_list->row(item)); }); });
    connect(m_script, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (m_list->isVisible() && !m_keyTyped)
            skipOnError([&] { update(false); });
    });
    m_script->installEventFilter(this);
}

bool CompletionAid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_script)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier) {
            m_session.runHandler([&] { complete(); });
            return true;
        }
        if (listKey(key->key()))
            return true;
        m_keyTyped = (!key->text().isEmpty() && key->text().front().isPrint()) || key->key() == Qt::Key_Backspace;
        return false;
    }
    case QEvent::KeyRelease:
        m_keyTyped = false;
        return false;
    case QEvent::FocusOut:
        hide();
        return false;
    default:
        return false;
    }
}

void CompletionAid::textChanged()
{
    skipOnError([&] { update(m_keyTyped); });
    m_keyTyped = false;
}

void CompletionAid::update(bool mayOpen)
{
    if (!mayOpen && !m_list->isVisible())
        return;
    const CompletionRequest request = completionAt(m_script->toPlainText(), m_script->textCursor().position(),
                                                   m_asked ? 0 : kFunctionCompletionLetters);
    if (request.kind == CompletionRequest::None) {
        hide();
        return;
    }
    const CompletionEntries &entries = m_session.completionEntries();
    const bool variables = request.kind == CompletionRequest::Variable;
    const QVector<int> found =
        (variables ? entries.variableMatcher : entries.functionMatcher).matches(request.typed, kCompletionLimit);
    if (found.isEmpty()) {
        hide();
        return;
    }
    m_request = request;
    const QStringList &texts = variables ? entries.variables : entries.functions;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QStringList shown;
    shown.reserve(found.size());
    for (int i : found)
        shown.append(texts.at(i));
    m_list->addItems(shown);
    for (int row = 0; row < found.size(); ++row)
        m_list->item(row)->setData(Qt::UserRole, found.at(row));
    m_list->setCurrentRow(0);
    m_list->setUpdatesEnabled(true);
    place();
    m_list->show();
    m_list->raise();
}

void CompletionAid::place()
{
    const QRect caret = m_script->cursorRect();
    const QPoint below = m_script->viewport()->mapTo(m_window, caret.bottomLeft());
    const int width = std::min(360, m_window->width());
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : 16;
    const int height = std::min(rowHeight * std::min(m_list->count(), 8) + 4, m_window->height());
    const int x = std::clamp(below.x(), 0, std::max(0, m_window->width() - width));
    int y = below.y() + 2;
    // Above the caret line when the window has no room under it.
    if (y + height > m_window->height())
        y = std::max(0, m_script->viewport()->mapTo(m_window, caret.topLeft()).y() - height - 2);
    m_list->setGeometry(x, y, width, height);
}

void CompletionAid::hide()
{
    m_asked = false;
    if (m_list->isVisible())
        m_list->hide();
}

void CompletionAid::complete()
{
    m_asked = true;
    update(true);
}

void CompletionAid::accept(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    const int entry = m_list->item(row)->data(Qt::UserRole).toInt();
    const CompletionEntries &entries = m_session.completionEntries();
    const QString text = m_request.kind == CompletionRequest::Variable ? entries.variables.at(entry)
                                                                        : entries.functionInsertions.at(entry);
    hide();
    QTextCursor cursor(m_script->document());
    cursor.setPosition(int(m_request.start));
    cursor.setPosition(int(std::min<qsizetype>(m_request.end, m_script->document()->characterCount() - 1)),
                       QTextCursor::KeepAnchor);
    cursor.insertText(text);
    m_script->setTextCursor(cursor);
    emit inserted(text);
}

bool CompletionAid::listKey(int key)
{
    if (!m_list->isVisible())
        return false;
    const int rows = m_list->count();
    const int row = m_list->currentRow();
    switch (key) {
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        m_session.runHandler([&] { accept(row); });
        return true;
    case Qt::Key_Down:
        m_list->setCurrentRow(std::min(row + 1, rows - 1));
        return true;
    case Qt::Key_Up:
        m_list->setCurrentRow(std::max(row - 1, 0));
        return true;
    case Qt::Key_PageDown:
        m_list->setCurrentRow(std::min(row + 7, rows - 1));
        return true;
    case Qt::Key_PageUp:
        m_list->setCurrentRow(std::max(row - 7, 0));
        return true;
    default:
        return false;
    }
}

} // namespace nvtarnix::editor
