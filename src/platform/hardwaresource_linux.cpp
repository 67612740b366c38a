#include "hardwaresource.h"

#include "parse/asoundcards.h"
#include "parse/cpuinfo.h"

#include <QDebug>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSysInfo>

#include <dlfcn.h>
#include <libudev.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// RAII for libudev's reference-counted objects.
struct UdevDeleter {
    void operator()(udev *u) const { udev_unref(u); }
    void operator()(udev_device *d) const { udev_device_unref(d); }
    void operator()(udev_enumerate *e) const { udev_enumerate_unref(e); }
};
using Udev = std::unique_ptr<udev, UdevDeleter>;
using UdevDevice = std::unique_ptr<udev_device, UdevDeleter>;
using UdevEnumerate = std::unique_ptr<udev_enumerate, UdevDeleter>;

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    // procfs files report size 0: read until the end rather than by size.
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sysattr(udev_device *device, const char *name)
{
    const char *value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

QString property(udev_device *device, const char *name)
{
    const char *value = device ? udev_device_get_property_value(device, name) : nullptr;
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

// Natural order of device names: "card2" before "card10".
bool naturalLess(const char *a, const char *b)
{
    while (*a && *b) {
        if (std::isdigit(static_cast<unsigned char>(*a)) && std::isdigit(static_cast<unsigned char>(*b))) {
            char *endA;
            char *endB;
            const unsigned long long numberA = std::strtoull(a, &endA, 10);
            const unsigned long long numberB = std::strtoull(b, &endB, 10);
            if (numberA != numberB)
                return numberA < numberB;
            a = endA;
            b = endB;
        } else if (*a != *b) {
            return static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b);
        } else {
            ++a;
            ++b;
        }
    }
    return *b != '\0';
}

// Devices of one subsystem in natural order of their names (the kernel's order is not stable).
std::vector<UdevDevice> devicesOf(udev *context, const char *subsystem)
{
    std::vector<UdevDevice> devices;
    UdevEnumerate enumerate(context ? udev_enumerate_new(context) : nullptr);
    if (!enumerate)
        return devices;
    udev_enumerate_add_match_subsystem(enumerate.get(), subsystem);
    udev_enumerate_scan_devices(enumerate.get());
    udev_list_entry *entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get()))
    {
        if (udev_device *device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry)))
            devices.emplace_back(device);
    }
    std::sort(devices.begin(), devices.end(), [](const UdevDevice &a, const UdevDevice &b) {
        return naturalLess(udev_device_get_sysname(a.get()), udev_device_get_sysname(b.get()));
    });
    return devices;
}

void log(const char *label, const QStringList &found)
{
    qDebug() << label << found.join(QLatin1Char('\n'));
}

// The hardware page splits the entries of its sized rows at their first comma, so a comma inside
// a name (database names such as "Volari 8300 (chip: XP10, codename: XG47)") would cut the name
// and push the size out. It is written as U+201A, which looks the same and is not split at.
QString entryName(const QString &name)
{
    QString text = name.simplified();
    text.replace(QLatin1Char(','), QChar(0x201A));
    return text;
}

// One model name per processor package, in package order.
QStringList processorNames(const QByteArray &cpuinfo)
{
    QMap<QString, QString> byPackage;
    for (const CpuinfoBlock &block :
         parseCpuinfoBlocks(std::string_view(cpuinfo.constData(), static_cast<std::size_t>(cpuinfo.size())))) {
        const QString model = QString::fromStdString(block.modelName);
        const QString package = QString::fromStdString(block.physicalId).rightJustified(8, QLatin1Char('0'));
        if (!model.isEmpty() && !byPackage.contains(package))
            byPackage.insert(package, model);
    }
    return byPackage.values();
}

QString boardName(udev_device *dmi)
{
    const QString maker = sysattr(dmi, "board_vendor");
    const QString product = sysattr(dmi, "board_name");
    log("Windows HardwareInfo 02 Motherboard:", {maker, product});
    return maker + QLatin1Char(' ') + product;
}

// Installed modules from the udev database (MEMORY_DEVICE_<n>_*), readable without root.
QStringList memoryModules(udev_device *dmi)
{
    static const QRegularExpression sizeKey(QStringLiteral("^MEMORY_DEVICE_(\\d+)_SIZE$"));
    QMap<int, QString> modules;
    udev_list_entry *entry;
    udev_list_entry_foreach(entry, dmi ? udev_device_get_properties_list_entry(dmi) : nullptr)
    {
        const QRegularExpressionMatch match = sizeKey.match(QString::fromUtf8(udev_list_entry_get_name(entry)));
        if (!match.hasMatch())
            continue;
        const QByteArray prefix = "MEMORY_DEVICE_" + match.captured(1).toUtf8() + '_';
        if (property(dmi, prefix + "PRESENT") == QLatin1String("0"))
            continue;
        const double size = QString::fromUtf8(udev_list_entry_get_value(entry)).toDouble();
        modules.insert(match.captured(1).toInt(), entryName(property(dmi, prefix + "MANUFACTURER")) + QLatin1Char(',')
                                                      + gibibytesText(size) + QStringLiteral(" GB"));
    }
    log("Windows HardwareInfo 03 Memorychip:", modules.values());
    return modules.values();
}

// udev's *_ENC properties carry blanks and other bytes as "\xNN".
QString decodeUdevText(const QByteArray &encoded)
{
    QByteArray bytes;
    for (int i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) == '\\' && i + 3 < encoded.size() && encoded.at(i + 1) == 'x') {
            bool ok = false;
            const int value = encoded.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                bytes += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        bytes += encoded.at(i);
    }
    return QString::fromUtf8(bytes).trimmed();
}

// The drive's model: udev's ID_MODEL_ENC first, as it holds a SATA drive's whole model where the
// SCSI device's `model` keeps only its first 16 characters; else the `model` of the nearest
// ancestor that has one (the SCSI device, the NVMe controller, or with native NVMe multipath the
// NVMe subsystem); else the parent's `name` (SD and MMC cards).
QString diskModel(udev_device *disk, udev_device *parent)
{
    const char *encoded = udev_device_get_property_value(disk, "ID_MODEL_ENC");
    QString model = encoded ? decodeUdevText(encoded) : QString();
    for (udev_device *ancestor = parent; model.isEmpty() && ancestor; ancestor = udev_device_get_parent(ancestor))
        model = sysattr(ancestor, "model");
    return model.isEmpty() ? sysattr(parent, "name") : model;
}

// Whole disks with hardware behind them: loop, RAM and compressed-RAM disks, device-mapper and
// software RAID have no parent device and are left out, like optical drives and the hidden
// per-path disks of NVMe multipath (nvme0c0n1 beside nvme0n1).
QStringList disks(udev *context)
{
    static const QRegularExpression skipped(QStringLiteral("^(loop|ram|zram|sr)"));
    QStringList found;
    for (const UdevDevice &device : devicesOf(context, "block")) {
        if (qstrcmp(udev_device_get_devtype(device.get()), "disk") != 0)
            continue;
        const QString name = QString::fromUtf8(udev_device_get_sysname(device.get()));
        udev_device *parent = udev_device_get_parent(device.get());
        if (skipped.match(name).hasMatch() || !parent || sysattr(device.get(), "hidden") == QLatin1String("1"))
            continue;
        QString model = diskModel(device.get(), parent);
        if (model.isEmpty())
            model = name;
        const double bytes = sysattr(device.get(), "size").toDouble() * 512.0;
        found << entryName(model) + QLatin1Char(',') + gibibytesText(bytes) + QStringLiteral(" GB");
    }
    log("Windows HardwareInfo 04 Diskdrive:", found);
    return found;
}

// A maker's short name from its database name, as adapters are usually called: "Intel
// Corporation" gives "Intel", "Realtek Semiconductor Co., Ltd." "Realtek", "Advanced Micro
// Devices, Inc. [AMD/ATI]" "AMD".
QString shortMaker(const QString &databaseName)
{
    static const QRegularExpression shortTag(QStringLiteral("\\[([^\\]\\s/]+)(/[^\\]\\s]*)?\\]\\s*$"));
    static const QRegularExpression anyTag(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
    static const QRegularExpression trailingPunctuation(QStringLiteral("[.,]+$"));
    static const QStringList companyWords = {
        "corporation",   "corp",           "inc",        "incorporated", "co",         "ltd", "limited",
        "company",       "gmbh",           "ag",         "llc",          "plc",        "sa",  "bv",
        "semiconductor", "semiconductors", "technology", "technologies", "electronics"};
    const QRegularExpressionMatch tag = shortTag.match(databaseName);
    if (tag.hasMatch())
        return tag.captured(1);
    const QStringList words = QString(databaseName).remove(anyTag).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList kept;
    for (const QString &word : words) {
        const QString bare = QString(word).remove(trailingPunctuation);
        if (!kept.isEmpty() && companyWords.contains(bare.toLower()))
            break;
        kept << bare;
        if (word.endsWith(QLatin1Char(',')))
            break;
    }
    return kept.join(QLatin1Char(' '));
}

// The model led by the maker, unless the model already names it ("ASPEED Graphics Family").
QString withMaker(const QString &maker, const QString &model)
{
    if (maker.isEmpty())
        return model;
    const QRegularExpression named(
        QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(maker.section(QLatin1Char(' '), 0, 0))),
        QRegularExpression::CaseInsensitiveOption);
    return model.contains(named) ? model : maker + QLatin1Char(' ') + model;
}

// The name the hardware database gives the first of the devices that it names; empty for none.
QString databaseName(const std::vector<udev_device *> &devices)
{
    for (udev_device *device : devices) {
        const QString model = property(device, "ID_MODEL_FROM_DATABASE");
        if (!model.isEmpty())
            return withMaker(shortMaker(property(device, "ID_VENDOR_FROM_DATABASE")), model);
    }
    return QString();
}

// The maker of a PCI device: the database's, else a known vendor ID's, else the ID itself.
QString pciMaker(udev_device *pci)
{
    static const QMap<QString, QString> known = {
        {QStringLiteral("0x1002"), QStringLiteral("AMD")},
        {QStringLiteral("0x10de"), QStringLiteral("NVIDIA")},
        {QStringLiteral("0x8086"), QStringLiteral("Intel")},
    };
    QString fromDatabase = shortMaker(property(pci, "ID_VENDOR_FROM_DATABASE"));
    if (!fromDatabase.isEmpty())
        return fromDatabase;
    const QString id = sysattr(pci, "vendor");
    return known.value(id, id);
}

// The database names display adapters "codename [marketing name]" ("GA104 [GeForce RTX 3070]"),
// and a board maker's variant adds a note in parentheses ("C79 [GeForce 9400M] (MacBook5,1)"):
// an adapter is known by its marketing name. A bracket inside the note is not one.
QString marketingName(const QString &model)
{
    static const QRegularExpression bracket(QStringLiteral("^[^(\\[]*\\[([^\\]]+)\\]"));
    const QRegularExpressionMatch match = bracket.match(model);
    return match.hasMatch() ? match.captured(1).trimmed() : model;
}

// A display adapter's name: its marketing name from the database (else the driver's name, else
// the device ID) led by its maker.
QString adapterName(udev_device *pci)
{
    QString model = marketingName(property(pci, "ID_MODEL_FROM_DATABASE"));
    if (model.isEmpty())
        model = QString::fromUtf8(udev_device_get_driver(pci));
    if (model.isEmpty())
        model = sysattr(pci, "device");
    return withMaker(pciMaker(pci), model);
}

struct LibraryCloser {
    void operator()(void *library) const { ::dlclose(library); }
};

// NVIDIA's driver keeps no memory figure in sysfs; its management library tells it. The library
// is loaded at run time, as the sensor library loads it: most machines have none. Total memory in
// bytes by PCI address as sysfs names the device ("0000:01:00.0"); empty without library or driver.
QMap<QString, double> nvidiaMemory()
{
    // The few NVML types used here, as its C interface defines them.
    struct PciInfo {
        char busIdLegacy[16];
        unsigned int domain;
        unsigned int bus;
        unsigned int device;
        unsigned int pciDeviceId;
        unsigned int pciSubSystemId;
        char busId[32];
        char spare[64]; // room in case a driver's structure has grown
    };
    struct Memory {
        unsigned long long total;
        unsigned long long free;
        unsigned long long used;
    };
    constexpr int kSuccess = 0;

    QMap<QString, double> found;
    const std::unique_ptr<void, LibraryCloser> library(::dlopen("libnvidia-ml.so.1", RTLD_NOW | RTLD_LOCAL));
    if (!library)
        return found;
    const auto entry = [&library](const char *name) { return ::dlsym(library.get(), name); };
    const auto init = reinterpret_cast<int (*)()>(entry("nvmlInit_v2"));
    const auto shutdown = reinterpret_cast<int (*)()>(entry("nvmlShutdown"));
    const auto count = reinterpret_cast<int (*)(unsigned int *)>(entry("nvmlDeviceGetCount_v2"));
    const auto handleByIndex = reinterpret_cast<int (*)(unsigned int, void **)>(entry("nvmlDeviceGetHandleByIndex_v2"));
    const auto pciInfo = reinterpret_cast<int (*)(void *, PciInfo *)>(entry("nvmlDeviceGetPciInfo_v3"));
    const auto memoryInfo = reinterpret_cast<int (*)(void *, Memory *)>(entry("nvmlDeviceGetMemoryInfo"));
    if (!init || !shutdown || !count || !handleByIndex || !pciInfo || !memoryInfo || init() != kSuccess)
        return found;
    unsigned int devices = 0;
    if (count(&devices) != kSuccess)
        devices = 0;
    for (unsigned int i = 0; i < devices && i < 64; ++i) {
        void *handle = nullptr;
        PciInfo pci{};
        Memory memory{};
        if (handleByIndex(i, &handle) == kSuccess && pciInfo(handle, &pci) == kSuccess
            && memoryInfo(handle, &memory) == kSuccess && memory.total > 0)
            found.insert(QString::asprintf("%04x:%02x:%02x.0", pci.domain, pci.bus & 0xffU, pci.device & 0x1fU),
                         static_cast<double>(memory.total));
    }
    shutdown();
    return found;
}

// Memory a display adapter's driver tells in sysfs: amdgpu's VRAM, or xe's local memory summed
// over its tiles. 0 when unknown: i915 and integrated adapters keep no such figure there.
double sysfsAdapterMemory(udev_device *pci)
{
    const double vram = sysattr(pci, "mem_info_vram_total").toDouble();
    if (vram > 0)
        return vram;
    double tiles = 0;
    for (int tile = 0; tile < 8; ++tile) {
        const QString size = sysattr(pci, "tile" + QByteArray::number(tile) + "/physical_vram_size_bytes");
        if (size.isEmpty())
            break;
        tiles += std::max(0.0, size.toDouble());
    }
    return tiles;
}

// Display adapters, PCI class 0x03 (VGA, 3D and other display controllers), in bus order, whether
// or not a drm card exists for them. An adapter whose memory is unknown (an integrated one, or
// NVIDIA's without its management library) is listed with an empty size.
QStringList graphicsAdapters(udev *context)
{
    std::vector<UdevDevice> adapters;
    for (UdevDevice &device : devicesOf(context, "pci")) {
        if (sysattr(device.get(), "class").startsWith(QLatin1String("0x03")))
            adapters.push_back(std::move(device));
    }
    // Bus addresses are fixed-width hexadecimal: their text order is the bus order.
    std::sort(adapters.begin(), adapters.end(), [](const UdevDevice &a, const UdevDevice &b) {
        return qstrcmp(udev_device_get_sysname(a.get()), udev_device_get_sysname(b.get())) < 0;
    });
    const bool anyNvidia = std::any_of(adapters.begin(), adapters.end(), [](const UdevDevice &device) {
        return sysattr(device.get(), "vendor") == QLatin1String("0x10de");
    });
    const QMap<QString, double> nvidia = anyNvidia ? nvidiaMemory() : QMap<QString, double>();

    QStringList found;
    for (const UdevDevice &device : adapters) {
        udev_device *pci = device.get();
        double bytes = sysfsAdapterMemory(pci);
        if (bytes <= 0)
            bytes = nvidia.value(QString::fromUtf8(udev_device_get_sysname(pci)).toLower());
        const float memory = static_cast<float>(bytes) / 1073741824.0f;
        const QString size = memory > 0.0f ? QString::number(memory, 'f', 1) + QStringLiteral("GB") : QString();
        found << entryName(adapterName(pci)) + QLatin1Char(',') + size;
    }
    log("Windows HardwareInfo 05 GPU:", found);
    return found;
}

// Card names from /proc/asound/cards: " 0 [PCH            ]: HDA-Intel - HDA Intel PCH".
QStringList soundCardNames(const QByteArray &cards)
{
    QStringList names;
    for (const std::string &name :
         parseAsoundCardNames(std::string_view(cards.constData(), static_cast<std::size_t>(cards.size()))))
        names << QString::fromStdString(name);
    return names;
}

QString soundDevice(const QByteArray &cards)
{
    const QStringList names = soundCardNames(cards);
    log("Windows HardwareInfo 06 Audio:", names);
    const QString chosen = chooseSoundDevice(names);
    // Linux names rarely carry the word "Audio" ("HDA Intel PCH"); the first card is then the one
    // a user expects to see rather than nothing.
    return chosen.isEmpty() && !names.isEmpty() ? names.first() : chosen;
}

// The devices whose database name an interface takes: the interface itself (udev copies the
// database's names of its hardware there), then its PCI function or USB interface, and the USB
// device above a USB interface.
std::vector<udev_device *> interfaceHardware(udev_device *netDevice)
{
    std::vector<udev_device *> devices{netDevice};
    if (udev_device *parent = udev_device_get_parent(netDevice)) {
        devices.push_back(parent);
        if (qstrcmp(udev_device_get_devtype(parent), "usb_interface") == 0) {
            if (udev_device *usb = udev_device_get_parent(parent))
                devices.push_back(usb);
        }
    }
    return devices;
}

// Enabled adapters: interfaces that are up (IFF_UP, the administrative switch) and have hardware
// behind them; the loopback and virtual interfaces (bridges, tunnels, containers) are left out.
// Each is named by the hardware database, or by its interface name where the database has none.
QStringList networkAdapters(udev *context)
{
    QStringList found;
    for (const UdevDevice &device : devicesOf(context, "net")) {
        const QString name = QString::fromUtf8(udev_device_get_sysname(device.get()));
        if (name == QLatin1String("lo") || !udev_device_get_parent(device.get()))
            continue;
        bool ok = false;
        const uint flags = sysattr(device.get(), "flags").toUInt(&ok, 16);
        if (!ok || !(flags & 0x1u))
            continue;
        const QString model = databaseName(interfaceHardware(device.get()));
        found << (model.isEmpty() ? name : model);
    }
    log("Windows HardwareInfo 07 Network:", found);
    return found;
}

} // namespace

QString queryProcessorLine(const QString &command)
{
    const QStringList names = processorNames(readProcFile(QStringLiteral("/proc/cpuinfo")));
    if (command.contains(QLatin1String("cpu")))
        log("Windows HardwareInfo 01 CPU:", names);
    return names.join(QLatin1Char(' ')).simplified();
}

void gatherHardwareInventory(HardwareInventory &inventory)
{
    const Udev context(udev_new());
    const UdevDevice dmi(context ? udev_device_new_from_subsystem_sysname(context.get(), "dmi", "id") : nullptr);
    inventory.boardName = boardName(dmi.get());
    inventory.memoryModules += memoryModules(dmi.get());
    inventory.disks += disks(context.get());
    inventory.graphicsAdapters += graphicsAdapters(context.get());
    inventory.soundDevices << soundDevice(readProcFile(QStringLiteral("/proc/asound/cards")));
    inventory.networkAdapters += networkAdapters(context.get());
    inventory.osCaption = QSysInfo::prettyProductName();
    log("Windows HardwareInfo 08 SystemVersion:", {inventory.osCaption});
}
