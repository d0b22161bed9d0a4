#include "arguments.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString kDescription = u"Programs a QX-7M from a .qxc configuration file with the bytes the QX-7M Programmer's "
                             "\"Save and Upload\" sends after opening that file, and says what happened. The file is "
                             "read, never rewritten.\n"
                             "\n"
                             "Unlike the window, it refuses a delay text out of its field's range (hours 0 to 16, "
                             "minutes and seconds 0 to 59): the window shows \"Hours Wrong\", \"Minutes Wrong\" or "
                             "\"Seconds Wrong\" when it opens such a file and then sends 0, but a script has nobody to "
                             "read that box. As from the window, empty delay texts and the hints \"0-16\" and \"0-59\" "
                             "count as 0, seconds of 0 go out as 1 whatever the hours and minutes, and a baud rate "
                             "that is none of the five goes out as 9600 (with a warning here).\n"
                             "\n"
                             "Exit codes:\n"
                             "  0  the QX-7M was programmed\n"
                             "  1  the QX-7M did not answer as it must (handshake, settings or a string); switch it "
                             "off and on again before the next try\n"
                             "  2  bad input: the arguments, a file that cannot be read, a string longer than 30 "
                             "bytes, a delay text out of range\n"
                             "  3  the port could not be used: missing, busy, not a serial port, not permitted, or "
                             "lost during the upload\n"
                             "  4  the QX-7M was programmed (or the dry run done), but the result could not be written "
                             "to standard output"_s;

// Every spelling of an option this program takes, for telling a value or a file from an option.
bool isOption(const QString& argument)
{
    static const QStringList kSpellings { u"--port"_s, u"--json"_s, u"--dry-run"_s, u"--help"_s, u"--help-all"_s,
        u"--version"_s, u"-h"_s, u"-?"_s, u"-v"_s };
    return kSpellings.contains(argument.section(u'=', 0, 0));
}

// The parser's words for an unknown option (-dash.qxc is read as seven letter options) do not
// tell the user how to give a file whose name begins with a dash.
QString dashedFileRefusal(const QStringList& arguments)
{
    for (qsizetype index = 1; index < arguments.size() && arguments.at(index) != u"--"_s; ++index) {
        const QString& argument = arguments.at(index);
        if (argument == u"--port"_s)
            ++index;
        else if (argument.startsWith(u'-') && !isOption(argument)
            && (argument.contains(u'.') || argument.contains(u'/')))
            return u"%1 is not an option; to give a file whose name begins with a dash, use ./%1 or -- %1"_s.arg(
                argument);
    }
    return {};
}

// A repeated option would silently keep its last value, and an option taken as the port's value
// ("--port --json") would silently drop that option.
QString misusedOption(const QCommandLineParser& parser, const QCommandLineOption& port)
{
    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (given.count(name) > 1)
            return u"--%1 is given more than once"_s.arg(name);
    }
    const QString portValue = parser.value(port);
    if (isOption(portValue))
        return u"--port needs a value, but %1 is an option"_s.arg(portValue);
    return {};
}

} // namespace

Arguments readArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    parser.addPositionalArgument(u"FILE"_s, u"The configuration file (.qxc) to send."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(u"port"_s,
        u"The serial port: N, the N-th serial port this computer lists (COMN on Windows), or a device path such as "
        "/dev/ttyUSB0."_s,
        u"ANSWER"_s);
    const QCommandLineOption json(u"json"_s, u"Print one JSON object instead of the result line."_s);
    const QCommandLineOption dryRun(u"dry-run"_s,
        u"Open no port: print the bytes that would be sent, in hex, one line for the handshake, one for the "
        "settings and one for each string in the order they are sent."_s);
    parser.addOptions({ port, json, dryRun });

    Arguments result;
    const bool parsed = parser.parse(arguments);
    result.json = parser.isSet(json);
    result.dryRun = parser.isSet(dryRun);
    result.port = parser.value(port);
    if (!parsed) {
        result.refusal = dashedFileRefusal(arguments);
        if (result.refusal.isEmpty())
            result.refusal = parser.errorText();
        if (result.refusal.endsWith(u'.'))
            result.refusal.chop(1);
    } else if (const QString misused = misusedOption(parser, port); !misused.isEmpty()) {
        result.refusal = misused;
    } else if (parser.isSet(help) || parser.isSet(version)) {
        // Printed here: on Windows, Qt shows them in a message box when the program has no console
        // window of its own (started from a script, or under Wine), where no one waits for a box.
        const QString text = parser.isSet(help)
            ? parser.helpText()
            : QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        std::fputs(qPrintable(text), stdout);
        std::exit(0);
    } else if (parser.positionalArguments().size() != 1) {
        result.refusal = u"give exactly one configuration file"_s;
    } else if (!result.dryRun && result.port.isEmpty()) {
        result.refusal = u"give the port with --port, or --dry-run to send nothing"_s;
    } else if (result.dryRun && result.json) {
        result.refusal = u"--dry-run prints the bytes as text; it does not go with --json"_s;
    } else {
        result.file = parser.positionalArguments().constFirst();
    }
    if (!result.refusal.isEmpty())
        result.refusal += u" (see qx7m-upload --help)"_s;
    return result;
}

} // namespace cli
