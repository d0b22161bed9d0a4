#include "programarguments.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// One parser for the help text and the reading, so that they cannot disagree.
struct Parser {
    Parser()
        : help(parser.addHelpOption())
        , version(parser.addVersionOption())
    {
        parser.setApplicationDescription(
            u"Composes the seven command strings of a QX-7M projector automation device, keeps them in .qxc "
            "configuration files and uploads them to the device through a serial port. It first asks for the "
            "port, then whether to create a new configuration file or edit an existing one."_s);
        parser.addPositionalArgument(u"FILE"_s,
            u"A configuration file (.qxc) to open after the port question, instead of asking for one."_s, u"[FILE]"_s);
        parser.addOption(port);
        parser.addOption(projectorPort);
    }

    QCommandLineParser parser;
    QCommandLineOption port { u"port"_s,
        u"The port question's initial answer instead of the first USB serial adapter's number (or 1): N, the N-th "
        "serial port this computer lists (COMN on Windows), or a device path such as /dev/ttyUSB0."_s,
        u"ANSWER"_s };
    QCommandLineOption projectorPort { u"projector-port"_s,
        u"The initial answer of the question that \"Try on Projector...\" asks for the projector's port, in the "
        "same form as --port's."_s,
        u"ANSWER"_s };
    QCommandLineOption help;
    QCommandLineOption version;
};

} // namespace

bool asksForHelpOrVersion(const QStringList& arguments)
{
    Parser reading;
    // An unknown option (one of the toolkit's, say) does not matter here.
    static_cast<void>(reading.parser.parse(arguments));
    return reading.parser.isSet(reading.help) || reading.parser.isSet(reading.version);
}

int printHelpOrVersion(const QStringList& arguments)
{
    Parser reading;
    static_cast<void>(reading.parser.parse(arguments));
    if (reading.parser.isSet(reading.help))
        reading.parser.showHelp(0);
    reading.parser.showVersion();
}

ProgramArguments readProgramArguments(const QStringList& arguments)
{
    Parser reading;
    ProgramArguments result;
    if (!reading.parser.parse(arguments)) {
        result.refusal = reading.parser.errorText();
    } else if (reading.parser.positionalArguments().size() > 1) {
        result.refusal = u"Give one configuration file at most."_s;
    } else {
        result.port = reading.parser.value(reading.port);
        result.projectorPort = reading.parser.value(reading.projectorPort);
        result.file = reading.parser.positionalArguments().value(0);
    }
    return result;
}
