#include "platform/filestore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace platform;

class tst_FileStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void saveThatRunsOutOfSpaceKeepsTheOldFile();
};

void tst_FileStore::saveThatRunsOutOfSpaceKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lecture-hall.qxc"_s);
    const QByteArray old(300, 'o');
    QVERIFY(!replaceFile(path, old));

    // A file-size limit makes every write past 64 bytes fail the way a full disk does.
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<Error> error = replaceFile(path, QByteArray(4000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(error);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

QTEST_GUILESS_MAIN(tst_FileStore)
#include "tst_filestore.moc"
