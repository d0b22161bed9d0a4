#include "options.h"

#include "simulatedprojector.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace tools {

namespace {

constexpr int kUsageError = 2;

[[noreturn]] void refuse(const QString& message)
{
    std::fprintf(stderr, "qx7m-sim: %s\n", qPrintable(message));
    std::exit(kUsageError);
}

// The option's value as a whole number of at least `least`; refuses the command line otherwise.
int wholeNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int least)
{
    bool ok = false;
    const QString text = parser.value(option);
    const int value = text.toInt(&ok);
    if (!ok || value < least)
        refuse(u"--%1 needs a whole number of at least %2, not \"%3\""_s.arg(
            option.names().constFirst(), QString::number(least), text));
    return value;
}

} // namespace

Options readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Plays a QX-7M box on a pseudo-terminal. Prints the terminal's path, then reports every upload.\n"
        "An upload that pauses for more than 10 s after the box's last answer (or after the PC's last byte, where "
        "the box gave none) is taken as given up, and the next SYN starts a new one. The PC waits at most 6 s "
        "for an answer, so a slow answer never breaks an upload.\n"
        "With --projector it plays the projector beside the box instead, for trying a string (qx7m-upload --try)."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption once(u"once"_s, u"Exit after the first complete upload."_s);
    const QCommandLineOption json(u"json"_s, u"Report each upload as one JSON line."_s);
    const QCommandLineOption silent(u"silent"_s, u"Never answer."_s);
    const QCommandLineOption stopAfter(u"stop-after"_s, u"Answer only the first N bytes of each upload."_s, u"N"_s);
    const QCommandLineOption nakFirst(u"nak-first"_s, u"Send a NAK (0x15) before every ACK."_s);
    const QCommandLineOption ffOnly(u"ff-only"_s, u"Answer the second SYN with 0xFF alone."_s);
    const QCommandLineOption answerDelay(u"answer-delay"_s, u"Wait M milliseconds before each answer."_s, u"M"_s);
    const QCommandLineOption wireBaud(
        u"wire-baud"_s, u"Take as long as a cable at R baud, 10 bits a byte, both ways."_s, u"R"_s);
    const QCommandLineOption hangUpAfter(
        u"hang-up-after"_s, u"Pull the cable after answering byte N of an upload, then exit."_s, u"N"_s);
    const QCommandLineOption projector(u"projector"_s,
        u"Play a projector instead: report each line received (up to and including a carriage return), with when "
        "its bytes came and the PC's line settings, and answer it. Takes any baud rate."_s);
    const QCommandLineOption reply(u"reply"_s,
        u"With --projector: answer each line with TEXT, in which \\r, \\n, \\\\ and \\xHH stand for their "
        "bytes (default \"OK\\r\")."_s,
        u"TEXT"_s);
    parser.addOptions(
        { once, json, silent, stopAfter, nakFirst, ffOnly, answerDelay, wireBaud, hangUpAfter, projector, reply });

    if (!parser.parse(arguments))
        refuse(parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        refuse(u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().constFirst()));

    Options options;
    options.projector = parser.isSet(projector);
    if (options.projector) {
        // A box's fault would silently not happen on a projector.
        for (const QCommandLineOption& boxOnly :
            { once, silent, stopAfter, nakFirst, ffOnly, answerDelay, wireBaud, hangUpAfter }) {
            if (parser.isSet(boxOnly))
                refuse(u"--%1 plays a QX-7M; it does not go with --projector"_s.arg(boxOnly.names().constFirst()));
        }
    } else if (parser.isSet(reply)) {
        refuse(u"--reply goes only with --projector"_s);
    }
    if (parser.isSet(reply)) {
        const std::optional<QByteArray> bytes = replyFromText(parser.value(reply));
        if (!bytes)
            refuse(u"--reply \"%1\" holds a \\ that is none of \\r, \\n, \\\\ and \\xHH"_s.arg(parser.value(reply)));
        options.reply = *bytes;
    }
    options.once = parser.isSet(once);
    options.json = parser.isSet(json);
    if (parser.isSet(stopAfter))
        options.faults.answeredBytes = wholeNumber(parser, stopAfter, 0);
    if (parser.isSet(silent))
        options.faults.answeredBytes = 0;
    options.faults.nakFirst = parser.isSet(nakFirst);
    options.faults.ffOnly = parser.isSet(ffOnly);
    if (parser.isSet(answerDelay))
        options.answerDelay = std::chrono::milliseconds(wholeNumber(parser, answerDelay, 0));
    if (parser.isSet(wireBaud))
        options.wireBaud = wholeNumber(parser, wireBaud, 1);
    if (parser.isSet(hangUpAfter))
        options.hangUpAfter = wholeNumber(parser, hangUpAfter, 1);
    return options;
}

} // namespace tools
