#include "editor/GuidedEditingAid.h"

#include "editor/ValueListInsertion.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTreeWidget>

namespace nvtarnix::editor {

namespace {

const QString kGeometryKey = QStringLiteral("Editor/geometry");

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarnix"));
}

} // namespace

GuidedEditingAid::GuidedEditingAid(QDialog *window, QPlainTextEdit *script)
    : QObject(window), m_window(window), m_script(script)
{ }

void GuidedEditingAid::windowOpening(QTreeWidget *variableTree, int variableCount)
{
    skipOnError([&] {
        const QByteArray geometry = userSettings().value(kGeometryKey).toByteArray();
        if (!geometry.isEmpty())
            m_window->restoreGeometry(geometry);
    });
    if (variableCount > kCollapsedGroupsAbove)
        skipOnError([&] { collapseGroups(variableTree); });
    m_script->setFocus(Qt::OtherFocusReason);
}

void GuidedEditingAid::windowClosing()
{
    skipOnError([&] {
        QSettings settings = userSettings();
        settings.setValue(kGeometryKey, m_window->saveGeometry());
        settings.sync();
    });
}

void GuidedEditingAid::showFailure(const PlacedFailure &failure)
{
    QTextCursor cursor(m_script->document());
    const int end = m_script->document()->characterCount() - 1;
    cursor.setPosition(std::min(int(failure.start), end));
    cursor.setPosition(std::min(int(failure.start + failure.length), end), QTextCursor::KeepAnchor);
    m_script->setTextCursor(cursor);
    m_script->setFocus(Qt::OtherFocusReason);
    QMessageBox box(QMessageBox::Warning, check::checkMessageTitle(), failure.message, QMessageBox::Ok, m_window);
    box.setObjectName(QStringLiteral("msgCheckFailed"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void GuidedEditingAid::showPassed(const QStringList &warnings)
{
    const QString text = warnings.isEmpty()
        ? checkPassedText()
        : GetMlStringOrDefault(1421, QString()) + QStringLiteral("\n\n") + warnings.join(u'\n');
    QMessageBox box(warnings.isEmpty() ? QMessageBox::Information : QMessageBox::Warning, check::checkMessageTitle(),
                    text, QMessageBox::Ok, m_window);
    box.setObjectName(QStringLiteral("msgCheckPassed"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString GuidedEditingAid::valueListVariableAtCaret(const QVector<ViewVariable> &variables) const
{
    const QString reference = referenceAtCaret(m_script->toPlainText(), m_script->textCursor().position());
    if (reference.isEmpty())
        return {};
    for (const ViewVariable &variable : variables) {
        if (offersValueList(variable.hasvaluelist) && variable.displayName() == reference)
            return variable.varID;
    }
    return {};
}

QString GuidedEditingAid::codeAtCaret() const
{
    const QTextCursor cursor = m_script->textCursor();
    return editor::codeAtCaret(m_script->toPlainText(), cursor.selectionStart(), cursor.selectionEnd());
}

QString GuidedEditingAid::insertCode(const QString &code)
{
    QTextCursor cursor = m_script->textCursor();
    const TextReplacement replacement
        = valueListInsertion(m_script->toPlainText(), cursor.selectionStart(), cursor.selectionEnd(), code);
    cursor.setPosition(int(replacement.start));
    cursor.setPosition(int(replacement.end), QTextCursor::KeepAnchor);
    cursor.insertText(replacement.text);
    m_script->setTextCursor(cursor);
    return replacement.text;
}

void collapseGroups(QTreeWidget *tree)
{
    for (int r = 0; tree && r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem *root = tree->topLevelItem(r);
        for (int g = 0; g < root->childCount(); ++g) {
            if (root->child(g)->childCount() > 0)
                root->child(g)->setExpanded(false);
        }
    }
}

} // namespace nvtarnix::editor
