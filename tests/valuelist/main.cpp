#include <QApplication>
#include <QStandardPaths>

int runRecordsetTests(int argc, char **argv);
int runFrmListTests(int argc, char **argv);

// One executable for the folder: the recordsets without a window, then the
// dialog, each a test class of its own.
int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    int failures = runRecordsetTests(argc, argv);
    failures += runFrmListTests(argc, argv);
    return failures;
}
