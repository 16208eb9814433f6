// main() of a test program that opens windows.
#include "TestMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    return testsupport::runRegisteredTests(argc, argv, [](int &count, char **arguments) {
        auto app = std::make_unique<QApplication>(count, arguments);
        // Layouts computed in twips are checked in pixels at 96 dots per inch.
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
        return std::unique_ptr<QCoreApplication>(std::move(app));
    });
}
