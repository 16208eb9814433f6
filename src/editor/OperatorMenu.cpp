#include "editor/OperatorMenu.h"

#include "support/MlStringModule.h"

#include <QMenu>
#include <QPlainTextEdit>

namespace nvtarnix::editor {

QStringList scriptOperators()
{
    return {QStringLiteral("="),   QStringLiteral("<>"),  QStringLiteral("<"),   QStringLiteral(">"),
            QStringLiteral("<="),  QStringLiteral(">="),  QStringLiteral("And"), QStringLiteral("Or"),
            QStringLiteral("Not"), QStringLiteral("Xor"), QStringLiteral("&"),   QStringLiteral("+"),
            QStringLiteral("-"),   QStringLiteral("*"),   QStringLiteral("/"),   QStringLiteral("\\"),
            QStringLiteral("Mod"), QStringLiteral("("),   QStringLiteral(")")};
}

QString operatorInsertion(const QString &op, QStringView before, QStringView after)
{
    if (op == QLatin1String("(") || op == QLatin1String(")"))
        return op;
    const bool spaceBefore = before.isEmpty() || before.back().isSpace() || before.back() == QLatin1Char('(');
    const bool spaceAfter = !after.isEmpty() && after.front().isSpace();
    QString text;
    // No blank at the text's start or right after an opening parenthesis.
    if (!spaceBefore)
        text += QLatin1Char(' ');
    text += op;
    if (!spaceAfter)
        text += QLatin1Char(' ');
    return text;
}

void addOperatorMenu(QMenu *menu, QPlainTextEdit *script)
{
    QMenu *operators = menu->addMenu(GetMlStringOrDefault(1418, QString()));
    operators->setObjectName(QStringLiteral("mOperators"));
    for (const QString &op : scriptOperators()) {
        QAction *action = operators->addAction(op);
        QObject::connect(action, &QAction::triggered, script, [script, op] {
            QTextCursor cursor = script->textCursor();
            const QString text = script->toPlainText();
            const QString insertion = operatorInsertion(op, QStringView(text).left(cursor.selectionStart()),
                                                        QStringView(text).mid(cursor.selectionEnd()));
            cursor.insertText(insertion);
            script->setTextCursor(cursor);
        });
    }
}

} // namespace nvtarnix::editor
