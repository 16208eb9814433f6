#include "editor/TreeFilterAid.h"

#include "editor/EditingAidTexts.h"
#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "support/SearchFolding.h"
#include "support/FailureHandling.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace nvtarnix::editor {

TreeFilterAid::TreeFilterAid(QWidget *window, QTreeWidget *variableTree, QTreeWidget *functionTree,
                             EditorSession &session)
    : QObject(window), m_box(new QLineEdit(window)), m_variableTree(variableTree), m_functionTree(functionTree),
      m_session(session)
{
    m_box->setObjectName(QStringLiteral("txtFilter"));
    m_box->setPlaceholderText(aidText(AidText::FilterPlaceholder));
    m_box->setToolTip(aidText(AidText::FilterToolTip));
    m_box->setClearButtonEnabled(true);
    m_box->installEventFilter(this);
    connect(m_box, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_session.runHandler([&] { filter(text); }); });
    auto *findShortcut = new QShortcut(QKeySequence::Find, m_box);
    findShortcut->setContext(Qt::WindowShortcut);
    connect(findShortcut, &QShortcut::activated, this, [this] {
        m_box->setFocus(Qt::ShortcutFocusReason);
        m_box->selectAll();
    });
}

bool TreeFilterAid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // Esc in the box empties it (the window itself has no Esc).
    if (key->key() == Qt::Key_Escape) {
        m_box->clear();
        return true;
    }
    // Down and Enter go on to what the filter found.
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        bool moved = false;
        skipOnError([&] { moved = goToFirstMatch(); });
        return moved;
    }
    return false;
}

bool TreeFilterAid::goToFirstMatch()
{
    for (QTreeWidget *tree : {m_variableTree, m_functionTree}) {
        if (QTreeWidgetItem *match = firstShownEntry(tree)) {
            tree->setCurrentItem(match);
            tree->scrollToItem(match);
            tree->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

QTreeWidgetItem *firstShownEntry(QTreeWidget *tree)
{
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NotHidden); *it; ++it) {
        if (!nodeTag(*it).isEmpty())
            return *it;
    }
    return nullptr;
}

QString TreeFilterAid::searchText(const QTreeWidgetItem *node, bool variable) const
{
    QString help;
    if (!nodeTag(node).isEmpty()) {
        try {
            help = m_session.help(variable ? HelpKind::Variable : HelpKind::Function, nodeKey(node));
        } catch (...) {
            logSkippedFailure();
            // A node whose help cannot be read is found by its other texts.
        }
    }
    return node->text(0) + QLatin1Char('\n') + nodeKey(node) + QLatin1Char('\n') + nodeTag(node)
         + QLatin1Char('\n') + help;
}

void TreeFilterAid::filter(const QString &text)
{
    const QString needle = foldForSearch(text.trimmed());
    m_variableFilter.apply(m_variableTree, needle,
                           [this](const QTreeWidgetItem *node) { return searchText(node, true); });
    m_functionFilter.apply(m_functionTree, needle,
                           [this](const QTreeWidgetItem *node) { return searchText(node, false); });
}

void TreeFilterAid::place()
{
    // The box takes the top of the trees' area, across both trees.
    const QRect variables = m_variableTree->geometry();
    const QRect functions = m_functionTree->geometry();
    const int height = m_box->sizeHint().height();
    const int gap = 4;
    m_box->setGeometry(variables.left(), variables.top(), functions.right() - variables.left() + 1, height);
    const int taken = std::min(height + gap, variables.height());
    m_variableTree->setGeometry(variables.adjusted(0, taken, 0, 0));
    m_functionTree->setGeometry(functions.adjusted(0, taken, 0, 0));
}

} // namespace nvtarnix::editor
