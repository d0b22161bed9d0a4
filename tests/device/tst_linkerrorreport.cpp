#include "device/linkerrorreport.h"

#include "tests/support/scriptedprompts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::LinkErrorReport;
using platform::Error;
using platform::ErrorCode;

Q_DECLARE_METATYPE(LinkErrorReport)
Q_DECLARE_METATYPE(ErrorCode)

class tst_LinkErrorReport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void errorIsToldInTheRightBoxes_data();
    void errorIsToldInTheRightBoxes();
};

void tst_LinkErrorReport::errorIsToldInTheRightBoxes_data()
{
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<LinkErrorReport>("report");

    const QString notAvailable = u"Comm Port Error: Port not available, please free up the selected port"_s;
    QTest::newRow("port held by another program")
        << ErrorCode::PortAlreadyOpen << QStringList { notAvailable } << LinkErrorReport::PortNotAvailable;
    QTest::newRow("port that did not open")
        << ErrorCode::PortNotOpen << QStringList { notAvailable } << LinkErrorReport::PortNotAvailable;
    QTest::newRow("no such port")
        << ErrorCode::SerialPortNotFound
        << QStringList { u"QX-7M Programmer: Error Number:  8002"_s,
               u"QX-7M Programmer: error msg: There is no such serial port on this computer: \"COM2\" names no port"_s }
        << LinkErrorReport::OtherError;
    QTest::newRow("file error while saving")
        << ErrorCode::FileCannotBeCreated
        << QStringList { u"QX-7M Programmer: Error Number:  75"_s,
               u"QX-7M Programmer: error msg: The file cannot be created or written: \"COM2\" names no port"_s }
        << LinkErrorReport::OtherError;
}

void tst_LinkErrorReport::errorIsToldInTheRightBoxes()
{
    QFETCH(ErrorCode, code);
    QFETCH(QStringList, boxes);
    QFETCH(LinkErrorReport, report);

    testsupport::ScriptedPrompts prompts;
    for (const QString& box : std::as_const(boxes)) {
        const qsizetype colon = box.indexOf(u": "_s);
        prompts.expectMessage(box.mid(colon + 2), box.left(colon));
    }

    QCOMPARE(device::ReportLinkError(prompts, Error(code, u"\"COM2\" names no port"_s)), report);
    QCOMPARE(prompts.problems(), QStringList());
}

QTEST_GUILESS_MAIN(tst_LinkErrorReport)
#include "tst_linkerrorreport.moc"
