#include "editor/EditorLayout.h"

#include "TestMain.h"

#include <QTest>

using namespace nvtarnix::editor;

Q_DECLARE_METATYPE(nvtarnix::editor::TwipRect)

namespace {

EditorGeometry laidOut(const EditorGeometry &start, double width, double height, double p, bool help)
{
    EditorGeometry g = Form_Resize(start, width, height, p);
    return picbottom_Resize(g, g.picbottom.width, g.picbottom.height, p, help);
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT
private slots:
    void creationSize_data();
    void creationSize();
    void oddWidthDropsTheHalf();
    void tinyWindowRefusesNegativeSizes();
};

void tst_Layout::creationSize_data()
{
    QTest::addColumn<double>("twipsPerPixel");
    QTest::addColumn<bool>("helpLine");
    QTest::addColumn<QString>("control");
    QTest::addColumn<TwipRect>("expected");

    const auto row = [](const char *name, double p, bool help, const char *control, TwipRect r) {
        QTest::newRow(name) << p << help << QString::fromLatin1(control) << r;
    };
    row("check", 15, true, "cmdCheck", {7110, 3000, 1140, 375});
    row("variables", 15, true, "tvVariables", {180, 360, 3945, 2460});
    row("functions", 15, true, "tvFunctions", {4305, 360, 3945, 2460});
    row("label variables", 15, true, "lbVariables", {180, 90, 4155, 285});
    row("label methods", 15, true, "lbMethods", {4305, 90, 4155, 285});
    row("ok", 15, true, "cmdOK", {5910, 6195, 1140, 375});
    row("cancel", 15, true, "cmdCancel", {7110, 6195, 1140, 375});
    row("value list", 15, true, "cmdValueList", {180, 3000, 2085, 375});
    row("lower area", 15, true, "picbottom", {180, 3375, 8070, 2820});
    row("frame", 15, true, "frInfo", {0, 0, 8070, 825});
    row("help text", 15, true, "lbInfo", {135, 180, 7800, 555});
    row("script with help", 15, true, "txtScript", {0, 885, 8070, 1875});
    row("script without help", 15, false, "txtScript", {0, 60, 8070, 2700});
    row("ok at 120 dpi", 12, true, "cmdOK", {5958, 6231, 1140, 375});
    row("cancel at 120 dpi", 12, true, "cmdCancel", {7146, 6231, 1140, 375});
    row("script at 120 dpi", 12, false, "txtScript", {0, 48, 8142, 2760});
}

void tst_Layout::creationSize()
{
    QFETCH(double, twipsPerPixel);
    QFETCH(bool, helpLine);
    QFETCH(QString, control);
    QFETCH(TwipRect, expected);

    const EditorGeometry g = laidOut(EditorGeometry{}, kCreationClientWidth, kCreationClientHeight,
                                     twipsPerPixel, helpLine);
    const QHash<QString, TwipRect> byName{
        {"cmdCheck", g.cmdCheck},   {"tvVariables", g.tvVariables},   {"tvFunctions", g.tvFunctions},
        {"lbVariables", g.lbVariables}, {"lbMethods", g.lbMethods}, {"cmdOK", g.cmdOK},
        {"cmdCancel", g.cmdCancel}, {"cmdValueList", g.cmdValueList}, {"picbottom", g.picbottom},
        {"frInfo", g.frInfo},       {"lbInfo", g.lbInfo},             {"txtScript", g.txtScript}};
    const TwipRect actual = byName.value(control);
    QCOMPARE(actual.left, expected.left);
    QCOMPARE(actual.top, expected.top);
    QCOMPARE(actual.width, expected.width);
    QCOMPARE(actual.height, expected.height);
}

void tst_Layout::oddWidthDropsTheHalf()
{
    const EditorGeometry g = Form_Resize(EditorGeometry{}, 8445, kCreationClientHeight, 15);
    QCOMPARE(g.tvVariables.width, 3952);
    QCOMPARE(g.tvFunctions.width, 3952);
    QCOMPARE(g.tvFunctions.left, 180 + 3952 + 180);
}

void tst_Layout::tinyWindowRefusesNegativeSizes()
{
    const EditorGeometry before = laidOut(EditorGeometry{}, kCreationClientWidth, kCreationClientHeight, 15, true);
    const EditorGeometry g = laidOut(before, kCreationClientWidth, 600, 15, true);
    QCOMPARE(g.cmdCheck.top, -75);
    QCOMPARE(g.cmdValueList.top, -75);
    QCOMPARE(g.tvVariables, before.tvVariables);
    QCOMPARE(g.picbottom, before.picbottom);
    QCOMPARE(g.tvFunctions, (TwipRect{4305, 360, 3945, 2460}));
    QCOMPARE(g.cmdOK.top, 45);
    QCOMPARE(g.cmdCancel.top, 45);
    // The lower area kept its size, so its inside is unchanged too.
    QCOMPARE(g.txtScript, before.txtScript);

    // The inside of a lower area too small for the frame refuses the script box.
    const EditorGeometry squeezed = picbottom_Resize(before, 8070, 500, 15, true);
    QCOMPARE(squeezed.txtScript, before.txtScript);
    QCOMPARE(squeezed.frInfo.width, 8070);
}

NVTARNIX_TEST_CLASS(tst_Layout)

#include "tst_layout.moc"
