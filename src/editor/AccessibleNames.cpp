#include "editor/AccessibleNames.h"

#include "support/MlStringModule.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextDocumentFragment>
#include <QTreeWidget>

namespace nvtarnix::editor {

namespace {

QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

} // namespace

QString nameFromCaption(const QString &caption)
{
    QString name = caption;
    // "&&" is a written ampersand, a single one marks a mnemonic.
    name.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    name.remove(QLatin1Char('&'));
    name.replace(QChar(0xE000), QLatin1Char('&'));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name = name.chopped(1).trimmed();
    return name;
}

QString controlName(ControlName which)
{
    return text(int(which));
}

QString labelledValue(const QString &name, const QString &value)
{
    const QString spoken = spokenText(value).simplified();
    return spoken.isEmpty() ? name : name + QStringLiteral(": ") + spoken;
}

void nameEditorControls(QPlainTextEdit *script, QLineEdit *filter, QListWidget *completion, QLabel *argumentHint,
                        QLabel *preview)
{
    if (script)
        script->setAccessibleName(controlName(ControlName::ScriptBox));
    if (filter)
        filter->setAccessibleName(controlName(ControlName::Filter));
    if (completion)
        completion->setAccessibleName(controlName(ControlName::CompletionList));
    if (argumentHint)
        argumentHint->setAccessibleName(labelledValue(controlName(ControlName::ArgumentHint), argumentHint->text()));
    if (preview)
        preview->setAccessibleName(labelledValue(controlName(ControlName::Preview), preview->text()));
}

void nameTree(QTreeWidget *tree, const QString &caption)
{
    if (!tree)
        return;
    const QString name = nameFromCaption(caption);
    tree->setAccessibleName(name);
    // Qt calls an unnamed column by its number; the tree's one column is the tree.
    tree->setHeaderLabel(name);
}

void describeTreeItems(QTreeWidget *tree, const std::function<QString(const QTreeWidgetItem *)> &describe)
{
    if (!tree)
        return;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QString description = spokenText(describe(*it));
        if (!description.isEmpty())
            (*it)->setData(0, Qt::AccessibleDescriptionRole, description);
    }
}

QString spokenText(const QString &richText)
{
    if (!Qt::mightBeRichText(richText))
        return richText;
    return QTextDocumentFragment::fromHtml(richText).toPlainText().trimmed();
}

} // namespace nvtarnix::editor
