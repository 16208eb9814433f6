#include "DemoDatabase.h"
#include "DemoStart.h"
#include "DemoTexts.h"
#include "MainWindow.h"

#include <nvtarnix/Error.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <memory>
#include <optional>

using namespace tarnixdemo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nameApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A host of the nvTarnix expression wizard: order rules stored in SQLite."));
    parser.addHelpOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Use this SQLite file (created with the sample when missing) instead of "
                       "the one in the user's data folder."),
        QStringLiteral("FILE"));
    const QCommandLineOption language = languageOption();
    const QCommandLineOption specified(
        QStringLiteral("specified"),
        QStringLiteral("Open the wizard exactly as specified, without guided editing (unknown names, the "
                       "passing check's message, Esc and Ctrl+Enter, the remembered window)."));
    parser.addOptions({databaseOption, language, specified});
    parser.process(app);
    const std::optional<int> chosen = chosenLanguage(parser, language, "tarnix-demo");
    if (!chosen)
        return 2;

    const QString path = parser.isSet(databaseOption) ? parser.value(databaseOption) : DemoDatabase::defaultPath();

    std::unique_ptr<DemoDatabase> database;
    try {
        database = std::make_unique<DemoDatabase>(path);
    } catch (const nvtarnix::Error &e) {
        const int shownIn = *chosen != 0 ? *chosen : nvtarnix::userInterfaceLanguage();
        const QString message = errorText(e, shownIn);
        std::fprintf(stderr, "tarnix-demo: %s\n", qPrintable(message));
        QMessageBox::critical(nullptr, demoText(DemoText::ErrorTitle, shownIn), message);
        return 2;
    }

    MainWindow window(*database);
    window.host().setGuidedEditing(!parser.isSet(specified));
    if (*chosen != 0)
        window.setLanguage(*chosen);
    window.show();
    return app.exec();
}
