#include "tst_desktop.h"

#include <QApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    CaptionsTest captions;
    failed += QTest::qExec(&captions, argc, argv);
    ValueListFitTest valueList;
    failed += QTest::qExec(&valueList, argc, argv);
    EditorFitTest editor;
    failed += QTest::qExec(&editor, argc, argv);
    GreekTest greek;
    failed += QTest::qExec(&greek, argc, argv);
    return failed == 0 ? 0 : 1;
}
