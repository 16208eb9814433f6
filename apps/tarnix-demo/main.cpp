#include "DemoDatabase.h"
#include "DemoTexts.h"
#include "MainWindow.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Language.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
#include <memory>

using namespace tarnixdemo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnix"));
    QApplication::setApplicationName(QStringLiteral("tarnix-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A host of the nvTarnix expression wizard: order rules stored in SQLite."));
    parser.addHelpOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Use this SQLite file (created with the sample when missing) instead of "
                       "the one in the user's data folder."),
        QStringLiteral("FILE"));
    const QCommandLineOption languageOption(
        QStringLiteral("language"), QStringLiteral("1032 Greek or 1033 English."),
        QStringLiteral("ID"));
    parser.addOptions({databaseOption, languageOption});
    parser.process(app);

    int language = 0;
    if (parser.isSet(languageOption)) {
        language = parser.value(languageOption).toInt();
        if (language != nvtarnix::GreekLanguage && language != nvtarnix::EnglishLanguage) {
            std::fprintf(stderr, "tarnix-demo: --language must be 1032 (Greek) or 1033 (English), "
                                 "not \"%s\"\n",
                         qPrintable(parser.value(languageOption)));
            return 2;
        }
    }

    const QString path = parser.isSet(databaseOption) ? parser.value(databaseOption) : DemoDatabase::defaultPath();

    std::unique_ptr<DemoDatabase> database;
    try {
        database = std::make_unique<DemoDatabase>(path);
    } catch (const nvtarnix::Error &e) {
        const QString message = QStringLiteral("Error %1: %2").arg(e.number()).arg(e.description());
        std::fprintf(stderr, "tarnix-demo: %s\n", qPrintable(message));
        QMessageBox::critical(nullptr, QStringLiteral("nvTarnix demo"), message);
        return 2;
    }

    MainWindow window(*database);
    if (language != 0)
        window.setLanguage(language);
    window.show();
    return app.exec();
}
