#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for besides running: the options --help (-h) and --version (-v).
// Every other argument, the logon task's marker and the toolkit's own options included, is left
// to the rest of the program.
enum class CommandLineRequest { Run, Help, Version };

// arguments: the whole command line, the program's name first.
CommandLineRequest commandLineRequest(const QStringList &arguments);

// The text printed for the request (empty for Run). Needs an application object for the program's
// name and version.
QString commandLineAnswer(CommandLineRequest request);

// The program's version, as the build names it.
QString programVersion();
