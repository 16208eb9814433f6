// main() of a test program that needs no windows.
#include "TestMain.h"

int main(int argc, char **argv)
{
    return testsupport::runRegisteredTests(argc, argv, [](int &count, char **arguments) {
        return std::make_unique<QCoreApplication>(count, arguments);
    });
}
