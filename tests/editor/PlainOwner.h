#pragma once

#include "editor/EditorOwner.h"

// A window's owner that asks for nothing: its help line, newline removal and
// value-list button on, texts as typed, no help, no value lists. A test
// overrides what it looks at.
class PlainOwner : public nvtarnix::editor::EditorOwner
{
public:
    bool showHelpLine() const override { return true; }
    bool removeNewLine() const override { return true; }
    bool listButtonVisible() const override { return true; }
    QString editorTitle() const override { return {}; }
    QString variableCaption() const override { return {}; }
    QString functionCaption() const override { return {}; }
    QString variableRoot() const override { return {}; }
    QString functionRoot() const override { return {}; }
    QString toDisplayForm(const QString &text) override { return text; }
    QString toDatabaseForm(const QString &text) override { return text; }
    QStringList errorTexts() const override { return {}; }
    QString functionCatalogText() override { return {}; }
    QString variableHelp(const QString &) const override { return {}; }
    QString functionHelp(const QString &) const override { return {}; }
    void requestListSource(QString &, QVariant &) override {}
};
