#include "testenv.h"

#include "config/ddatamanager.h"
#include "config/hardwaresource.h"

#include <QSignalSpy>

#include <QFile>
#include <QSysInfo>

#undef signals
#include <umockdev.h>

#include <memory>

namespace {

struct TestbedDeleter
{
    void operator()(UMockdevTestbed *testbed) const { g_object_unref(testbed); }
};
using Testbed = std::unique_ptr<UMockdevTestbed, TestbedDeleter>;

void writeOverlay(UMockdevTestbed *testbed, const QString &path, const QByteArray &content)
{
    gchar *root = umockdev_testbed_get_root_dir(testbed);
    const QString full = QString::fromLocal8Bit(root) + path;
    g_free(root);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList g_messages;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_messages << message;
}

HardwareInventory gather()
{
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    HardwareInventory inventory;
    inventory.cpuName = queryProcessorLine(QStringLiteral("wmic cpu get Name"));
    gatherHardwareInventory(inventory);
    qInstallMessageHandler(previous);
    return inventory;
}

} // namespace

class TestHardwareSource : public QObject
{
    Q_OBJECT
private slots:
    void fullMachine();
    void emptyMachine();
    void dataManagerGathers();
};

void TestHardwareSource::fullMachine()
{
    Testbed testbed(umockdev_testbed_new());
    UMockdevTestbed *tb = testbed.get();

    writeOverlay(tb, "/proc/cpuinfo",
                 "processor\t: 0\nmodel name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\nphysical id\t: 0\n\n"
                 "processor\t: 1\nmodel name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\nphysical id\t: 0\n\n"
                 "processor\t: 2\nmodel name\t: Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz\nphysical id\t: 1\n\n"
                 "processor\t: 3\nmodel name\t: Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz\nphysical id\t: 1\n");
    writeOverlay(tb, "/proc/asound/cards",
                 " 0 [NVidia         ]: HDA-Intel - HDA NVidia\n"
                 "                      HDA NVidia at 0xf7080000 irq 17\n"
                 " 1 [Device         ]: USB-Audio - USB Audio Device\n"
                 "                      C-Media USB Audio Device at usb-0000:00:14.0-2, full speed\n");

    umockdev_testbed_add_device(tb, "dmi", "id", nullptr,
                                "board_vendor", "ASUSTeK COMPUTER INC.\n", "board_name", "PRIME B450M-A\n", nullptr,
                                "MEMORY_DEVICE_0_SIZE", "8589934592", "MEMORY_DEVICE_0_MANUFACTURER", "Samsung",
                                "MEMORY_DEVICE_0_PRESENT", "1", "MEMORY_DEVICE_1_PRESENT", "0",
                                "MEMORY_DEVICE_10_SIZE", "17179869184",
                                "MEMORY_DEVICE_10_MANUFACTURER", "Micron Technology", nullptr);

    gchar *nvme = umockdev_testbed_add_device(tb, "nvme", "nvme0", nullptr,
                                              "model", "Samsung SSD 970 EVO 500GB               \n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "block", "nvme0n1", nvme, "size", "976773168\n", nullptr,
                                       "DEVTYPE", "disk", nullptr));
    g_free(umockdev_testbed_add_device(tb, "block", "nvme0n1p1", nvme, "size", "2048\n", nullptr,
                                       "DEVTYPE", "partition", nullptr));
    g_free(nvme);
    gchar *mmc = umockdev_testbed_add_device(tb, "mmc", "mmc0:0001", nullptr, "name", "SD32G\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "block", "mmcblk0", mmc, "size", "62333952\n", nullptr,
                                       "DEVTYPE", "disk", nullptr));
    g_free(umockdev_testbed_add_device(tb, "block", "sr0", mmc, "size", "2097151\n", nullptr,
                                       "DEVTYPE", "disk", nullptr));
    g_free(mmc);
    g_free(umockdev_testbed_add_device(tb, "block", "loop0", nullptr, "size", "100\n", nullptr,
                                       "DEVTYPE", "disk", nullptr));
    g_free(umockdev_testbed_add_device(tb, "block", "dm-0", nullptr, "size", "100\n", nullptr,
                                       "DEVTYPE", "disk", nullptr));

    gchar *amd = umockdev_testbed_add_device(tb, "pci", "0000:03:00.0", nullptr,
                                             "vendor", "0x1002\n", "device", "0x73bf\n",
                                             "mem_info_vram_total", "17163091968\n", nullptr,
                                             "ID_MODEL_FROM_DATABASE", "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]", nullptr);
    gchar *card0 = umockdev_testbed_add_device(tb, "drm", "card0", amd, nullptr, "DEVTYPE", "drm_minor", nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card0-DP-1", card0, "status", "connected\n", nullptr, nullptr));
    g_free(card0);
    g_free(amd);
    gchar *nvidia = umockdev_testbed_add_device(tb, "pci", "0000:01:00.0", nullptr,
                                                "vendor", "0x10de\n", "device", "0x2484\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card1", nvidia, nullptr, "DEVTYPE", "drm_minor", nullptr));
    g_free(nvidia);
    gchar *intel = umockdev_testbed_add_device(tb, "pci", "0000:00:02.0", nullptr,
                                               "vendor", "0x8086\n", "device", "0x3e92\n",
                                               "mem_info_vram_total", "1073741824\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card10", intel, nullptr, "DEVTYPE", "drm_minor", nullptr));
    g_free(intel);

    gchar *nic = umockdev_testbed_add_device(tb, "pci", "0000:04:00.0", nullptr, "vendor", "0x8086\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "net", "enp4s0", nic, "flags", "0x1003\n", nullptr, nullptr));
    g_free(umockdev_testbed_add_device(tb, "net", "wlp5s0", nic, "flags", "0x1002\n", nullptr, nullptr));
    g_free(nic);
    g_free(umockdev_testbed_add_device(tb, "net", "lo", nullptr, "flags", "0x9\n", nullptr, nullptr));
    g_free(umockdev_testbed_add_device(tb, "net", "docker0", nullptr, "flags", "0x1003\n", nullptr, nullptr));

    const HardwareInventory inventory = gather();
    QCOMPARE(inventory.cpuName, QStringLiteral("Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz "
                                               "Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz"));
    QCOMPARE(inventory.boardName, QStringLiteral("ASUSTeK COMPUTER INC. PRIME B450M-A"));
    QCOMPARE(inventory.memoryModules,
             QStringList({"Samsung,8.0 GB", "Micron Technology,16.0 GB"}));
    QCOMPARE(inventory.disks, QStringList({"SD32G,29.7 GB", "Samsung SSD 970 EVO 500GB,465.8 GB"}));
    QCOMPARE(inventory.graphicsAdapters,
             QStringList({"AMD Navi 21 [Radeon RX 6800/6800 XT / 6900 XT],16.0GB", "Intel 0x3e92,1.0GB"}));
    QCOMPARE(inventory.soundDevices, QStringList({"USB Audio Device"}));
    QCOMPARE(inventory.networkAdapters, QStringList({"enp4s0"}));
    QCOMPARE(inventory.osCaption, QSysInfo::prettyProductName());

    const QStringList labels = {"CPU:", "Motherboard:", "Memorychip:", "Diskdrive:", "GPU:",
                                "Audio:", "Network:", "SystemVersion:"};
    QCOMPARE(g_messages.size(), labels.size());
    for (int i = 0; i < labels.size(); ++i) {
        const QString label = QStringLiteral("Windows HardwareInfo %1 %2")
                                  .arg(i + 1, 2, 10, QLatin1Char('0')).arg(labels.at(i));
        QVERIFY2(g_messages.at(i).startsWith(label), qPrintable(g_messages.at(i)));
    }
}

void TestHardwareSource::emptyMachine()
{
    Testbed testbed(umockdev_testbed_new());
    writeOverlay(testbed.get(), "/proc/cpuinfo", "");
    writeOverlay(testbed.get(), "/proc/asound/cards", "--- no soundcards ---\n");

    const HardwareInventory inventory = gather();
    QCOMPARE(inventory.cpuName, QString());
    QCOMPARE(inventory.boardName, QStringLiteral(" "));
    QVERIFY(inventory.memoryModules.isEmpty());
    QVERIFY(inventory.disks.isEmpty());
    QVERIFY(inventory.graphicsAdapters.isEmpty());
    QCOMPARE(inventory.soundDevices, QStringList({QString()}));
    QVERIFY(inventory.networkAdapters.isEmpty());
    QCOMPARE(g_messages.size(), 8);
}

void TestHardwareSource::dataManagerGathers()
{
    Testbed testbed(umockdev_testbed_new());
    writeOverlay(testbed.get(), "/proc/cpuinfo", "model name\t: Test CPU   9000\n");
    writeOverlay(testbed.get(), "/proc/asound/cards", " 0 [HDMI ]: HDA-Intel - Realtek High Definition Audio\n");
    umockdev_testbed_add_device(testbed.get(), "dmi", "id", nullptr, "board_vendor", "Acme\n",
                                "board_name", "Board 1\n", nullptr, "MEMORY_DEVICE_0_SIZE", "4294967296",
                                "MEMORY_DEVICE_0_MANUFACTURER", "Kingston", nullptr);

    DDataManager *data = DDataManager::instance();
    QSignalSpy over(data, &DDataManager::sigGetPcHardwareInfoOver);
    data->theHardwareInfoGet();
    QCOMPARE(over.count(), 1);
    QCOMPARE(data->cpuName(), QStringLiteral("Test CPU 9000"));
    QCOMPARE(data->getInfo(QStringLiteral("wmic cpu get Name")), QStringLiteral("Test CPU 9000"));
    QCOMPARE(data->boardName(), QStringLiteral("Acme Board 1"));
    QCOMPARE(data->memoryModules(), QStringList({"Kingston,4.0 GB"}));
    QVERIFY(data->disks().isEmpty());
    QVERIFY(data->graphicsAdapters().isEmpty());
    QCOMPARE(data->soundDevices(), QStringList({"Realtek High Definition Audio"}));
    QVERIFY(data->networkAdapters().isEmpty());
    QCOMPARE(data->osCaption(), QSysInfo::prettyProductName());
}

KESTRUN_TEST_MAIN(TestHardwareSource)
#include "tst_hardwaresource.moc"
