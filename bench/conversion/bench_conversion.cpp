// Both script conversions on a large variable catalog: 5,000 variables, a
// script of about 2,000 characters that names 200 of them. Prints the time per
// conversion, and the same for a script four times as long to show the cost
// grows with the script, not with the catalog.
#include <nvtarnix/TarnixObject.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

using namespace nvtarnix;

namespace {

constexpr int Variables = 5000;

QString caption(int i)
{
    return QStringLiteral("C%1").arg(i);
}

// A display-form script of `length` characters that names `named` distinct
// variables spread over the catalog (each as often as the length allows),
// half of them with a group caption, joined by operators.
QString displayScript(int named, int length)
{
    QString s;
    for (int i = 0; s.size() < length; ++i) {
        const int v = (i % named) * (Variables / named);
        const QString name = v % 2 ? u'[' + caption(v) + u']' : QStringLiteral("[G%1.%2]").arg(v % 7).arg(caption(v));
        s += name + (i % 5 ? QStringLiteral("+") : QStringLiteral("&\"x\"&"));
    }
    s.truncate(length);
    return s;
}

double microsecondsPer(const std::function<void()> &run)
{
    run(); // warm: builds the cached replacement steps
    QElapsedTimer timer;
    int rounds = 0;
    timer.start();
    while (timer.nsecsElapsed() < 300'000'000 || rounds < 20) {
        run();
        ++rounds;
    }
    return double(timer.nsecsElapsed()) / 1000.0 / rounds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TarnixObject o;
    for (int v = 0; v < Variables; ++v)
        o.AddVariable(QStringLiteral("VAR_%1").arg(v), caption(v), QStringLiteral("0"), QStringLiteral("10"),
                      QStringLiteral("3"), QStringLiteral("0"), {}, {}, {},
                      v % 2 ? QString() : QStringLiteral("G%1").arg(v % 7));

    QTextStream out(stdout);
    // The same 200 variables over longer and longer scripts, then a script
    // that names four times as many.
    for (auto [named, length] : {std::pair{200, 2000}, {200, 4000}, {200, 8000}, {800, 8000}}) {
        const QString display = displayScript(named, length);
        const QString database = o.ConvertScriptToDatabase(display);
        if (o.ConvertScriptFromDatabase(database) != display) {
            std::fprintf(stderr, "round trip changed the script\n");
            return 1;
        }
        volatile qsizetype sink = 0;
        const double to = microsecondsPer([&] { sink = sink + o.ConvertScriptToDatabase(display).size(); });
        const double from = microsecondsPer([&] { sink = sink + o.ConvertScriptFromDatabase(database).size(); });
        out << QStringLiteral("%1 variables, script %2 chars naming %3: to database %4 us, from database %5 us\n")
                   .arg(Variables).arg(length).arg(named).arg(to, 0, 'f', 1).arg(from, 0, 'f', 1);
    }

    // The first conversion after the view changes pays for building its
    // replacement steps again.
    const QString display = displayScript(200, 2000);
    const auto view = o.BuilderSchema()->GetCatalog(QStringLiteral("_defaultcatalog"))->Views().Item(1);
    int round = 0;
    const double cold = microsecondsPer([&] {
        view->Fields().Item(1)->setVardescription(caption(0) + QString::number(++round % 2));
        o.ConvertScriptToDatabase(display);
    });
    out << QStringLiteral("first conversion after the view changed: %1 us\n").arg(cold, 0, 'f', 1);
    return 0;
}
