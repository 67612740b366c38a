#include "fixtures.h"
#include "testenv.h"

#include "config/ddatamanager.h"
#include "fakenvml.h"
#include "mainwindow/dmainwidget.h"
#include "platform/hardwaresource.h"

#include <QLabel>
#include <QSignalSpy>

#include <QFile>
#include <QSysInfo>

#include <dlfcn.h>

#undef signals
#include <umockdev.h>

#include <memory>

using kestrun::test::readFixture;

namespace {

struct TestbedDeleter {
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

// The stand-in libnvidia-ml.so.1 (tests/sensorsdk), found through LD_LIBRARY_PATH: the same copy
// the inventory loads.
struct FakeNvml {
    void *library = ::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL);
    template <typename F>
    F entry(const char *name) const
    {
        return library ? reinterpret_cast<F>(::dlsym(library, name)) : nullptr;
    }
    FakeNvmlConfigure configure = entry<FakeNvmlConfigure>("fakeNvmlConfigure");
    FakeNvmlSetMemory setMemory = entry<FakeNvmlSetMemory>("fakeNvmlSetMemory");
    FakeNvmlQueries queries = entry<FakeNvmlQueries>("fakeNvmlQueries");
    FakeNvmlOpenSessions sessions = entry<FakeNvmlOpenSessions>("fakeNvmlOpenSessions");
    bool complete() const { return configure && setMemory && queries && sessions; }
    ~FakeNvml()
    {
        if (library)
            ::dlclose(library);
    }
};

// NVML's answer when no NVIDIA driver is loaded.
constexpr int kNvmlDriverNotLoaded = 9;

void addRecord(UMockdevTestbed *testbed, const char *record)
{
    GError *error = nullptr;
    const bool added = umockdev_testbed_add_from_string(testbed, record, &error);
    const QString message = error ? QString::fromUtf8(error->message) : QString();
    g_clear_error(&error);
    QVERIFY2(added, qPrintable(message));
}

// A desktop as udev describes it, in umockdev-record's format. The hardware database's names are
// copied from Debian's udev package (/usr/lib/udev/hwdb.d/20-pci-vendor-model.hwdb and
// 20-usb-vendor-model.hwdb; each one's match key is given) and the class names from
// 20-pci-classes.hwdb. Drive models are the drives' own identify strings, as the kernel shows them:
// the database names only the controllers.
const char kDesktop[] =
    // Intel integrated graphics on i915, which keeps no memory figure in sysfs.
    // pci:v00008086* and pci:v00008086d00003E92*
    "P: /devices/pci0000:00/0000:00:02.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=i915\nE: PCI_CLASS=30000\nE: PCI_ID=8086:3E92\n"
    "E: ID_PCI_CLASS_FROM_DATABASE=Display controller\nE: ID_PCI_SUBCLASS_FROM_DATABASE=VGA compatible controller\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\nE: ID_MODEL_FROM_DATABASE=CoffeeLake-S GT2 [UHD Graphics 630]\n"
    "A: class=0x030000\nA: vendor=0x8086\nA: device=0x3e92\nL: driver=../../../bus/pci/drivers/i915\n\n"
    "P: /devices/pci0000:00/0000:00:02.0/drm/card0\nE: SUBSYSTEM=drm\nE: DEVTYPE=drm_minor\n\n"
    // The root port in front of the NVIDIA card: a bridge, not an adapter.
    // pci:v00008086d00001901*
    "P: /devices/pci0000:00/0000:00:01.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=pcieport\nE: PCI_CLASS=60400\nE: ID_PCI_SUBCLASS_FROM_DATABASE=PCI bridge\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\n"
    "E: ID_MODEL_FROM_DATABASE=6th-10th Gen Core Processor PCIe Controller (x16)\n"
    "A: class=0x060400\nA: vendor=0x8086\nA: device=0x1901\n\n"
    // NVIDIA on its own driver, without a drm card and without a memory figure in sysfs, and the
    // card's sound function. pci:v000010DE*, pci:v000010DEd00002484* and pci:v000010DEd0000228B*
    "P: /devices/pci0000:00/0000:00:01.0/0000:01:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=nvidia\nE: PCI_CLASS=30000\nE: PCI_ID=10DE:2484\n"
    "E: ID_PCI_SUBCLASS_FROM_DATABASE=VGA compatible controller\n"
    "E: ID_VENDOR_FROM_DATABASE=NVIDIA Corporation\nE: ID_MODEL_FROM_DATABASE=GA104 [GeForce RTX 3070]\n"
    "A: class=0x030000\nA: vendor=0x10de\nA: device=0x2484\nL: driver=../../../../bus/pci/drivers/nvidia\n\n"
    "P: /devices/pci0000:00/0000:00:01.0/0000:01:00.1\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=snd_hda_intel\nE: PCI_CLASS=40300\nE: ID_PCI_SUBCLASS_FROM_DATABASE=Audio device\n"
    "E: ID_VENDOR_FROM_DATABASE=NVIDIA Corporation\nE: ID_MODEL_FROM_DATABASE=GA104 High Definition Audio Controller\n"
    "A: class=0x040300\nA: vendor=0x10de\nA: device=0x228b\n\n"
    // AMD behind the card's own switch ports, on amdgpu. pci:v00001002*, pci:v00001002d00001478*,
    // pci:v00001002d00001479* and pci:v00001002d000073BF*
    "P: /devices/pci0000:00/0000:00:01.1/0000:02:00.0\n"
    "E: SUBSYSTEM=pci\nE: PCI_CLASS=60400\nE: ID_VENDOR_FROM_DATABASE=Advanced Micro Devices, Inc. [AMD/ATI]\n"
    "E: ID_MODEL_FROM_DATABASE=Navi 10 XL Upstream Port of PCI Express Switch\n"
    "A: class=0x060400\nA: vendor=0x1002\nA: device=0x1478\n\n"
    "P: /devices/pci0000:00/0000:00:01.1/0000:02:00.0/0000:03:00.0\n"
    "E: SUBSYSTEM=pci\nE: PCI_CLASS=60400\nE: ID_VENDOR_FROM_DATABASE=Advanced Micro Devices, Inc. [AMD/ATI]\n"
    "E: ID_MODEL_FROM_DATABASE=Navi 10 XL Downstream Port of PCI Express Switch\n"
    "A: class=0x060400\nA: vendor=0x1002\nA: device=0x1479\n\n"
    "P: /devices/pci0000:00/0000:00:01.1/0000:02:00.0/0000:03:00.0/0000:04:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=amdgpu\nE: PCI_CLASS=30000\nE: PCI_ID=1002:73BF\n"
    "E: ID_VENDOR_FROM_DATABASE=Advanced Micro Devices, Inc. [AMD/ATI]\n"
    "E: ID_MODEL_FROM_DATABASE=Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]\n"
    "A: class=0x030000\nA: vendor=0x1002\nA: device=0x73bf\nA: mem_info_vram_total=17163091968\n"
    "L: driver=../../../../../../bus/pci/drivers/amdgpu\n\n"
    "P: /devices/pci0000:00/0000:00:01.1/0000:02:00.0/0000:03:00.0/0000:04:00.0/drm/card1\n"
    "E: SUBSYSTEM=drm\nE: DEVTYPE=drm_minor\n\n"
    // Intel discrete graphics on xe, which gives each tile's local memory.
    // pci:v00008086d000056A0*
    "P: /devices/pci0000:00/0000:00:1c.0/0000:05:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=xe\nE: PCI_CLASS=30000\nE: PCI_ID=8086:56A0\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\nE: ID_MODEL_FROM_DATABASE=DG2 [Arc A770]\n"
    "A: class=0x030000\nA: vendor=0x8086\nA: device=0x56a0\nA: tile0/physical_vram_size_bytes=17179869184\n\n"
    // Wired: udev copies the database's names onto the interface (75-net-description.rules).
    // pci:v000010EC* and pci:v000010ECd00008168*
    "P: /devices/pci0000:00/0000:00:1c.4/0000:06:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=r8169\nE: PCI_CLASS=20000\nE: ID_PCI_SUBCLASS_FROM_DATABASE=Ethernet controller\n"
    "E: ID_VENDOR_FROM_DATABASE=Realtek Semiconductor Co., Ltd.\n"
    "E: ID_MODEL_FROM_DATABASE=RTL8111/8168/8211/8411 PCI Express Gigabit Ethernet Controller\n"
    "A: class=0x020000\nA: vendor=0x10ec\nA: device=0x8168\n\n"
    "P: /devices/pci0000:00/0000:00:1c.4/0000:06:00.0/net/enp6s0\n"
    "E: SUBSYSTEM=net\nE: INTERFACE=enp6s0\nE: IFINDEX=2\nE: ID_BUS=pci\nE: ID_VENDOR_ID=0x10ec\nE: "
    "ID_MODEL_ID=0x8168\n"
    "E: ID_VENDOR_FROM_DATABASE=Realtek Semiconductor Co., Ltd.\n"
    "E: ID_MODEL_FROM_DATABASE=RTL8111/8168/8211/8411 PCI Express Gigabit Ethernet Controller\n"
    "E: ID_NET_NAME_PATH=enp6s0\nA: flags=0x1003\nA: operstate=up\n\n"
    // Wireless. pci:v00008086d00002723*
    "P: /devices/pci0000:00/0000:00:1c.5/0000:07:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=iwlwifi\nE: PCI_CLASS=28000\nE: ID_PCI_SUBCLASS_FROM_DATABASE=Network controller\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\nE: ID_MODEL_FROM_DATABASE=Wi-Fi 6 AX200\n"
    "A: class=0x028000\nA: vendor=0x8086\nA: device=0x2723\n\n"
    "P: /devices/pci0000:00/0000:00:1c.5/0000:07:00.0/net/wlp7s0\n"
    "E: SUBSYSTEM=net\nE: DEVTYPE=wlan\nE: INTERFACE=wlp7s0\nE: IFINDEX=3\nE: ID_BUS=pci\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\nE: ID_MODEL_FROM_DATABASE=Wi-Fi 6 AX200\n"
    "E: ID_NET_NAME_PATH=wlp7s0\nA: flags=0x1003\nA: operstate=up\n\n"
    // USB adapters below the root hub, whose interfaces udev has not described (yet): the names are
    // the USB device's. usb:v1D6B*, usb:v1D6Bp0003*, usb:v0BDA* and usb:v0BDAp8153*; the second
    // adapter (0bda:c811) is one the database does not know.
    "P: /devices/pci0000:00/0000:00:14.0/usb2\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: ID_VENDOR_FROM_DATABASE=Linux Foundation\n"
    "E: ID_MODEL_FROM_DATABASE=3.0 root hub\nA: idVendor=1d6b\nA: idProduct=0003\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-1\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: ID_VENDOR_FROM_DATABASE=Realtek Semiconductor Corp.\n"
    "E: ID_MODEL_FROM_DATABASE=RTL8153 Gigabit Ethernet Adapter\nA: idVendor=0bda\nA: idProduct=8153\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=r8152\nA: bInterfaceNumber=00\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/net/enx00e04c680001\n"
    "E: SUBSYSTEM=net\nE: INTERFACE=enx00e04c680001\nE: IFINDEX=4\nA: flags=0x1003\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-2\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: ID_VENDOR_FROM_DATABASE=Realtek Semiconductor Corp.\n"
    "A: idVendor=0bda\nA: idProduct=c811\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceNumber=00\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0/net/wlx00e04c000002\n"
    "E: SUBSYSTEM=net\nE: DEVTYPE=wlan\nE: INTERFACE=wlx00e04c000002\nE: IFINDEX=5\nA: flags=0x1003\n\n"
    // NVMe with the kernel's native multipath: the disk lives under the NVMe subsystem, and the
    // controller's own path to it (nvme0c0n1) is hidden. pci:v0000144D* and pci:v0000144Dd0000A808*
    "P: /devices/pci0000:00/0000:00:1d.0/0000:08:00.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=nvme\nE: PCI_CLASS=10802\nE: ID_PCI_INTERFACE_FROM_DATABASE=NVM Express\n"
    "E: ID_VENDOR_FROM_DATABASE=Samsung Electronics Co Ltd\n"
    "E: ID_MODEL_FROM_DATABASE=NVMe SSD Controller SM981/PM981/PM983\n"
    "A: class=0x010802\nA: vendor=0x144d\nA: device=0xa808\n\n"
    "P: /devices/pci0000:00/0000:00:1d.0/0000:08:00.0/nvme/nvme0\n"
    "E: SUBSYSTEM=nvme\nE: DEVNAME=/dev/nvme0\nA: model=Samsung SSD 970 EVO Plus 1TB            \\n\n"
    "A: firmware_rev=2B2QEXM7\\n\n\n"
    "P: /devices/pci0000:00/0000:00:1d.0/0000:08:00.0/nvme/nvme0/nvme0c0n1\n"
    "E: SUBSYSTEM=block\nE: DEVTYPE=disk\nA: hidden=1\nA: size=1953525168\n\n"
    "P: /devices/virtual/nvme-subsystem/nvme-subsys0\n"
    "E: SUBSYSTEM=nvme-subsystem\nA: model=Samsung SSD 970 EVO Plus 1TB            \\n\n\n"
    "P: /devices/virtual/nvme-subsystem/nvme-subsys0/nvme0n1\n"
    "E: SUBSYSTEM=block\nE: DEVTYPE=disk\nE: DEVNAME=/dev/nvme0n1\nE: ID_MODEL=Samsung SSD 970 EVO Plus 1TB\n"
    "A: hidden=0\nA: size=1953525168\n\n"
    "P: /devices/virtual/nvme-subsystem/nvme-subsys0/nvme0n1/nvme0n1p1\n"
    "E: SUBSYSTEM=block\nE: DEVTYPE=partition\nA: size=1048576\n\n"
    // SATA through AHCI: the SCSI device's `model` keeps only the first 16 characters of the
    // drive's model; ata_id (60-persistent-storage.rules) gives the whole one.
    // pci:v00008086d0000A352*
    "P: /devices/pci0000:00/0000:00:17.0\n"
    "E: SUBSYSTEM=pci\nE: DRIVER=ahci\nE: PCI_CLASS=10601\nE: ID_PCI_INTERFACE_FROM_DATABASE=AHCI 1.0\n"
    "E: ID_VENDOR_FROM_DATABASE=Intel Corporation\nE: ID_MODEL_FROM_DATABASE=Cannon Lake PCH SATA AHCI Controller\n"
    "A: class=0x010601\nA: vendor=0x8086\nA: device=0xa352\n\n"
    "P: /devices/pci0000:00/0000:00:17.0/ata1/host0\nE: SUBSYSTEM=scsi\nE: DEVTYPE=scsi_host\n\n"
    "P: /devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0\nE: SUBSYSTEM=scsi\nE: DEVTYPE=scsi_target\n\n"
    "P: /devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0\n"
    "E: SUBSYSTEM=scsi\nE: DEVTYPE=scsi_device\nE: DRIVER=sd\n"
    "A: vendor=ATA     \\n\nA: model=Samsung SSD 860 \\n\nA: rev=4B6Q\\n\n\n"
    "P: /devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda\n"
    "E: SUBSYSTEM=block\nE: DEVTYPE=disk\nE: DEVNAME=/dev/sda\nE: ID_ATA=1\nE: ID_BUS=ata\n"
    "E: ID_MODEL=Samsung_SSD_860_EVO_500GB\n"
    "E: "
    "ID_MODEL_ENC="
    "Samsung\\x20SSD\\x20860\\x20EVO\\x20500GB\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x20\\x"
    "20\n"
    "E: ID_REVISION=RVT04B6Q\nA: hidden=0\nA: size=976773168\n";

// The NVIDIA card of kDesktop as NVML sees it.
const FakeNvmlGpu kDesktopNvidia{0, 1, "NVIDIA GeForce RTX 3070", 50, 0, 1500, 20000, 0, 0};

} // namespace

class TestHardwareSource : public QObject
{
    Q_OBJECT
private slots:
    void fullMachine();
    void emptyMachine();
    void recordedProcessors_data();
    void recordedProcessors();
    void dataManagerGathers();
    void desktop_data();
    void desktop();
    void desktopOnThePage();
    void adapterNames_data();
    void adapterNames();
};

void TestHardwareSource::fullMachine()
{
    FakeNvml nvml;
    QVERIFY2(nvml.complete(), "the stand-in libnvidia-ml.so.1 is not on the path");
    nvml.configure(kNvmlDriverNotLoaded, 0, nullptr);
    Testbed testbed(umockdev_testbed_new());
    UMockdevTestbed *tb = testbed.get();

    writeOverlay(tb, "/proc/cpuinfo",
                 "processor\t: 0\nmodel name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\nphysical id\t: 0\n\n"
                 "processor\t: 1\nmodel name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\nphysical id\t: 0\n\n"
                 "processor\t: 2\nmodel name\t: Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz\nphysical id\t: 1\n\n"
                 "processor\t: 3\nmodel name\t: Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz\nphysical id\t: 1\n");
    writeOverlay(tb, "/proc/asound/cards", readFixture("asound/cards-hdmi-and-usb.txt"));

    umockdev_testbed_add_device(tb, "dmi", "id", nullptr, "board_vendor", "ASUSTeK COMPUTER INC.\n", "board_name",
                                "PRIME B450M-A\n", nullptr, "MEMORY_DEVICE_0_SIZE", "8589934592",
                                "MEMORY_DEVICE_0_MANUFACTURER", "Samsung", "MEMORY_DEVICE_0_PRESENT", "1",
                                "MEMORY_DEVICE_1_PRESENT", "0", "MEMORY_DEVICE_10_SIZE", "17179869184",
                                "MEMORY_DEVICE_10_MANUFACTURER", "Micron Technology", nullptr);

    gchar *nvme = umockdev_testbed_add_device(tb, "nvme", "nvme0", nullptr, "model",
                                              "Samsung SSD 970 EVO 500GB               \n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "block", "nvme0n1", nvme, "size", "976773168\n", nullptr, "DEVTYPE", "disk",
                                       nullptr));
    g_free(umockdev_testbed_add_device(tb, "block", "nvme0n1p1", nvme, "size", "2048\n", nullptr, "DEVTYPE",
                                       "partition", nullptr));
    g_free(nvme);
    gchar *mmc = umockdev_testbed_add_device(tb, "mmc", "mmc0:0001", nullptr, "name", "SD32G\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "block", "mmcblk0", mmc, "size", "62333952\n", nullptr, "DEVTYPE", "disk",
                                       nullptr));
    g_free(
        umockdev_testbed_add_device(tb, "block", "sr0", mmc, "size", "2097151\n", nullptr, "DEVTYPE", "disk", nullptr));
    g_free(mmc);
    g_free(umockdev_testbed_add_device(tb, "block", "loop0", nullptr, "size", "100\n", nullptr, "DEVTYPE", "disk",
                                       nullptr));
    g_free(umockdev_testbed_add_device(tb, "block", "dm-0", nullptr, "size", "100\n", nullptr, "DEVTYPE", "disk",
                                       nullptr));

    gchar *amd =
        umockdev_testbed_add_device(tb, "pci", "0000:03:00.0", nullptr, "class", "0x030000\n", "vendor", "0x1002\n",
                                    "device", "0x73bf\n", "mem_info_vram_total", "17163091968\n", nullptr,
                                    "ID_MODEL_FROM_DATABASE", "Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]", nullptr);
    gchar *card0 = umockdev_testbed_add_device(tb, "drm", "card0", amd, nullptr, "DEVTYPE", "drm_minor", nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card0-DP-1", card0, "status", "connected\n", nullptr, nullptr));
    g_free(card0);
    g_free(amd);
    gchar *nvidia = umockdev_testbed_add_device(tb, "pci", "0000:01:00.0", nullptr, "class", "0x030200\n", "vendor",
                                                "0x10de\n", "device", "0x2484\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card1", nvidia, nullptr, "DEVTYPE", "drm_minor", nullptr));
    g_free(nvidia);
    gchar *intel =
        umockdev_testbed_add_device(tb, "pci", "0000:00:02.0", nullptr, "class", "0x030000\n", "vendor", "0x8086\n",
                                    "device", "0x3e92\n", "mem_info_vram_total", "1073741824\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "drm", "card10", intel, nullptr, "DEVTYPE", "drm_minor", nullptr));
    g_free(intel);

    gchar *nic = umockdev_testbed_add_device(tb, "pci", "0000:04:00.0", nullptr, "class", "0x020000\n", "vendor",
                                             "0x8086\n", nullptr, nullptr);
    g_free(umockdev_testbed_add_device(tb, "net", "enp4s0", nic, "flags", "0x1003\n", nullptr, nullptr));
    g_free(umockdev_testbed_add_device(tb, "net", "wlp5s0", nic, "flags", "0x1002\n", nullptr, nullptr));
    g_free(nic);
    g_free(umockdev_testbed_add_device(tb, "net", "lo", nullptr, "flags", "0x9\n", nullptr, nullptr));
    g_free(umockdev_testbed_add_device(tb, "net", "docker0", nullptr, "flags", "0x1003\n", nullptr, nullptr));

    const HardwareInventory inventory = gather();
    QCOMPARE(inventory.cpuName, QStringLiteral("Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz "
                                               "Intel(R) Xeon(R) Gold 6140 CPU @ 2.30GHz"));
    QCOMPARE(inventory.boardName, QStringLiteral("ASUSTeK COMPUTER INC. PRIME B450M-A"));
    QCOMPARE(inventory.memoryModules, QStringList({"Samsung,8.0 GB", "Micron Technology,16.0 GB"}));
    QCOMPARE(inventory.disks, QStringList({"SD32G,29.7 GB", "Samsung SSD 970 EVO 500GB,465.8 GB"}));
    // Bus order; without the database's maker a known vendor ID gives it, without its model the
    // device ID stands in.
    QCOMPARE(inventory.graphicsAdapters,
             QStringList({"Intel 0x3e92,1.0GB", "NVIDIA 0x2484,", "AMD Radeon RX 6800/6800 XT / 6900 XT,16.0GB"}));
    QCOMPARE(inventory.soundDevices, QStringList({"USB Audio Device"}));
    QCOMPARE(inventory.networkAdapters, QStringList({"enp4s0"}));
    QCOMPARE(inventory.osCaption, QSysInfo::prettyProductName());

    const QStringList labels = {
        "CPU:", "Motherboard:", "Memorychip:", "Diskdrive:", "GPU:", "Audio:", "Network:", "SystemVersion:"};
    QCOMPARE(g_messages.size(), labels.size());
    for (int i = 0; i < labels.size(); ++i) {
        const QString label =
            QStringLiteral("Windows HardwareInfo %1 %2").arg(i + 1, 2, 10, QLatin1Char('0')).arg(labels.at(i));
        QVERIFY2(g_messages.at(i).startsWith(label), qPrintable(g_messages.at(i)));
    }
}

void TestHardwareSource::emptyMachine()
{
    // NVML is not asked on a machine without an NVIDIA display adapter.
    FakeNvml nvml;
    QVERIFY2(nvml.complete(), "the stand-in libnvidia-ml.so.1 is not on the path");
    nvml.configure(0, 1, &kDesktopNvidia);
    nvml.setMemory(0, 8589934592ULL);
    const int queries = nvml.queries();
    Testbed testbed(umockdev_testbed_new());
    writeOverlay(testbed.get(), "/proc/cpuinfo", "");
    writeOverlay(testbed.get(), "/proc/asound/cards", readFixture("asound/cards-none.txt"));

    const HardwareInventory inventory = gather();
    QCOMPARE(inventory.cpuName, QString());
    QCOMPARE(inventory.boardName, QStringLiteral(" "));
    QVERIFY(inventory.memoryModules.isEmpty());
    QVERIFY(inventory.disks.isEmpty());
    QVERIFY(inventory.graphicsAdapters.isEmpty());
    QCOMPARE(inventory.soundDevices, QStringList({QString()}));
    QVERIFY(inventory.networkAdapters.isEmpty());
    QCOMPARE(g_messages.size(), 8);
    QCOMPARE(nvml.queries(), queries);
}

void TestHardwareSource::recordedProcessors_data()
{
    QTest::addColumn<QString>("cpuinfo");
    QTest::addColumn<QString>("cpuName");
    QTest::newRow("Intel laptop") << "intel-core-i7-8650u-laptop.txt"
                                  << "Intel(R) Core(TM) i7-8650U CPU @ 1.90GHz";
    // One name per package.
    QTest::newRow("two-socket server") << "amd-epyc-7451-two-socket-server.txt"
                                       << "AMD EPYC 7451 24-Core Processor AMD EPYC 7451 24-Core Processor";
    // No package ids: the processors are one package, named by the first of its two core types.
    QTest::newRow("ARM, two core types") << "mediatek-mt8183-armv7.txt"
                                         << "ARMv7 Processor rev 4 (v7l)";
    QTest::newRow("virtual machine") << "amd-epyc-kvm-guest.txt"
                                     << "AMD EPYC";
}

void TestHardwareSource::recordedProcessors()
{
    QFETCH(QString, cpuinfo);
    QFETCH(QString, cpuName);
    Testbed testbed(umockdev_testbed_new());
    writeOverlay(testbed.get(), "/proc/cpuinfo", readFixture("cpuinfo/" + cpuinfo));
    QCOMPARE(queryProcessorLine(QStringLiteral("wmic cpu get Name")), cpuName);
}

void TestHardwareSource::dataManagerGathers()
{
    Testbed testbed(umockdev_testbed_new());
    writeOverlay(testbed.get(), "/proc/cpuinfo", "model name\t: Test CPU   9000\n");
    writeOverlay(testbed.get(), "/proc/asound/cards", " 0 [HDMI ]: HDA-Intel - Realtek High Definition Audio\n");
    umockdev_testbed_add_device(testbed.get(), "dmi", "id", nullptr, "board_vendor", "Acme\n", "board_name",
                                "Board 1\n", nullptr, "MEMORY_DEVICE_0_SIZE", "4294967296",
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

void TestHardwareSource::desktop_data()
{
    QTest::addColumn<int>("nvmlInit");
    QTest::addColumn<uint>("nvmlBus");
    QTest::addColumn<qulonglong>("nvmlMemory");
    QTest::addColumn<QString>("nvidiaEntry");

    const QString name = QStringLiteral("NVIDIA GeForce RTX 3070,");
    QTest::newRow("NVML tells the memory") << 0 << 1u << 8589934592ULL << name + "8.0GB";
    QTest::newRow("no NVIDIA driver") << kNvmlDriverNotLoaded << 1u << 8589934592ULL << name;
    QTest::newRow("NVML has no memory figure") << 0 << 1u << 0ULL << name;
    QTest::newRow("NVML's GPU is another card") << 0 << 9u << 8589934592ULL << name;
}

void TestHardwareSource::desktop()
{
    QFETCH(int, nvmlInit);
    QFETCH(uint, nvmlBus);
    QFETCH(qulonglong, nvmlMemory);
    QFETCH(QString, nvidiaEntry);
    FakeNvml nvml;
    QVERIFY2(nvml.complete(), "the stand-in libnvidia-ml.so.1 is not on the path");
    FakeNvmlGpu gpu = kDesktopNvidia;
    gpu.bus = nvmlBus;
    nvml.configure(nvmlInit, 1, &gpu);
    nvml.setMemory(0, nvmlMemory);
    Testbed testbed(umockdev_testbed_new());
    addRecord(testbed.get(), kDesktop);

    const HardwareInventory inventory = gather();
    // Every display adapter by its marketing name, an integrated one with an empty size; no
    // bridge, no sound function.
    QCOMPARE(inventory.graphicsAdapters,
             QStringList({"Intel UHD Graphics 630,", nvidiaEntry, "AMD Radeon RX 6800/6800 XT / 6900 XT,16.0GB",
                          "Intel Arc A770,16.0GB"}));
    // The adapters' models; the root hub above the USB adapters does not name them.
    QCOMPARE(inventory.networkAdapters,
             QStringList({"Realtek RTL8111/8168/8211/8411 PCI Express Gigabit Ethernet Controller",
                          "Realtek RTL8153 Gigabit Ethernet Adapter", "Intel Wi-Fi 6 AX200", "wlx00e04c000002"}));
    // One NVMe entry (not its hidden path too), and the SATA drive's whole model.
    QCOMPARE(inventory.disks,
             QStringList({"Samsung SSD 970 EVO Plus 1TB,931.5 GB", "Samsung SSD 860 EVO 500GB,465.8 GB"}));
    QCOMPARE(nvml.sessions(), 0);
}

void TestHardwareSource::desktopOnThePage()
{
    FakeNvml nvml;
    QVERIFY2(nvml.complete(), "the stand-in libnvidia-ml.so.1 is not on the path");
    nvml.configure(0, 1, &kDesktopNvidia);
    nvml.setMemory(0, 8589934592ULL);
    Testbed testbed(umockdev_testbed_new());
    addRecord(testbed.get(), kDesktop);
    DDataManager::instance()->setInventory(gather());

    DMainWidget window;
    window.onGetPcHardwareInfoOver();
    // label, shown text; a null text for a hidden label
    const QList<QPair<QString, QString>> expected = {
        {"label_39", "Intel UHD Graphics 630"},
        {"label_40", ""},
        {"label_50", "Intel Arc A770"},
        {"label_51", "16.0GB"},
        {"label_35", "Samsung SSD 970 EVO Plus 1TB"},
        {"label_36", "931.5 GB"},
        {"label_37", "Samsung SSD 860 EVO 500GB"},
        {"label_38", "465.8 GB"},
        {"label_46", QString()},
        {"label_47", QString()},
        {"label_42", "Realtek RTL8111/8168/8211/8411 PCI Express Gigabit Ethernet Controller"},
        {"label_52", "wlx00e04c000002"},
    };
    for (const auto &e : expected) {
        const QLabel *label = window.findChild<QLabel *>(e.first);
        QVERIFY2(label, qPrintable(e.first));
        QVERIFY2(label->isHidden() == e.second.isNull(), qPrintable(e.first));
        if (!e.second.isNull())
            QCOMPARE(label->text(), e.second);
    }
}

void TestHardwareSource::adapterNames_data()
{
    QTest::addColumn<QByteArray>("vendorId");
    QTest::addColumn<QByteArray>("pciClass");
    QTest::addColumn<QByteArray>("vendor");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QString>("entry");

    // Names from 20-pci-vendor-model.hwdb, by match key.
    // pci:v00001A03*, pci:v00001A03d00002000*: the model already says the maker.
    QTest::newRow("ASPEED") << QByteArray("0x1a03") << QByteArray("0x030000") << QByteArray("ASPEED Technology, Inc.")
                            << QByteArray("ASPEED Graphics Family") << "ASPEED Graphics Family,";
    // pci:v0000102B*, pci:v0000102Bd00000534*
    QTest::newRow("Matrox") << QByteArray("0x102b") << QByteArray("0x030000")
                            << QByteArray("Matrox Electronics Systems Ltd.") << QByteArray("G200eR2")
                            << "Matrox G200eR2,";
    // pci:v00001AF4*, pci:v00001AF4d00001050*
    QTest::newRow("virtual machine") << QByteArray("0x1af4") << QByteArray("0x030000") << QByteArray("Red Hat, Inc.")
                                     << QByteArray("Virtio 1.0 GPU") << "Red Hat Virtio 1.0 GPU,";
    // pci:v000015AD*, pci:v000015ADd00000405*
    QTest::newRow("one-word maker") << QByteArray("0x15ad") << QByteArray("0x030000") << QByteArray("VMware")
                                    << QByteArray("SVGA II Adapter") << "VMware SVGA II Adapter,";
    // pci:v00001039*, pci:v00001039d00006330*
    QTest::newRow("maker's short name in brackets")
        << QByteArray("0x1039") << QByteArray("0x030000") << QByteArray("Silicon Integrated Systems [SiS]")
        << QByteArray("661/741/760 PCI/AGP or 662/761Gx PCIE VGA Display Adapter")
        << "SiS 661/741/760 PCI/AGP or 662/761Gx PCIE VGA Display Adapter,";
    // pci:v000010DEd000025A2*: a laptop's second GPU is a 3D controller.
    QTest::newRow("3D controller") << QByteArray("0x10de") << QByteArray("0x030200") << QByteArray("NVIDIA Corporation")
                                   << QByteArray("GA107M [GeForce RTX 3050 Mobile]")
                                   << "NVIDIA GeForce RTX 3050 Mobile,";
    // pci:v000010DEd00000863sv0000106Bsd000000AA*: a board maker's note after the marketing name.
    QTest::newRow("maker's note") << QByteArray("0x10de") << QByteArray("0x030000") << QByteArray("NVIDIA Corporation")
                                  << QByteArray("C79 [GeForce 9400M] (MacBook5,1)") << "NVIDIA GeForce 9400M,";
    // pci:v000018CA*, pci:v000018CAd00000047*: the comma would split the entry on the page.
    QTest::newRow("comma in the model") << QByteArray("0x18ca") << QByteArray("0x030000")
                                        << QByteArray("XGI Technology Inc. (eXtreme Graphics Innovation)")
                                        << QByteArray("Volari 8300 (chip: XP10, codename: XG47)")
                                        << QStringLiteral("XGI Volari 8300 (chip: XP10") + QChar(0x201A)
                                               + QStringLiteral(" codename: XG47),");
    // pci:v00008086d00000102sv00001734sd000011B9*: the bracket is in the note, not a marketing name.
    QTest::newRow("bracket in the note")
        << QByteArray("0x8086") << QByteArray("0x030000") << QByteArray("Intel Corporation")
        << QByteArray("2nd Generation Core Processor Family Integrated Graphics Controller (G640 [Sandy Bridge, HD "
                      "Graphics] on Esprimo P510 D3171 motherboard)")
        << QStringLiteral("Intel 2nd Generation Core Processor Family Integrated Graphics Controller (G640 [Sandy "
                          "Bridge")
               + QChar(0x201A) + QStringLiteral(" HD Graphics] on Esprimo P510 D3171 motherboard),");
    // A device the database names only by its maker: the device ID stands in for the model.
    QTest::newRow("other display controller, unknown model")
        << QByteArray("0x1af4") << QByteArray("0x038000") << QByteArray("Red Hat, Inc.") << QByteArray()
        << "Red Hat 0x10f0,";
}

void TestHardwareSource::adapterNames()
{
    QFETCH(QByteArray, vendorId);
    QFETCH(QByteArray, pciClass);
    QFETCH(QByteArray, vendor);
    QFETCH(QByteArray, model);
    QFETCH(QString, entry);
    FakeNvml nvml;
    QVERIFY2(nvml.complete(), "the stand-in libnvidia-ml.so.1 is not on the path");
    nvml.configure(kNvmlDriverNotLoaded, 0, nullptr);
    Testbed testbed(umockdev_testbed_new());
    QByteArray record = "P: /devices/pci0000:00/0000:00:02.0\nE: SUBSYSTEM=pci\nE: ID_VENDOR_FROM_DATABASE=" + vendor
                        + "\nA: class=" + pciClass + "\nA: vendor=" + vendorId + "\nA: device=0x10f0\n";
    if (!model.isEmpty())
        record += "E: ID_MODEL_FROM_DATABASE=" + model + "\n";
    addRecord(testbed.get(), record.constData());

    QCOMPARE(gather().graphicsAdapters, QStringList({entry}));
}

KESTRUN_TEST_MAIN(TestHardwareSource)
#include "tst_hardwaresource.moc"
