#include "hardwaresource.h"

#include <QDebug>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSysInfo>

#include <libudev.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// RAII for libudev's reference-counted objects.
struct UdevDeleter
{
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

// One model name per processor package, in package order.
QStringList processorNames(const QByteArray &cpuinfo)
{
    QMap<QString, QString> byPackage;
    QString model;
    QString package;
    auto flush = [&] {
        if (!model.isEmpty() && !byPackage.contains(package))
            byPackage.insert(package, model);
        model.clear();
        package.clear();
    };
    for (const QByteArray &raw : cpuinfo.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.trimmed().isEmpty()) {
            flush();
            continue;
        }
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        if (key == QLatin1String("model name"))
            model = line.mid(colon + 1).trimmed();
        else if (key == QLatin1String("physical id"))
            package = line.mid(colon + 1).trimmed().rightJustified(8, QLatin1Char('0'));
    }
    flush();
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
        const QRegularExpressionMatch match =
            sizeKey.match(QString::fromUtf8(udev_list_entry_get_name(entry)));
        if (!match.hasMatch())
            continue;
        const QByteArray prefix = "MEMORY_DEVICE_" + match.captured(1).toUtf8() + '_';
        if (property(dmi, prefix + "PRESENT") == QLatin1String("0"))
            continue;
        const double size = QString::fromUtf8(udev_list_entry_get_value(entry)).toDouble();
        modules.insert(match.captured(1).toInt(),
                       property(dmi, prefix + "MANUFACTURER") + QLatin1Char(',') + gibibytesText(size)
                           + QStringLiteral(" GB"));
    }
    log("Windows HardwareInfo 03 Memorychip:", modules.values());
    return modules.values();
}

// Whole disks with hardware behind them: loop, RAM and compressed-RAM disks, device-mapper and
// software RAID have no parent device and are left out, like optical drives.
QStringList disks(udev *context)
{
    static const QRegularExpression skipped(QStringLiteral("^(loop|ram|zram|sr)"));
    QStringList found;
    for (const UdevDevice &device : devicesOf(context, "block")) {
        if (qstrcmp(udev_device_get_devtype(device.get()), "disk") != 0)
            continue;
        const QString name = QString::fromUtf8(udev_device_get_sysname(device.get()));
        udev_device *parent = udev_device_get_parent(device.get());
        if (skipped.match(name).hasMatch() || !parent)
            continue;
        QString model = sysattr(parent, "model");
        if (model.isEmpty())
            model = sysattr(parent, "name");
        if (model.isEmpty())
            model = name;
        const double bytes = sysattr(device.get(), "size").toDouble() * 512.0;
        found << model + QLatin1Char(',') + gibibytesText(bytes) + QStringLiteral(" GB");
    }
    log("Windows HardwareInfo 04 Diskdrive:", found);
    return found;
}

QString vendorLabel(udev_device *pci)
{
    static const QMap<QString, QString> known = {
        {QStringLiteral("0x1002"), QStringLiteral("AMD")},
        {QStringLiteral("0x10de"), QStringLiteral("NVIDIA")},
        {QStringLiteral("0x8086"), QStringLiteral("Intel")},
    };
    const QString id = sysattr(pci, "vendor");
    if (known.contains(id))
        return known.value(id);
    const QString fromDatabase = property(pci, "ID_VENDOR_FROM_DATABASE");
    return fromDatabase.isEmpty() ? id : fromDatabase;
}

// Graphics cards with their memory size; a card whose driver does not tell its memory is left
// out, as an adapter reporting no memory is.
QStringList graphicsAdapters(udev *context)
{
    static const QRegularExpression card(QStringLiteral("^card\\d+$"));
    QStringList found;
    for (const UdevDevice &device : devicesOf(context, "drm")) {
        if (!card.match(QString::fromUtf8(udev_device_get_sysname(device.get()))).hasMatch())
            continue;
        udev_device *pci = udev_device_get_parent(device.get());
        if (!pci)
            continue;
        const float memory = static_cast<float>(sysattr(pci, "mem_info_vram_total").toDouble())
                             / 1073741824.0f;
        if (memory == 0.0f)
            continue;
        QString model = property(pci, "ID_MODEL_FROM_DATABASE");
        if (model.isEmpty())
            model = QString::fromUtf8(udev_device_get_driver(pci));
        if (model.isEmpty())
            model = sysattr(pci, "device");
        found << vendorLabel(pci) + QLatin1Char(' ') + model + QLatin1Char(',')
                     + QString::number(memory, 'f', 1) + QStringLiteral("GB");
    }
    log("Windows HardwareInfo 05 GPU:", found);
    return found;
}

// Card names from /proc/asound/cards: " 0 [PCH            ]: HDA-Intel - HDA Intel PCH".
QStringList soundCardNames(const QByteArray &cards)
{
    static const QRegularExpression header(QStringLiteral("^\\s*\\d+\\s+\\[[^\\]]*\\]:\\s*.*? - (.*)$"));
    QStringList names;
    for (const QByteArray &line : cards.split('\n')) {
        const QRegularExpressionMatch match = header.match(QString::fromUtf8(line));
        if (match.hasMatch())
            names << match.captured(1).trimmed();
    }
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

// Enabled adapters: interfaces that are up (IFF_UP, the administrative switch) and have hardware
// behind them; the loopback and virtual interfaces (bridges, tunnels, containers) are left out.
QStringList networkAdapters(udev *context)
{
    QStringList found;
    for (const UdevDevice &device : devicesOf(context, "net")) {
        const QString name = QString::fromUtf8(udev_device_get_sysname(device.get()));
        if (name == QLatin1String("lo") || !udev_device_get_parent(device.get()))
            continue;
        bool ok = false;
        const uint flags = sysattr(device.get(), "flags").toUInt(&ok, 16);
        if (ok && (flags & 0x1u))
            found << name;
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
    const UdevDevice dmi(context ? udev_device_new_from_subsystem_sysname(context.get(), "dmi", "id")
                                 : nullptr);
    inventory.boardName = boardName(dmi.get());
    inventory.memoryModules += memoryModules(dmi.get());
    inventory.disks += disks(context.get());
    inventory.graphicsAdapters += graphicsAdapters(context.get());
    inventory.soundDevices << soundDevice(readProcFile(QStringLiteral("/proc/asound/cards")));
    inventory.networkAdapters += networkAdapters(context.get());
    inventory.osCaption = QSysInfo::prettyProductName();
    log("Windows HardwareInfo 08 SystemVersion:", {inventory.osCaption});
}
