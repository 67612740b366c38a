// The inventory's Windows source: WMI through COM, against what wine itself reports (its WMI
// classes answer from the processor's own brand string and from the system version it plays).
#include "testenv.h"

#include "platform/hardwaresource.h"
#include "platform/wmiquery_win.h"

#include <QElapsedTimer>
#include <QSettings>

#include <cpuid.h>
#include <cstring>

namespace {

QStringList g_messages;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_messages << message;
}

// The processor's brand string, as the processor itself gives it.
QString brandString()
{
    char brand[49] = {};
    for (unsigned leaf = 0; leaf < 3; ++leaf) {
        unsigned registers[4] = {};
        if (!__get_cpuid(0x80000002 + leaf, &registers[0], &registers[1], &registers[2], &registers[3]))
            return QString();
        std::memcpy(brand + sizeof registers * leaf, registers, sizeof registers);
    }
    return QString::fromLatin1(brand).simplified();
}

// A VARIANT holding one value; cleared when it goes.
struct Value {
    VARIANT variant;
    explicit Value(VARTYPE type)
    {
        VariantInit(&variant);
        variant.vt = type;
    }
    ~Value() { VariantClear(&variant); }
};

} // namespace

class TestHardwareSourceWin : public QObject
{
    Q_OBJECT

private slots:
    void valueText()
    {
        const struct {
            const char *what;
            VARTYPE type;
            CIMTYPE cimType;
            long long number;
            const char *text;
        } cases[] = {
            {"unsigned 32 bits carried as signed", VT_I4, CIM_UINT32, qint32(0xFFF00000u), "4293918720"},
            {"signed 32 bits", VT_I4, CIM_SINT32, -5, "-5"},
            {"unsigned 16 bits carried as 32", VT_I4, CIM_UINT16, 3200, "3200"},
            {"unsigned 16 bits carried as signed 16", VT_I2, CIM_UINT16, qint16(0xFFFF), "65535"},
            {"byte", VT_UI1, CIM_UINT8, 200, "200"},
            {"unsigned 32 bits", VT_UI4, CIM_UINT32, 4000000000LL, "4000000000"},
            {"true", VT_BOOL, CIM_BOOLEAN, VARIANT_TRUE, "TRUE"},
            {"false", VT_BOOL, CIM_BOOLEAN, VARIANT_FALSE, "FALSE"},
            {"null", VT_NULL, CIM_STRING, 0, ""},
            {"double, as COM writes it", VT_R8, CIM_REAL64, 0, "0"},
        };
        for (const auto &c : cases) {
            Value value(c.type);
            switch (c.type) {
            case VT_I4:
                value.variant.lVal = LONG(c.number);
                break;
            case VT_I2:
                value.variant.iVal = SHORT(c.number);
                break;
            case VT_UI1:
                value.variant.bVal = BYTE(c.number);
                break;
            case VT_UI4:
                value.variant.ulVal = ULONG(c.number);
                break;
            case VT_BOOL:
                value.variant.boolVal = VARIANT_BOOL(c.number);
                break;
            case VT_R8:
                value.variant.dblVal = double(c.number);
                break;
            default:
                break;
            }
            QVERIFY2(wmiValueText(value.variant, c.cimType) == QLatin1String(c.text), c.what);
        }
        // 64-bit numbers come as text.
        Value size(VT_BSTR);
        size.variant.bstrVal = SysAllocString(L"1000202273280");
        QCOMPARE(wmiValueText(size.variant, CIM_UINT64), QStringLiteral("1000202273280"));
    }

    void rowsOfAQuery()
    {
        const WmiConnection wmi;
        QVERIFY(wmi.isConnected());
        const QVector<QStringList> rows =
            wmi.select("Win32_OperatingSystem", {"Caption", "OSArchitecture"}, QString(), QDeadlineTimer(30000));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).size(), 2);
        QVERIFY(rows.at(0).at(0).startsWith("Microsoft Windows"));
        // A query WMI refuses gives no rows.
        QVERIFY(wmi.select("Win32_NoSuchClass", {"Name"}, QString(), QDeadlineTimer(30000)).isEmpty());
        // Past its deadline a query takes nothing more.
        QVERIFY(wmi.select("Win32_Process", {"Name"}, QString(), QDeadlineTimer(0)).isEmpty());
    }

    void inventory()
    {
        g_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collect);
        QElapsedTimer timer;
        timer.start();
        HardwareInventory inventory;
        inventory.cpuName = queryProcessorLine(QStringLiteral("wmic cpu get Name"));
        gatherHardwareInventory(inventory);
        const qint64 elapsed = timer.elapsed();
        qInstallMessageHandler(previous);
        qInfo("inventory gathered in %lld ms", elapsed);

        QCOMPARE(inventory.cpuName, brandString());
        const QString productName =
            QSettings("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", QSettings::NativeFormat)
                .value("ProductName")
                .toString();
        QVERIFY(!productName.isEmpty());
        QVERIFY2(inventory.osCaption.startsWith(productName), qPrintable(inventory.osCaption));
        QCOMPARE(inventory.soundDevices.size(), 1);

        // The log lines of the tool's queries, in order, each with the table it would have printed.
        const char *labels[] = {"Windows HardwareInfo 01 CPU:",        "Windows HardwareInfo 02 Motherboard:",
                                "Windows HardwareInfo 03 Memorychip:", "Windows HardwareInfo 04 Diskdrive:",
                                "Windows HardwareInfo 05 GPU:",        "Windows HardwareInfo 06 Audio:",
                                "Windows HardwareInfo 07 Network:",    "Windows HardwareInfo 08 SystemVersion:"};
        QCOMPARE(g_messages.size(), 8);
        for (int i = 0; i < 8; ++i)
            QVERIFY2(g_messages.at(i).startsWith(QLatin1String(labels[i])), qPrintable(g_messages.at(i)));
        QVERIFY2(g_messages.at(0).contains("Name") && g_messages.at(0).contains(brandString()),
                 qPrintable(g_messages.at(0)));
        QVERIFY2(g_messages.at(7).contains("Caption"), qPrintable(g_messages.at(7)));
    }
};

KESTRUN_TEST_MAIN(TestHardwareSourceWin)
#include "tst_hardwaresource_win.moc"
