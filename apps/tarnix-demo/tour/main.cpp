// tarnix-demo-tour [--language ID] DIR
// tarnix-demo-tour [--language ID] --wizard-picture FILE
//
// Runs the demo's scripted tour on a fresh database of its own, writes a PNG
// of each step into DIR and prints their paths; or, as the tour's second run
// at 200% scale, writes the wizard's picture to FILE.

#include "DemoDatabase.h"
#include "DemoStart.h"
#include "DemoTexts.h"
#include "MainWindow.h"
#include "Tour.h"

#include <nvtarnix/Error.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>

using namespace tarnixdemo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nameApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The scripted tour of the nvTarnix demo host."));
    parser.addHelpOption();
    const QCommandLineOption language = languageOption();
    const QCommandLineOption wizardPictureOption(
        QStringLiteral("wizard-picture"),
        QStringLiteral("Open the wizard on the tour's rule, write a PNG of it to FILE and exit "
                       "(the tour's picture at 200%, run with QT_SCALE_FACTOR=2)."),
        QStringLiteral("FILE"));
    parser.addOptions({language, wizardPictureOption});
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("Where the pictures go."));
    parser.process(app);
    const std::optional<int> chosen = chosenLanguage(parser, language, "tarnix-demo-tour");
    if (!chosen)
        return 2;
    if (!parser.isSet(wizardPictureOption) && parser.positionalArguments().size() != 1) {
        std::fprintf(stderr, "tarnix-demo-tour: give the folder for the pictures, or --wizard-picture FILE\n");
        return 2;
    }

    // The tour changes a rule: it works on a fresh database, never the user's.
    QTemporaryDir data;
    std::unique_ptr<DemoDatabase> database;
    try {
        database = std::make_unique<DemoDatabase>(data.filePath(QStringLiteral("tarnix-demo.sqlite")));
    } catch (const nvtarnix::Error &e) {
        std::fprintf(stderr, "tarnix-demo-tour: Error %d: %s\n", e.number(), qPrintable(e.description()));
        return 2;
    }

    MainWindow window(*database);
    if (*chosen != 0)
        window.setLanguage(*chosen);
    window.show();

    if (parser.isSet(wizardPictureOption)) {
        const QString file = QFileInfo(parser.value(wizardPictureOption)).absoluteFilePath();
        Tour tour(window, QFileInfo(file).absolutePath());
        return tour.runWizardPicture(file);
    }
    Tour tour(window, parser.positionalArguments().constFirst());
    tour.setScaledProgram(QCoreApplication::applicationFilePath());
    return tour.run();
}
