#pragma once

#include "editor/EditorOwner.h"

namespace nvtarnix {

class TarnixObject;

// The builder as its editor window sees it, for the length of one Edit.
class BuilderEditorOwner final : public editor::EditorOwner
{
public:
    explicit BuilderEditorOwner(TarnixObject &builder) : m_builder(builder) {}

    bool showHelpLine() const override;
    bool removeNewLine() const override;
    bool listButtonVisible() const override;
    bool guidedEditing() const override;
    QString editorTitle() const override;
    QString variableCaption() const override;
    QString functionCaption() const override;
    QString variableRoot() const override;
    QString functionRoot() const override;
    QString toDisplayForm(const QString &databaseText) override;
    QString toDatabaseForm(const QString &displayText) override;
    QStringList errorTexts() const override;
    QString functionCatalogText() override;
    QString variableHelp(const QString &varID) const override;
    QString functionHelp(const QString &name) const override;
    void requestListSource(QString &listName, QVariant &data) override;
    RowSource rowSource() const override;

private:
    TarnixObject &m_builder;
};

} // namespace nvtarnix
