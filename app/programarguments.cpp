#include "programarguments.h"

#include "platform/standardstreams.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
    const bool help = reading.parser.isSet(reading.help);
#ifdef Q_OS_WIN
    // Started from the Start menu or a file's icon, a program with windows has no standard output:
    // Qt shows the text in a box then.
    if (help)
        reading.parser.showHelp(0);
    reading.parser.showVersion();
#else
    // As qx7m-upload: a text that did not reach its reader is no success.
    constexpr int kNotWritten = 4;
    const QString text = help
        ? reading.parser.helpText()
        : QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    static_cast<void>(platform::writeToStandardOutput(text.toLocal8Bit()));
    const QString failure = platform::standardOutputFailure();
    if (failure.isEmpty())
        return 0;
    const QString told = u"qx7m-programmer: the "_s + (help ? u"help"_s : u"version"_s)
        + u" could not be written to standard output: "_s + failure + u'\n';
    static_cast<void>(platform::writeToStandardError(told.toLocal8Bit()));
    return kNotWritten;
#endif
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
