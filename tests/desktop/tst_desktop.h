#pragma once

#include <QObject>

// The windows on a Linux desktop; each file registers its class with the suite's main().

class tst_Captions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void captionsFit_data();
    void captionsFit();
};

class tst_ValueListFit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void codesShowWhole_data();
    void codesShowWhole();
    void enterOnAFreshListInsertsNothing();
};

class tst_EditorFit : public QObject
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

class tst_Greek : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
    void checkMessage_data();
    void checkMessage();
};
