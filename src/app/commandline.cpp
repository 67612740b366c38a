#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// Single-dash words are whole option names: the toolkit's "-reverse" must not read as -v.
void describe(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Kestrun: a hardware monitor that shows the machine's sensors and feeds them to the USB display."));
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

CommandLineRequest commandLineRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    // An unknown option makes the parse "fail" but the known ones are still seen: unknown options
    // are not this parser's business.
    parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")))
        return CommandLineRequest::Help;
    if (parser.isSet(QStringLiteral("version")))
        return CommandLineRequest::Version;
    return CommandLineRequest::Run;
}

QString commandLineAnswer(CommandLineRequest request)
{
    switch (request) {
    case CommandLineRequest::Help: {
        QCommandLineParser parser;
        describe(parser);
        return parser.helpText();
    }
    case CommandLineRequest::Version:
        return QCoreApplication::applicationName() + QLatin1Char(' ') + programVersion() + QLatin1Char('\n');
    case CommandLineRequest::Run:
        break;
    }
    return QString();
}

QString programVersion()
{
    return QStringLiteral(KESTRUN_VERSION);
}
