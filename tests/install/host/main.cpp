// A minimal host: chooses the wizard's language, binds the wizard to two
// variables, opens it on a stored expression, changes it as a user would and
// reads the accepted result.
#include <nvtarnix/Error.h>
#include <nvtarnix/Language.h>
#include <nvtarnix/TarnixObject.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    try {
        nvtarnix::setUserInterfaceLanguage(0);
        std::fprintf(stderr, "language 0 was taken\n");
        return 1;
    } catch (const nvtarnix::Error &e) {
        if (e.number() != 5) {
            std::fprintf(stderr, "language 0: error %d\n", e.number());
            return 1;
        }
    }
    nvtarnix::setUserInterfaceLanguage(nvtarnix::EnglishLanguage);
    nvtarnix::TarnixObject wizard;
    if (nvtarnix::userInterfaceLanguage() != nvtarnix::EnglishLanguage
        || wizard.EditorTitle() != "Expression wizard") {
        std::fprintf(stderr, "language %d, title %s\n", nvtarnix::userInterfaceLanguage(),
                     qPrintable(wizard.EditorTitle()));
        return 1;
    }
    try {
        wizard.AddVariable("ORD_AMOUNT", "Amount", "3", "12", "3", "0", {}, {}, {}, "Order");
        wizard.AddVariable("CUST_NAME", "Name", "0", "60", "3", "0", {}, {}, {}, "Customer");
        wizard.LoadDefaultFunctions();
        wizard.setDatabaseScript("[ORD_AMOUNT] > 100");
        if (wizard.Script() != "[Order.Amount] > 100") {
            std::fprintf(stderr, "display form: %s\n", qPrintable(wizard.Script()));
            return 1;
        }

        // Play the user: once the wizard is up, type a new expression and
        // press OK. Give up if nothing shows within a minute.
        QTimer user;
        int ticks = 0;
        QString cancelText;
        QObject::connect(&user, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() != "frmEditor" || !w->isVisible())
                    continue;
                user.stop();
                cancelText = w->findChild<QAbstractButton *>("cmdCancel")->text();
                w->findChild<QPlainTextEdit *>("txtScript")->setPlainText("[Order.Amount] * 2");
                w->findChild<QAbstractButton *>("cmdOK")->click();
                return;
            }
            if (++ticks > 600) {
                std::fprintf(stderr, "the wizard did not show\n");
                std::exit(1);
            }
        });
        user.start(100);
        if (!wizard.Edit()) {
            std::fprintf(stderr, "the wizard was cancelled\n");
            return 1;
        }
        if (cancelText != "Cancel") {
            std::fprintf(stderr, "the wizard's Cancel button reads %s\n", qPrintable(cancelText));
            return 1;
        }
        std::printf("accepted: %s\n", qPrintable(wizard.DatabaseScript()));
        return 0;
    } catch (const nvtarnix::Error &e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
}
