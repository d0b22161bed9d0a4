#include "platform/dialogprompts.h"
#include "platform/filestore.h"
#include "platform/nativename.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace platform;

// A full disk, names as bytes and folder permissions are Unix's: the port question alone runs on
// Windows.
#ifndef Q_OS_WIN
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Root passes every folder permission: as root, the call runs in a child process as the user
// nobody, and its text comes back through a pipe. None when nobody could not be taken on.
std::optional<QString> asUnprivilegedUser(const std::function<QString()>& call)
{
    int pipeEnds[2];
    if (::geteuid() != 0 || ::pipe(pipeEnds) != 0)
        return ::geteuid() != 0 ? std::optional(call()) : std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(1);
        const QByteArray text = call().toUtf8();
        ::_exit(::write(pipeEnds[1], text.constData(), size_t(text.size())) == text.size() ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    QFile reader;
    const QByteArray text
        = reader.open(pipeEnds[0], QIODevice::ReadOnly, QFile::AutoCloseHandle) ? reader.readAll() : "";
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return QString::fromUtf8(text);
}

} // namespace
#endif

// The real port question and the file store's saves.
class tst_Platform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void portQuestionTakesWhatIsTypedOrPicked_data();
    void portQuestionTakesWhatIsTypedOrPicked();
#ifndef Q_OS_WIN
    void saveThatRunsOutOfSpaceKeepsTheOldFile();
    void nameKeepsItsBytes_data();
    void nameKeepsItsBytes();
    void refusalNamesItsCause_data();
    void refusalNamesItsCause();
#endif
};

void tst_Platform::portQuestionTakesWhatIsTypedOrPicked_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("answer");

    QTest::newRow("initial text kept") << QString() << -1 << u"1"_s;
    // Typing the first character of an item must not complete it into the item.
    QTest::newRow("typed, not completed") << u"2"_s << -1 << u"2"_s;
    QTest::newRow("item picked") << QString() << 1 << u"2 - ttyUSB0, FT232R USB UART"_s;
}

void tst_Platform::portQuestionTakesWhatIsTypedOrPicked()
{
    QFETCH(QString, typed);
    QFETCH(int, picked);

    QString shownText;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* list = dialog->findChild<QComboBox*>();
        QVERIFY(list && list->isEditable());
        shownText = dialog->windowTitle() + u'|' + dialog->labelText() + u'|' + list->currentText();
        if (picked >= 0)
            list->setCurrentIndex(picked);
        if (!typed.isEmpty()) {
            list->lineEdit()->selectAll();
            QTest::keyClicks(list->lineEdit(), typed);
        }
        dialog->accept();
    });
    platform::DialogPrompts prompts;
    QTEST(prompts.askTextOrChoice(
              u"Which port?"_s, u"Port"_s, { u"1 - ttyS0"_s, u"2 - ttyUSB0, FT232R USB UART"_s }, u"1"_s),
        "answer");
    QCOMPARE(shownText, u"Port|Which port?|1"_s);
}

#ifndef Q_OS_WIN
void tst_Platform::saveThatRunsOutOfSpaceKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"lecture-hall.qxc"_s);
    const QByteArray old(300, 'o');
    QVERIFY(!platform::replaceFile(path, old));

    // A file-size limit makes every write past 64 bytes fail the way a full disk does.
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<platform::Error> error = platform::replaceFile(path, QByteArray(4000, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(error);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

void tst_Platform::nameKeepsItsBytes_data()
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

void tst_Platform::nameKeepsItsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QString name = nameFromNativeBytes(bytes);
    QCOMPARE(nativeName(name), bytes);
    for (QChar& character : name)
        character = character.unicode() >= 0xDC80 && character.unicode() <= 0xDCFF ? u'?' : character;
    QCOMPARE(name, text);
}

void tst_Platform::refusalNamesItsCause_data()
{
    QTest::addColumn<QByteArray>("name"); // in the test's folder; in "locked" it is saved, else read
    QTest::addColumn<int>("folderMode"); // of the folder that holds it
    QTest::addColumn<QString>("outcome"); // %1: the test's folder

    // The user may write the file but not its folder: writing in place would damage it.
    QTest::newRow("save into a folder this user may not write")
        << QByteArray("locked/hall.qxc") << 0555
        << u"75|The file cannot be created or written: %1/locked/hall.qxc (the folder %1/locked may not be written "
           "by this user; save elsewhere)"_s;
    QTest::newRow("read through a folder this user may not search") << QByteArray(
        "closed/hall.qxc") << 0666 << u"70|Permission denied: the folder %1/closed may not be searched by this user"_s;
    QTest::newRow("read a symbolic link that leads back to itself")
        << QByteArray("loop.qxc") << 0777 << u"57|Too many levels of symbolic links: %1/loop.qxc"_s;
    QTest::newRow("read a name that is not text") << QByteArray("caf\xe9.qxc") << 0777 << u"read"_s;
}

void tst_Platform::refusalNamesItsCause()
{
    QFETCH(QByteArray, name);
    QFETCH(int, folderMode);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QByteArray old = "the configuration as it was";
    const QString path = nameFromNativeBytes(QFile::encodeName(dir.path()) + '/' + name);
    const QByteArray folder = nativeName(QFileInfo(path).path());
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0 && QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(QFile::link(u"loop2.qxc"_s, dir.filePath(u"loop.qxc"_s))
        && QFile::link(u"loop.qxc"_s, dir.filePath(u"loop2.qxc"_s)));
    const int file = name == "loop.qxc" ? -2 : ::open(nativeName(path).constData(), O_CREAT | O_WRONLY, 0666);
    QVERIFY(file == -2 || (::write(file, old.constData(), size_t(old.size())) == old.size() && ::close(file) == 0));
    QCOMPARE(::chmod(folder.constData(), mode_t(folderMode)), 0);

    const std::optional<QString> result = asUnprivilegedUser([&path, &name, &old] {
        const Result<qint64> size = fileSize(path);
        const Result<QByteArray> bytes = size ? readWholeFile(path, 6000) : Result<QByteArray>(size.error());
        std::optional<Error> error = bytes ? std::nullopt : std::optional(bytes.error());
        if (name.startsWith("locked"))
            error = replaceFile(path, "new");
        return error ? QString::number(error->number()) + u'|' + error->description() : u"read"_s;
    });
    if (!result)
        QSKIP("runs as root, who passes every folder permission, and could not run the call as the user nobody");
    QCOMPARE(*result, QString(outcome).replace(u"%1"_s, dir.path()));
    QCOMPARE(::chmod(folder.constData(), 0777), 0);
    QCOMPARE(file == -2 ? old : readWholeFile(path, 6000).value(), old);
    // QTemporaryDir cannot name a file whose name is not text.
    ::unlink(nativeName(path).constData());
}
#endif

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
