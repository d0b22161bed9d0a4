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
    void replacedFileHoldsExactlyTheNewBytes();
    void saveThatRunsOutOfSpaceKeepsTheOldFile();
    void fileInAMissingFolderCannotBeCreated();
    void sizeAndReadOfAMissingFileSayFileNotFound();
    void fileLargerThanAllowedIsNotRead();
};

static QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void tst_FileStore::replacedFileHoldsExactlyTheNewBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.qxc"_s);
    QVERIFY(!replaceFile(path, QByteArray(500, 'x')));
    const QByteArray shorter("\r\n\0\xff", 4);
    QVERIFY(!replaceFile(path, shorter));
    QCOMPARE(contentsOf(path), shorter);
    QCOMPARE(fileSize(path).value(), 4);
    QCOMPARE(readWholeFile(path, 100).value(), shorter);
}

void tst_FileStore::saveThatRunsOutOfSpaceKeepsTheOldFile()
{
    // A file-size limit makes every write past 64 bytes fail the way a full disk does.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lecture-hall.qxc"_s);
    const QByteArray old(300, 'o');
    QVERIFY(!replaceFile(path, old));

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
    QCOMPARE(error->code(), ErrorCode::FileCannotBeCreated);
    QCOMPARE(contentsOf(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { u"lecture-hall.qxc"_s });
}

void tst_FileStore::fileInAMissingFolderCannotBeCreated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"no-such-folder/a.qxc"_s);
    const std::optional<Error> error = replaceFile(path, "bytes");
    QVERIFY(error);
    QCOMPARE(error->number(), 75);
    QVERIFY2(error->description().contains(path), qPrintable(error->description()));
}

void tst_FileStore::sizeAndReadOfAMissingFileSayFileNotFound()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"gone.qxc"_s);
    QCOMPARE(fileSize(path).error().number(), 53);
    QCOMPARE(readWholeFile(path, 6000).error().number(), 53);
    QCOMPARE(fileSize(dir.path()).error().number(), 57);
}

void tst_FileStore::fileLargerThanAllowedIsNotRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.qxc"_s);
    QVERIFY(!replaceFile(path, QByteArray(101, 'b')));
    QCOMPARE(readWholeFile(path, 101).value().size(), 101);
    QCOMPARE(readWholeFile(path, 100).error().code(), ErrorCode::FileCannotBeRead);
}

QTEST_GUILESS_MAIN(tst_FileStore)
#include "tst_filestore.moc"
