#include "tst_editor.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    int failed = 0;
    LayoutTest layout;
    failed += QTest::qExec(&layout, argc, argv);
    ColouringTest colouring;
    failed += QTest::qExec(&colouring, argc, argv);
    TextEditingTest textEditing;
    failed += QTest::qExec(&textEditing, argc, argv);
    TreesTest trees;
    failed += QTest::qExec(&trees, argc, argv);
    CheckTest check;
    failed += QTest::qExec(&check, argc, argv);
    EditorWindowTest window;
    failed += QTest::qExec(&window, argc, argv);
    return failed == 0 ? 0 : 1;
}
