#include "platform/filestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
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

void tst_FileStore::refusalNamesItsCause_data()
{
    QTest::addColumn<QString>("name"); // in the test's folder
    QTest::addColumn<QString>("outcome"); // %1: the test's folder

    // The user may write the file but not its folder: writing in place would damage it.
    QTest::newRow("save into a folder this user may not write")
        << u"locked/hall.qxc"_s
        << u"75|The file cannot be created or written: %1/locked/hall.qxc (the folder %1/locked may not be written "
           "by this user; save elsewhere)"_s;
}

void tst_FileStore::refusalNamesItsCause()
{
    QFETCH(QString, name);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QString old = u"the configuration as it was"_s;
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther
        | QFile::WriteOther;
    const auto searchable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), everyone | searchable));
    QVERIFY(QDir(dir.path()).mkdir(u"locked"_s));
    QVERIFY(!replaceFile(dir.filePath(u"locked/hall.qxc"_s), old.toUtf8()));
    QVERIFY(QFile::setPermissions(dir.filePath(u"locked/hall.qxc"_s), everyone));
    QVERIFY(QFile::setPermissions(
        dir.filePath(u"locked"_s), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | searchable));

    const QString path = dir.filePath(name);
    const std::optional<QString> result
        = asUnprivilegedUser([&path] { return told(replaceFile(path, QByteArray(200, 'n'))); });
    if (!result)
        QSKIP("runs as root, who passes every folder permission, and could not run the call as the user nobody");
    QCOMPARE(*result, outcome.arg(dir.path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old.toUtf8());
}

QTEST_GUILESS_MAIN(tst_FileStore)
#include "tst_filestore.moc"
