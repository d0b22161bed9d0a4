#include "arguments.h"

#include "slotanswer.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace cli {

namespace {

const QString kDescription
    = u"Programs a QX-7M from a .qxc configuration file with the bytes the QX-7M Programmer's "
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
      "With --try SLOT it programs nothing: the port leads to the projector, and the slot's "
      "string goes to it as the QX-7M would send it, at the projector baud rate an upload of "
      "the file would send (8N1), with the string's waits. Then it listens and prints what the "
      "projector answered, control characters by name (\"OK<CR>\"), other bytes as <xHH>; of a "
      "reply over 64 KiB, the first 64 KiB and how many bytes more came. Ctrl+C ends the trial "
      "and closes the port.\n"
      "\n"
      "Exit codes:\n"
      "  0  the QX-7M was programmed, or the tried string was sent (whether or not the "
      "projector answered)\n"
      "  1  the QX-7M did not answer as it must (handshake, settings or a string); switch it "
      "off and on again before the next try\n"
      "  2  bad input: the arguments, a file that cannot be read, a string longer than 30 "
      "bytes, a delay text out of range; for --try, a slot that does not exist, is empty or "
      "holds an escape the QX-7M does not define or that the string cuts off\n"
      "  3  the port could not be used: missing, busy, not a serial port, not permitted, or "
      "lost during the upload\n"
      "  4  the QX-7M was programmed (or the dry run or this help done), but the result could not "
      "be written to standard output\n"
      "  130  the trial was ended by Ctrl+C"_s;

// Every spelling of an option this program takes, for telling a value or a file from an option.
bool isOption(const QString& argument)
{
    static const QStringList kSpellings { u"--port"_s, u"--json"_s, u"--dry-run"_s, u"--try"_s, u"--listen"_s,
        u"--skip-waits"_s, u"--help"_s, u"--help-all"_s, u"--version"_s, u"-h"_s, u"-?"_s, u"-v"_s };
    return kSpellings.contains(argument.section(u'=', 0, 0));
}

// The parser's words for an unknown option (-dash.qxc is read as seven letter options) do not
// tell the user how to give a file whose name begins with a dash.
QString dashedFileRefusal(const QStringList& arguments)
{
    for (qsizetype index = 1; index < arguments.size() && arguments.at(index) != u"--"_s; ++index) {
        const QString& argument = arguments.at(index);
        if (argument == u"--port"_s || argument == u"--try"_s || argument == u"--listen"_s)
            ++index;
        else if (argument.startsWith(u'-') && !isOption(argument)
            && (argument.contains(u'.') || argument.contains(u'/')))
            return u"%1 is not an option; to give a file whose name begins with a dash, use ./%1 or -- %1"_s.arg(
                argument);
    }
    return {};
}

// A repeated option would silently keep its last value, and an option taken as another's value
// ("--port --json") would silently drop that option.
QString misusedOption(const QCommandLineParser& parser, const QList<QCommandLineOption>& takingValues)
{
    const QStringList given = parser.optionNames();
    for (const QString& name : given) {
        if (given.count(name) > 1)
            return u"--%1 is given more than once"_s.arg(name);
    }
    for (const QCommandLineOption& option : takingValues) {
        if (const QString value = parser.value(option); isOption(value))
            return u"--%1 needs a value, but %2 is an option"_s.arg(option.names().constFirst(), value);
    }
    return {};
}

// The trial's own options, read once the command line is known to be a trial. Empty when they
// can be used.
QString trialRefusal(const QCommandLineParser& parser, const QCommandLineOption& trySlot,
    const QCommandLineOption& listen, Arguments& result)
{
    if (!result.trying) {
        // Taken silently, either would make the user believe a trial had been asked for.
        if (parser.isSet(listen))
            return u"--listen goes only with --try"_s;
        if (result.skipWaits)
            return u"--skip-waits goes only with --try"_s;
        return {};
    }
    result.trySlot = slotForAnswer(parser.value(trySlot));
    if (!result.trySlot)
        return u"\"%1\" is no slot; give its name as the window lists it (\"VGA Input Active\") or its "
               "number there, 1 to 7"_s.arg(parser.value(trySlot));
    if (parser.isSet(listen)) {
        bool isNumber = false;
        const double seconds = parser.value(listen).toDouble(&isNumber);
        if (!isNumber || !(seconds >= double(device::kShortestListenMs) / 1000.0)
            || !(seconds <= double(device::kLongestListenMs) / 1000.0))
            return u"--listen needs a number of seconds from 0.5 to 30, not \"%1\""_s.arg(parser.value(listen));
        result.listenMs = qRound64(seconds * 1000.0);
    }
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
    const QCommandLineOption trySlot(u"try"_s,
        u"Program nothing: send the string of this slot to the projector on the port, as the QX-7M would, and "
        "print what the projector answers. SLOT is the slot's name as the window's list shows it (\"VGA Input "
        "Active\") or its number in that list, 1 (VGA Input Active) to 7 (Video First Detected). With --dry-run, "
        "print the steps instead."_s,
        u"SLOT"_s);
    const QCommandLineOption listen(u"listen"_s,
        u"With --try: listen this many seconds after the last byte, 0.5 to 30 (default 2)."_s, u"SECONDS"_s);
    const QCommandLineOption skipWaits(u"skip-waits"_s, u"With --try: send the string without its waits."_s);
    parser.addOptions({ port, json, dryRun, trySlot, listen, skipWaits });

    Arguments result;
    const bool parsed = parser.parse(arguments);
    result.json = parser.isSet(json);
    result.dryRun = parser.isSet(dryRun);
    result.trying = parser.isSet(trySlot);
    result.skipWaits = parser.isSet(skipWaits);
    result.port = parser.value(port);
    if (!parsed) {
        result.refusal = dashedFileRefusal(arguments);
        if (result.refusal.isEmpty())
            result.refusal = parser.errorText();
        if (result.refusal.endsWith(u'.'))
            result.refusal.chop(1);
    } else if (const QString misused = misusedOption(parser, { port, trySlot, listen }); !misused.isEmpty()) {
        result.refusal = misused;
    } else if (parser.isSet(help) || parser.isSet(version)) {
        // Not Qt's showHelp(): on Windows it shows a message box when the program has no console
        // window of its own (started from a script, or under Wine), where no one waits for a box.
        result.helpOrVersion = parser.isSet(help)
            ? parser.helpText()
            : QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    } else if (parser.positionalArguments().size() != 1) {
        result.refusal = u"give exactly one configuration file"_s;
    } else if (const QString trial = trialRefusal(parser, trySlot, listen, result); !trial.isEmpty()) {
        result.refusal = trial;
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
