// The editor window's completion list: the view's variables after "[", the
// catalog's functions after three letters, narrowed as the user types. The
// list never takes the focus: the script box keeps it, and the keys that work
// the list (arrows, Enter, Tab, Esc) are taken from it while the list is open.

#include "editor/frmEditor.h"

#include "editor/EditorTreeItems.h"
#include "editor/EditorTrees.h"
#include "support/FailureHandling.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <functional>

namespace nvtarnix {

namespace {

// Enough to choose from; typing narrows the rest.
constexpr int kCompletionLimit = 500;

} // namespace

void frmEditor::createCompletion()
{
    lstCompletion = new QListWidget(this);
    lstCompletion->setObjectName(QStringLiteral("lstCompletion"));
    lstCompletion->setFocusPolicy(Qt::NoFocus);
    lstCompletion->setUniformItemSizes(true);
    lstCompletion->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCompletion->setFrameShape(QFrame::Box);
    lstCompletion->hide();
    connect(lstCompletion, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        runHandler([&] { acceptCompletion(lstCompletion->row(item)); });
    });
    connect(txtScript, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        // Moving the caret narrows or closes an open list, never opens one.
        if (lstCompletion && lstCompletion->isVisible() && !m_keyTyped)
            skipOnError([&] { updateCompletion(false); });
    });
}

void frmEditor::gatherCompletionEntries()
{
    m_completionGathered = true;
    QStringList searchTexts;
    for (const editor::EditorVariable &variable : viewVariables()) {
        const QString name = variable.displayName();
        m_variableEntries.append(name);
        searchTexts.append(name.mid(1, name.size() - 2));
    }
    m_variableMatcher = editor::CompletionMatcher(searchTexts);

    QStringList names;
    const std::function<void(const QTreeWidgetItem *)> walk = [&](const QTreeWidgetItem *item) {
        const QString tag = editor::nodeTag(item);
        if (!tag.isEmpty()) {
            names.append(editor::nodeKey(item));
            m_functionEntries.append(tag);
            m_functionInsertions.append(editor::nodeKey(item) + QLatin1Char('('));
        }
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; tvFunctions && i < tvFunctions->topLevelItemCount(); ++i)
        walk(tvFunctions->topLevelItem(i));
    m_functionMatcher = editor::CompletionMatcher(names);
}

void frmEditor::updateCompletion(bool mayOpen)
{
    if (!lstCompletion || !txtScript)
        return;
    const bool open = lstCompletion->isVisible();
    if (!mayOpen && !open)
        return;
    const editor::CompletionRequest request =
        editor::completionAt(txtScript->toPlainText(), txtScript->textCursor().position());
    if (request.kind == editor::CompletionRequest::None) {
        hideCompletion();
        return;
    }
    if (!m_completionGathered)
        gatherCompletionEntries();
    const bool variables = request.kind == editor::CompletionRequest::Variable;
    const QVector<int> found =
        (variables ? m_variableMatcher : m_functionMatcher).matches(request.typed, kCompletionLimit);
    if (found.isEmpty()) {
        hideCompletion();
        return;
    }
    m_completion = request;
    const QStringList &entries = variables ? m_variableEntries : m_functionEntries;
    lstCompletion->setUpdatesEnabled(false);
    lstCompletion->clear();
    QStringList shown;
    shown.reserve(found.size());
    for (int i : found)
        shown.append(entries.at(i));
    lstCompletion->addItems(shown);
    for (int row = 0; row < found.size(); ++row)
        lstCompletion->item(row)->setData(Qt::UserRole, found.at(row));
    lstCompletion->setCurrentRow(0);
    lstCompletion->setUpdatesEnabled(true);
    placeCompletion();
    lstCompletion->show();
    lstCompletion->raise();
}

void frmEditor::placeCompletion()
{
    const QRect caret = txtScript->cursorRect();
    const QPoint below = txtScript->viewport()->mapTo(this, caret.bottomLeft());
    const int width = std::min(360, this->width());
    const int rowHeight = lstCompletion->sizeHintForRow(0) > 0 ? lstCompletion->sizeHintForRow(0) : 16;
    const int height = std::min(rowHeight * std::min(lstCompletion->count(), 8) + 4, this->height());
    int x = std::clamp(below.x(), 0, std::max(0, this->width() - width));
    int y = below.y() + 2;
    // Above the caret line when the window has no room under it.
    if (y + height > this->height())
        y = std::max(0, txtScript->viewport()->mapTo(this, caret.topLeft()).y() - height - 2);
    lstCompletion->setGeometry(x, y, width, height);
}

void frmEditor::hideCompletion()
{
    if (lstCompletion && lstCompletion->isVisible())
        lstCompletion->hide();
}

void frmEditor::acceptCompletion(int row)
{
    if (!lstCompletion || row < 0 || row >= lstCompletion->count())
        return;
    const int entry = lstCompletion->item(row)->data(Qt::UserRole).toInt();
    const QString text = m_completion.kind == editor::CompletionRequest::Variable ? m_variableEntries.at(entry)
                                                                                  : m_functionInsertions.at(entry);
    hideCompletion();
    QTextCursor cursor(txtScript->document());
    cursor.setPosition(int(m_completion.start));
    cursor.setPosition(int(std::min<qsizetype>(m_completion.end, txtScript->document()->characterCount() - 1)),
                       QTextCursor::KeepAnchor);
    cursor.insertText(text);
    txtScript->setTextCursor(cursor);
}

bool frmEditor::completionKey(int key)
{
    if (!lstCompletion || !lstCompletion->isVisible())
        return false;
    const int rows = lstCompletion->count();
    const int row = lstCompletion->currentRow();
    switch (key) {
    case Qt::Key_Escape:
        hideCompletion();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        runHandler([&] { acceptCompletion(row); });
        return true;
    case Qt::Key_Down:
        lstCompletion->setCurrentRow(std::min(row + 1, rows - 1));
        return true;
    case Qt::Key_Up:
        lstCompletion->setCurrentRow(std::max(row - 1, 0));
        return true;
    case Qt::Key_PageDown:
        lstCompletion->setCurrentRow(std::min(row + 7, rows - 1));
        return true;
    case Qt::Key_PageUp:
        lstCompletion->setCurrentRow(std::max(row - 7, 0));
        return true;
    default:
        return false;
    }
}

} // namespace nvtarnix
