#include <QApplication>
#include <QStandardPaths>

int runTarnixObjectTests(int argc, char **argv);
int runConversionTests(int argc, char **argv);
int runFunctionCatalogTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    int failed = 0;
    failed += runTarnixObjectTests(argc, argv);
    failed += runConversionTests(argc, argv);
    failed += runFunctionCatalogTests(argc, argv);
    return failed;
}
