#include "device/linkerrorreport.h"

#include "tests/support/scriptedprompts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using platform::ErrorCode;

Q_DECLARE_METATYPE(ErrorCode)

class tst_LinkErrorReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyErrorIsToldByItsNumberAndDescription_data();
    void everyErrorIsToldByItsNumberAndDescription();
};

void tst_LinkErrorReport::everyErrorIsToldByItsNumberAndDescription_data()
{
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    // Told in the one "Comm Port Error" box instead of the two boxes of number and description.
    QTest::addColumn<bool>("portNotAvailable");

    // Support staff learn these numbers: each row restates one.
    const auto row = [](const char* name, ErrorCode code, int number, const char* description, bool notAvailable) {
        QTest::newRow(name) << code << number << QString::fromLatin1(description) << notAvailable;
    };
    row("string too long", ErrorCode::CommandStringTooLong, 5,
        "A command string is longer than the 255 bytes the QX-7M can take", false);
    row("overflow", ErrorCode::Overflow, 6, "The number is too large for the QX-7M", false);
    row("count not a number", ErrorCode::CountNotANumber, 13, "A length line of the configuration file holds no number",
        false);
    row("file not found", ErrorCode::FileNotFound, 53, "File not found", false);
    row("file unreadable", ErrorCode::FileCannotBeRead, 57, "The file cannot be read", false);
    row("file ends early", ErrorCode::FileEndsEarly, 62, "The configuration file ends before its last field", false);
    row("count out of range", ErrorCode::CountDoesNotFit, 63, "A length in the configuration file is out of range",
        false);
    row("permission denied", ErrorCode::PermissionDenied, 70, "Permission denied", false);
    row("file not written", ErrorCode::FileCannotBeCreated, 75, "The file cannot be created or written", false);
    row("file size", ErrorCode::FileSizeNotValid, 321, "This file size is not a valid .qxc file size", false);
    row("no such port", ErrorCode::SerialPortNotFound, 8002, "There is no such serial port on this computer", false);
    row("port held elsewhere", ErrorCode::PortAlreadyOpen, 8005, "The port is already open", true);
    row("connection lost", ErrorCode::SerialLinkLost, 8010, "The connection to the serial port was lost", false);
    row("port did not open", ErrorCode::PortNotOpen, 8012, "The port is not open", true);
}

void tst_LinkErrorReport::everyErrorIsToldByItsNumberAndDescription()
{
    QFETCH(ErrorCode, code);
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(bool, portNotAvailable);

    const platform::Error error(code, u"/dev/ttyUSB0"_s);
    QCOMPARE(error.number(), number);
    QCOMPARE(error.description(), description + u": /dev/ttyUSB0"_s);

    testsupport::ScriptedPrompts prompts;
    if (portNotAvailable) {
        prompts.expectMessage(u"Port not available, please free up the selected port"_s, u"Comm Port Error"_s);
    } else {
        prompts.expectMessage(u"Error Number:  %1"_s.arg(number), u"QX-7M Programmer"_s);
        prompts.expectMessage(u"error msg: "_s + description + u": /dev/ttyUSB0"_s, u"QX-7M Programmer"_s);
    }
    const device::LinkErrorReport report = device::ReportLinkError(prompts, error);
    QCOMPARE(report == device::LinkErrorReport::PortNotAvailable, portNotAvailable);
    QCOMPARE(prompts.problems(), QStringList());
}

QTEST_GUILESS_MAIN(tst_LinkErrorReport)
#include "tst_linkerrorreport.moc"
