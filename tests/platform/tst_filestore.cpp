#include "platform/filestore.h"
#include "platform/nativename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace platform;

namespace {

QString told(const std::optional<Error>& error)
{
    return error ? QString::number(error->number()) + u'|' + error->description() : u"done"_s;
}

// Root passes every folder permission, so as root the call runs in a child process as the user
// nobody, and its text comes back through a pipe. None when nobody could not be taken on.
std::optional<QString> asUnprivilegedUser(const std::function<QString()>& call)
{
    if (::geteuid() != 0)
        return call();
    const passwd* nobody = ::getpwnam("nobody");
    int pipeEnds[2];
    if (!nobody || ::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(1);
        const QByteArray text = call().toUtf8();
        ::_exit(::write(pipeEnds[1], text.constData(), size_t(text.size())) == text.size() ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t count; (count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, count);
    ::close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return QString::fromUtf8(text);
}

} // namespace

class tst_FileStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void saveThatRunsOutOfSpaceKeepsTheOldFile();
    void nameKeepsItsBytes_data();
    void nameKeepsItsBytes();
    void refusalNamesItsCause_data();
    void refusalNamesItsCause();
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

void tst_FileStore::nameKeepsItsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text"); // the name's text, a byte that is no part of UTF-8 as "?"

    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac\xf0\x9d\x84\x9e") << u"caf\u00e9 \u20ac\U0001d11e"_s;
    QTest::newRow("Latin-1") << QByteArray("caf\xe9.qxc") << u"caf?.qxc"_s;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << u"??"_s;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << u"???"_s;
    QTest::newRow("cut short") << QByteArray("a\xe2\x82") << u"a??"_s;
    QTest::newRow("beyond Unicode") << QByteArray("\xf4\x90\x80\x80") << u"????"_s;
}

void tst_FileStore::nameKeepsItsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QString name = nameFromNativeBytes(bytes);
    QCOMPARE(nativeName(name), bytes);
    for (QChar& character : name)
        character = character.unicode() >= 0xDC80 && character.unicode() <= 0xDCFF ? u'?' : character;
    QCOMPARE(name, text);
}

void tst_FileStore::refusalNamesItsCause_data()
{
    QTest::addColumn<QByteArray>("name"); // in the test's folder
    QTest::addColumn<QString>("outcome"); // %1: the test's folder

    // The user may write the file but not its folder: writing in place would damage it.
    QTest::newRow("save into a folder this user may not write")
        << QByteArray("locked/hall.qxc")
        << u"75|The file cannot be created or written: %1/locked/hall.qxc (the folder %1/locked may not be written "
           "by this user; save elsewhere)"_s;
    QTest::newRow("read through a folder this user may not search") << QByteArray(
        "closed/hall.qxc") << u"70|Permission denied: the folder %1/closed may not be searched by this user"_s;
    QTest::newRow("read a symbolic link that leads back to itself")
        << QByteArray("loop.qxc") << u"57|Too many levels of symbolic links: %1/loop.qxc"_s;
    QTest::newRow("read a name that is not text") << QByteArray("caf\xe9.qxc") << u"read"_s;
}

void tst_FileStore::refusalNamesItsCause()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QByteArray old = "the configuration as it was";
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther
        | QFile::WriteOther;
    const auto searchable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), everyone | searchable));
    const QString path = nameFromNativeBytes(QFile::encodeName(dir.path()) + '/' + name);
    const QString folder = QFileInfo(path).path();
    QVERIFY(QDir(dir.path()).mkpath(folder));
    if (name == "loop.qxc") {
        QVERIFY(QFile::link(u"loop2.qxc"_s, path) && QFile::link(u"loop.qxc"_s, dir.filePath(u"loop2.qxc"_s)));
    } else {
        const int file = ::open(nativeName(path).constData(), O_CREAT | O_WRONLY, 0666);
        QVERIFY(file >= 0 && ::write(file, old.constData(), size_t(old.size())) == old.size() && ::close(file) == 0);
    }
    if (name.startsWith("locked"))
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | searchable));
    if (name.startsWith("closed"))
        QVERIFY(QFile::setPermissions(folder, everyone));

    const std::optional<QString> result = asUnprivilegedUser([&path, &name, &old] {
        if (name.startsWith("locked"))
            return told(replaceFile(path, QByteArray(200, 'n')));
        const Result<qint64> size = fileSize(path);
        const Result<QByteArray> bytes = size ? readWholeFile(path, 6000) : Result<QByteArray>(size.error());
        return bytes ? (bytes.value() == old ? u"read"_s : u"other bytes"_s) : told(bytes.error());
    });
    if (!result)
        QSKIP("runs as root, who passes every folder permission, and could not run the call as the user nobody");
    QCOMPARE(*result, QString(outcome).replace(u"%1"_s, dir.path()));
    QVERIFY(QFile::setPermissions(folder, everyone | searchable));
    if (name != "loop.qxc")
        QCOMPARE(readWholeFile(path, 6000).value(), old);
    // QTemporaryDir cannot name a file whose name is not text.
    ::unlink(nativeName(path).constData());
}

QTEST_GUILESS_MAIN(tst_FileStore)
#include "tst_filestore.moc"
