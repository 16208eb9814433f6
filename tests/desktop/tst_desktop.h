#pragma once

#include <QObject>

// The windows on a Linux desktop; main.cpp runs the classes one after another.

class CaptionsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void captionsFit_data();
    void captionsFit();
};

class ValueListFitTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void codesShowWhole_data();
    void codesShowWhole();
    void enterOnAFreshListInsertsNothing();
};

class EditorFitTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void fontKeysLeaveTheButtonsAlone();
    void normalStateAfterAMaximisedRun();
    void darkThemeKeepsTheScriptReadable();
    void helpLineWrapsAndScrolls();
    void treesShowNodesWhole();
    void toolTips_data();
    void toolTips();
};

class GreekTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
    void checkMessage_data();
    void checkMessage();
};
