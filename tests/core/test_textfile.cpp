#include "core/common/errors.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray roundTrip(const QByteArray &bytes)
{
    TextFileFormat f;
    const QString text = decodeText(bytes, &f);
    return encodeText(text, f);
}

TEST(TextFile, BytesRoundTripUnchanged)
{
    const QByteArray samples[] = {
            QByteArray("print \"hi\\n\";\n"),
            QByteArray("a\r\nb\r\n"),
            QByteArray("mac\rold\r"),
            QByteArray("no newline at end"),
            QByteArray("utf8 \xc3\xa9\xe2\x82\xac\n"),
            QByteArray("cp1252 \xe9\x80\x81\x8d\x9d\xff\n"),
            QByteArray("nul\0byte\0\n", 11),
            QByteArray("\xef\xbb\xbfwith bom\n"),
            QByteArray("\xa0nbsp \xc2\xa0 invalid \xc3\n"),
            QByteArray(),
    };
    for (const QByteArray &b : samples)
        EXPECT_EQ(roundTrip(b), b) << b.toHex().constData();
}

// Files that must save byte for byte as they were read when nothing was changed.
TEST(TextFile, OddFilesSaveAsRead)
{
    const std::pair<const char *, QByteArray> files[] = {
            {"bom then U+FEFF", QByteArray("\xef\xbb\xbf\xef\xbb\xbfprint 1;\n")},
            {"bom then U+FEFF only", QByteArray("\xef\xbb\xbf\xef\xbb\xbf")},
            {"bom only", QByteArray("\xef\xbb\xbf")},
            {"U+FEFF inside", QByteArray("a\xef\xbb\xbf\n")},
            {"empty", QByteArray()},
            {"crlf", QByteArray("a\r\nb\r\n")},
            {"lone cr", QByteArray("a\rb\r")},
            {"lf crlf cr", QByteArray("a\nb\r\nc\rd")},
            {"crlf then lf", QByteArray("a\r\nb\nc\n")},
            {"cr before crlf", QByteArray("a\r\r\nb\n")},
            {"only line breaks", QByteArray("\r\n\n\r\r\n")},
            {"windows-1252", QByteArray("caf\xe9 \x80 \x93q\x94\r\n")},
            {"windows-1252 mixed ends", QByteArray("\xe9\r\n\xe9\n\xe9\r")},
            {"bom then invalid", QByteArray("\xef\xbb\xbf\xff\n")},
            {"overlong nul", QByteArray("a\xc0\x80\n")},
            {"encoded surrogate", QByteArray("\xed\xa0\x80\n")},
            {"cut at the end", QByteArray("euro \xe2\x82")},
            {"beyond U+10FFFF", QByteArray("\xf4\x90\x80\x80")},
            {"noncharacters", QByteArray("\xef\xbf\xbe\xef\xbf\xbf\xf4\x8f\xbf\xbf\n")},
    };
    QTemporaryDir dir;
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        const QString path = dir.path() + QStringLiteral("/odd.pl");
        writeFileAtomically(path, bytes);
        const TextFileContent read = readTextFile(path);
        writeTextFile(path, read.text, read.format);
        EXPECT_EQ(contentsOf(path).toHex(' ').toStdString(), bytes.toHex(' ').toStdString());
    }
}

// A file that mixes line ends keeps each line's end while the lines stay where they are; once
// lines come or go, the first line's end is used throughout.
TEST(TextFile, MixedLineEndsSurviveAnEditInPlace)
{
    TextFileFormat f;
    QString text = decodeText("one\r\ntwo\nthree\rfour", &f);
    EXPECT_EQ(text, QStringLiteral("one\ntwo\nthree\nfour"));
    text.replace(QStringLiteral("two"), QStringLiteral("2"));
    EXPECT_EQ(encodeText(text, f).toStdString(), "one\r\n2\nthree\rfour");
    text.append(QStringLiteral("\nfive"));
    EXPECT_EQ(encodeText(text, f).toStdString(), "one\r\n2\r\nthree\r\nfour\r\nfive");
}

TEST(TextFile, DecodeReportsFormatAndNormalisesLineBreaks)
{
    TextFileFormat f;
    EXPECT_EQ(decodeText("a\r\nb", &f), QStringLiteral("a\nb"));
    EXPECT_EQ(f.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(f.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decodeText("\xe9", &f), QString(QChar(0xe9)));
    EXPECT_EQ(f.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(decodeText("\x80", &f), QString(QChar(0x20AC)));
}

TEST(TextFile, TypedCharactersOutsideTheCodePageAreNotLost)
{
    TextFileFormat f;
    f.encoding = TextEncoding::Windows1252;
    const QString text = QString::fromUtf8("\u65e5\u672c");
    EXPECT_EQ(decodeText(encodeText(text, f)), text);
}

TEST(TextFile, AtomicWriteReplacesAndReportsFailure)
{
    QTemporaryDir dir;
    const QString p = dir.path() + "/s.pl";
    TextFileFormat crlf;
    crlf.lineEnd = LineEnd::CrLf;
    writeTextFile(p, "one\ntwo\n", crlf);
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("one\r\ntwo\r\n"));
    EXPECT_THROW(writeTextFile(dir.path() + "/missing/s.pl", "x", {}), IoError);
    EXPECT_THROW(readTextFile(dir.path() + "/missing.pl"), IoError);
}

// What lies at a path, without following a link: 'f' file, 'l' link, 'p' FIFO, 'c' character
// device, 'd' folder, '-' nothing.
char kindAt(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return '-';
    return S_ISREG(st.st_mode)    ? 'f'
           : S_ISLNK(st.st_mode)  ? 'l'
           : S_ISFIFO(st.st_mode) ? 'p'
           : S_ISCHR(st.st_mode)  ? 'c'
           : S_ISDIR(st.st_mode)  ? 'd'
                                  : '?';
}

class SpecialTargets : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString at(const char *name) const { return dir.path() + u'/' + QLatin1String(name); }
    QStringList entries() const
    {
        return QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                           QDir::Name);
    }
    static QString refusal(const QString &path)
    {
        return QStringLiteral("Doh! \"%1\" is not a regular file. Please save it under another "
                              "name.")
                .arg(path);
    }
};

TEST_F(SpecialTargets, NodesAndFoldersAreRefusedAndLeftAsTheyAre)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("pipe"), at("to-pipe")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(QFile::link(QStringLiteral("folder"), at("to-folder")));
    // A copy of /dev/null's node where this test may make one (root, outside a container).
    const bool haveDevice = ::mknod(QFile::encodeName(at("null")).constData(), S_IFCHR | 0666,
                                    makedev(1, 3))
                            == 0;
    const QStringList before = entries();

    const std::pair<const char *, char> targets[] = {{"pipe", 'p'},
                                                     {"to-pipe", 'l'},
                                                     {"folder", 'd'},
                                                     {"to-folder", 'l'},
                                                     {"null", 'c'}};
    for (const auto &[name, kind] : targets) {
        if (kind == 'c' && !haveDevice)
            continue;
        SCOPED_TRACE(name);
        try {
            writeFileAtomically(at(name), "print 1;\n");
            ADD_FAILURE() << "saved onto something that is not a regular file";
        } catch (const IoError &e) {
            EXPECT_EQ(e.message().toStdString(), refusal(at(name)).toStdString());
        }
        EXPECT_EQ(kindAt(at(name)), kind);
    }
    EXPECT_EQ(QFile::symLinkTarget(at("to-pipe")), at("pipe"));
    EXPECT_EQ(entries(), before);
    if (!haveDevice)
        GTEST_SKIP() << "device node case not run: mknod is not allowed here";
}

TEST_F(SpecialTargets, PipesAndDevicesAreNotReadAsScripts)
{
    // Read, a pipe without a writer would wait for ever and /dev/zero would never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("pipe"), at("to-pipe")));
    for (const QString &path : {at("pipe"), at("to-pipe"), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        try {
            readTextFile(path);
            ADD_FAILURE() << "read something that is not a regular file";
        } catch (const IoError &e) {
            EXPECT_TRUE(e.message().endsWith(u"(not a regular file).")) << e.what();
        }
    }
    writeFileAtomically(at("plain.pl"), "print 1;\n");
    EXPECT_EQ(readFileBytes(at("plain.pl")), QByteArray("print 1;\n"));
}

TEST_F(SpecialTargets, SavingThroughALinkKeepsTheLinkAndWritesItsTarget)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    writeFileAtomically(at("real/script.pl"), "old\n");
    ASSERT_TRUE(QFile::link(QStringLiteral("real/script.pl"), at("link.pl")));
    ASSERT_TRUE(QFile::link(QStringLiteral("link.pl"), at("link-to-link.pl")));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/new.pl"), at("dangling.pl")));

    writeFileAtomically(at("link.pl"), "one\n");
    EXPECT_EQ(contentsOf(at("real/script.pl")), QByteArray("one\n"));
    writeFileAtomically(at("link-to-link.pl"), "two\n");
    EXPECT_EQ(contentsOf(at("real/script.pl")), QByteArray("two\n"));
    // A link to a file that is not there yet makes that file.
    writeFileAtomically(at("dangling.pl"), "three\n");
    EXPECT_EQ(contentsOf(at("real/new.pl")), QByteArray("three\n"));

    for (const char *link : {"link.pl", "link-to-link.pl", "dangling.pl"})
        EXPECT_EQ(kindAt(at(link)), 'l') << link;
    EXPECT_EQ(kindAt(at("real/script.pl")), 'f');
    EXPECT_EQ(QDir(at("real")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"new.pl", "script.pl"}));
}

TEST_F(SpecialTargets, LinksInACircleAreRefused)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("b.pl"), at("a.pl")));
    ASSERT_TRUE(QFile::link(QStringLiteral("a.pl"), at("b.pl")));
    try {
        writeFileAtomically(at("a.pl"), "x\n");
        ADD_FAILURE() << "saved through links in a circle";
    } catch (const IoError &e) {
        EXPECT_EQ(e.message().toStdString(), refusal(at("a.pl")).toStdString());
    }
    EXPECT_EQ(kindAt(at("a.pl")), 'l');
    EXPECT_EQ(kindAt(at("b.pl")), 'l');
}

// Steps that fail where a full disk can make them fail; the rest do the real work.
class FailingSteps : public AtomicWriteSteps
{
public:
    enum Failure { ShortWrite, FailedFlush, FailedCommit };
    explicit FailingSteps(Failure failure)
        : m_failure(failure)
        , m_previous(setAtomicWriteSteps(this))
    {}
    ~FailingSteps() override { setAtomicWriteSteps(m_previous); }

    qint64 write(QSaveFile &file, const QByteArray &bytes) override
    {
        return AtomicWriteSteps::write(file, m_failure == ShortWrite ? bytes.left(7) : bytes);
    }
    bool flush(QSaveFile &file) override
    {
        return m_failure != FailedFlush && AtomicWriteSteps::flush(file);
    }
    bool commit(QSaveFile &file) override
    {
        if (m_failure == FailedCommit)
            file.cancelWriting();
        return AtomicWriteSteps::commit(file);
    }

private:
    Failure m_failure;
    AtomicWriteSteps *m_previous;
};

TEST(TextFileWriteFailure, EveryFailedStepKeepsTheOldFileAndSaysSo)
{
    QTemporaryDir dir;
    const QString p = dir.path() + QStringLiteral("/s.pl");
    const QByteArray old("print 1;\n");
    for (const auto failure :
         {FailingSteps::ShortWrite, FailingSteps::FailedFlush, FailingSteps::FailedCommit}) {
        SCOPED_TRACE(int(failure));
        writeFileAtomically(p, old);
        {
            FailingSteps steps(failure);
            try {
                writeFileAtomically(p, QByteArray("print 2;\n").repeated(3));
                ADD_FAILURE() << "the failed save reported success";
            } catch (const IoError &e) {
                EXPECT_EQ(e.message(), QStringLiteral("Unable to write to %1").arg(p));
            }
        }
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().toStdString(), old.toStdString());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"s.pl"});
    }
    // With the real steps back, the same save goes through.
    writeFileAtomically(p, "print 3;\n");
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("print 3;\n"));
}

// A real full disk: a small tmpfs mounted for the test. Needs root; skipped otherwise.
class FullDisk : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    bool mounted = false;
    QString target() const { return dir.path() + QStringLiteral("/script.pl"); }

    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        const QByteArray where = QFile::encodeName(dir.path());
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=64k,mode=0755") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        writeFileAtomically(target(), kOld);
    }

    void TearDown() override
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }

    // Fills the file system, then frees `room` bytes again.
    void fillLeaving(qint64 room)
    {
        const QByteArray path = QFile::encodeName(dir.path() + QStringLiteral("/filler"));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'f');
        qint64 size = 0;
        for (ssize_t n; (n = ::write(fd, block.constData(), size_t(block.size()))) > 0;)
            size += n;
        ASSERT_EQ(errno, ENOSPC);
        ASSERT_EQ(::ftruncate(fd, std::max<qint64>(0, size - room)), 0);
        ::close(fd);
    }

    // The old file, byte for byte; otherwise what took its place, briefly.
    ::testing::AssertionResult holds(const QByteArray &expected) const
    {
        QFile f(target());
        if (!f.open(QIODevice::ReadOnly))
            return ::testing::AssertionFailure() << "the file is gone";
        const QByteArray now = f.readAll();
        if (now == expected)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the file now holds " << now.size() << " bytes: \""
                                             << now.left(40).toStdString() << "\"";
    }
    QStringList leftovers() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static inline const QByteArray kOld = "#!/usr/bin/perl\nprint \"old\\n\";\n";
};

TEST_F(FullDisk, FailedSaveKeepsTheOldFileAndSaysSo)
{
    fillLeaving(0);
    // Below and above the 16 KB that Qt buffers before it writes anything.
    for (const qsizetype size : {qsizetype(40), qsizetype(8000), qsizetype(40000)}) {
        SCOPED_TRACE(size);
        try {
            writeFileAtomically(target(), QByteArray(size, 'n'));
            ADD_FAILURE() << "the save reported success on a full disk";
        } catch (const IoError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Unable to write to %1").arg(target()));
        }
        EXPECT_TRUE(holds(kOld));
        EXPECT_EQ(leftovers(), (QStringList{"filler", "script.pl"}));
    }
}

TEST_F(FullDisk, NearlyFullDiskTakesWhatFitsAndRefusesTheRest)
{
    fillLeaving(4096);
    EXPECT_THROW(writeFileAtomically(target(), QByteArray(12000, 'n')), IoError);
    EXPECT_TRUE(holds(kOld));
    EXPECT_THROW(writeFileAtomically(target(), QByteArray(20000, 'n')), IoError);
    EXPECT_TRUE(holds(kOld));
    // What fits in the room left is saved: the file system is not simply refusing everything.
    const QByteArray fits(3000, 'y');
    writeFileAtomically(target(), fits);
    EXPECT_TRUE(holds(fits));
}

} // namespace
