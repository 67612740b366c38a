#include "config/temperatureunit.h"
#include "testenv.h"

#include <QSettings>

#include <memory>

using namespace kestrun::test;

// The per-user unit in the native store of this test's temporary home.
class TestTemperatureUnit : public QObject
{
    Q_OBJECT

    static std::unique_ptr<QSettings> store()
    {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "MyCompanyTalvex", "Kestrun");
    }

private slots:
    void init() { store()->clear(); }

    void startUnit_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("unit");
        QTest::newRow("nothing stored") << QVariant() << kUnitCelsius;
        QTest::newRow("Celsius") << QVariant(1) << kUnitCelsius;
        QTest::newRow("Fahrenheit") << QVariant(2) << kUnitFahrenheit;
        QTest::newRow("7") << QVariant(7) << kUnitFahrenheit;
        QTest::newRow("0") << QVariant(0) << kUnitFahrenheit;
        QTest::newRow("not a number") << QVariant("abc") << kUnitFahrenheit;
        QTest::newRow("empty text") << QVariant("") << kUnitFahrenheit;
    }

    void startUnit()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, unit);
        if (stored.isValid())
            store()->setValue("TempShowModel/Model", stored);
        QCOMPARE(loadTemperatureUnit(), unit);
        // reading leaves the store as it was
        QCOMPARE(store()->value("TempShowModel/Model"), stored);
    }

    // Each choice is written at once, where the program's settings live for this user.
    void storeWritesTheUserFile()
    {
        storeTemperatureUnit(kUnitFahrenheit);
        QCOMPARE(loadTemperatureUnit(), kUnitFahrenheit);
        storeTemperatureUnit(kUnitCelsius);
        QCOMPARE(loadTemperatureUnit(), kUnitCelsius);
#ifdef Q_OS_LINUX
        QSettings file(homePath() + "/.config/MyCompanyTalvex/Kestrun.conf", QSettings::IniFormat);
        QCOMPARE(file.value("TempShowModel/Model").toInt(), kUnitCelsius);
#endif
    }
};

KESTRUN_TEST_MAIN(TestTemperatureUnit)
#include "tst_temperatureunit.moc"
