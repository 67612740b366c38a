#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The machine's hardware as the hardware page lists it, gathered once at start.
// List entries are "name,value" pairs; the page splits them at the comma.
struct HardwareInventory {
    QString cpuName;              // processor name(s), one line
    QString boardName;            // maker and product, one blank between
    QStringList memoryModules;    // "maker,8.0 GB"
    QStringList disks;            // "model,476.9 GB"
    QStringList graphicsAdapters; // "name,8.0GB" (no blank); Linux also lists "name," for unknown memory
    QStringList soundDevices;     // exactly one entry after gathering, possibly empty
    QStringList networkAdapters;  // enabled adapters
    QString osCaption;
};

// Parsers of the text printed by the wmic tool: a column header line, columns padded with blanks
// in alphabetical order of their names, lines ended by "\r\n", and a final blank line.

// The table wmic prints for a query's rows (each row one value per column, in the order of
// `columns`): the columns in alphabetical order of their names whatever order they are given in,
// each as wide as its longest text plus two blanks, lines ended by "\r\r\n" as the tool writes
// them into a pipe, and a final blank line. No rows give no text, as the tool prints its
// "No Instance(s) Available." only to standard error. Missing cells are empty.
QString wmicTableText(const QStringList &columns, const QVector<QStringList> &rows);

// Splits at "\n" (dropping empty parts) and keeps the parts between the header and the final
// blank line, trimmed. Output with fewer than three parts has no data line.
QStringList wmicDataLines(const QString &output);

// The output of a one-column query reduced to one line: every occurrence of the command's last
// word (the column header) removed regardless of case, line ends removed, blanks simplified.
QString wmicSingleLine(const QString &output, const QString &command);

// bytes / 2^30 in single precision with one decimal, e.g. "8.0".
QString gibibytesText(double bytes);

// Columns Manufacturer, Product: maker + " " + product of the last line; a single blank for none.
QString parseBoardName(const QStringList &lines);
// Columns Capacity, Manufacturer, Speed: "maker,<size> GB" per line.
QStringList parseMemoryModules(const QStringList &lines);
// Columns Model, Size: "model,<size> GB" per line.
QStringList parseDisks(const QStringList &lines);
// Columns AdapterRAM, Name: "name,<size>GB" per line; adapters of 0 bytes are left out.
QStringList parseGraphicsAdapters(const QStringList &lines);
// The first name containing "High Definition Audio", else the last containing "Audio", else "".
QString chooseSoundDevice(const QStringList &names);
// The last line, or "" for none.
QString parseOsCaption(const QStringList &lines);
