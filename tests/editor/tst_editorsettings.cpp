// The font-size setting as the user's settings file holds it: the same text
// in every locale, and read back whatever locale wrote it.
#include "editor/EditorSettings.h"

#include "TestMain.h"

#include <QSettings>
#include <QTest>

using namespace nvtarnix::editor;

namespace {

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarnix"));
}

} // namespace

class tst_EditorSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { userSettings().clear(); }

    void writtenText_data()
    {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("quarter") << 10.25 << "10.25";
        QTest::newRow("whole") << 8.0 << "8";
        QTest::newRow("no thousands separator") << 1234.5 << "1234.5";
    }
    void writtenText()
    {
        QFETCH(double, size);
        QFETCH(QString, text);
        writeFontSizeSetting(size);
        QCOMPARE(userSettings().value(QStringLiteral("Editor/fontsize")).toString(), text);
    }

    void storedText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("size"); // 0: not a size
        QTest::newRow("decimal point") << "10.25" << 10.25;
        QTest::newRow("decimal comma") << "10,25" << 10.25;
        QTest::newRow("blanks around") << " 9.5 " << 9.5;
        QTest::newRow("whole") << "12" << 12.0;
        QTest::newRow("five decimals") << "7.123456" << 7.1235;
        QTest::newRow("letters") << "large" << 0.0;
        QTest::newRow("point and comma") << "1.234,5" << 0.0;
        QTest::newRow("two commas") << "1,2,3" << 0.0;
        QTest::newRow("infinite") << "inf" << 0.0;
    }
    void storedText()
    {
        QFETCH(QString, stored);
        QFETCH(double, size);
        userSettings().setValue(QStringLiteral("Editor/fontsize"), stored);
        const std::optional<double> read = readFontSizeSetting(8.25);
        QCOMPARE(read.value_or(0.0), size);
    }

    void nothingStoredGivesTheDefault()
    {
        QCOMPARE(readFontSizeSetting(8.25), std::optional<double>(8.25));
    }
};

NVTARNIX_TEST_CLASS(tst_EditorSettings)

#include "tst_editorsettings.moc"
