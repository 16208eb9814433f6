#pragma once

#include <QObject>

// The editor's test classes; main.cpp runs them one after another.

class LayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void creationSize_data();
    void creationSize();
    void oddWidthDropsTheHalf();
    void tinyWindowRefusesNegativeSizes();
};

class ColouringTest : public QObject
{
    Q_OBJECT
private slots:
    void addWord();
    void clearErrorWords();
    void colours_data();
    void colours();
    void positionLimits();
    void highlighterLeavesTextAlone();
};

class TextEditingTest : public QObject
{
    Q_OBJECT
private slots:
    void selectReference_data();
    void selectReference();
};

class TreesTest : public QObject
{
    Q_OBJECT
private slots:
    void variableTree();
    void variableImages_data();
    void variableImages();
    void functionTree();
    void functionTreeFallbacks_data();
    void functionTreeFallbacks();
};
class CheckTest : public QObject
{
    Q_OBJECT
private slots:
    void testExpression_data();
    void testExpression();
    void checkMessages_data();
    void checkMessages();
    void registryValue();
};

class EditorWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void opensWithTreesCaptionsAndColours();
    void okHandsBackDatabaseForm();
    void cancelAndCloseBoxKeepTheScript_data();
    void cancelAndCloseBoxKeepTheScript();
    void invalidExpressionKeepsWindowOpen();
    void textEditing();
    void fontSizeIsKept();
    void lettersInFontSizeSetting();
    void enterAndEscapeStayInTheWindow();
    void layoutInPixels();
    void missingView();
    void editThroughTheBuilder();
};
