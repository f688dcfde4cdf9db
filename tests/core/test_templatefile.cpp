#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/templates/iconbitmap.h"
#include "core/templates/templatefile.h"
#include "core/templates/templatelibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Library
{
    QTemporaryDir dir;
    QString lib() const { return dir.path() + QStringLiteral("/lib/"); }
    QString write(const QString &relative, const QByteArray &bytes) const
    {
        const QString p = lib() + relative;
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    QByteArray read(const QString &relative) const
    {
        QFile f(lib() + relative);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TemplateFileValues sampleValues(QStringList code)
{
    TemplateFileValues v;
    v.Name = QStringLiteral("New template");
    v.CopyRight = QStringLiteral("(c) me");
    v.Version = QStringLiteral("1.0");
    v.Notes = QStringLiteral("[none]");
    v.IconFocused = QStringLiteral("default_a");
    v.Icon = QStringLiteral("default_d");
    v.code = std::move(code);
    return v;
}

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The writer's layout, byte for byte, and what each reader takes back from it.
TEST(TemplateFile, WrittenLayoutReadsBackWithEveryValue)
{
    Library l;
    const QString path = WriteTemplateFile(l.lib(), QStringLiteral("Standard"),
                                           QStringLiteral("newtemplate"),
                                           sampleValues({QStringLiteral("print 1;")}));
    EXPECT_EQ(path, l.lib() + QStringLiteral("Standard/newtemplate.plt"));
    EXPECT_EQ(l.read(QStringLiteral("Standard/newtemplate.plt")),
              QByteArray("[Info]\r\nName=New template\r\nCopyRight=(c) me\r\nVersion=1.0\r\n"
                         "Notes=[none]\r\nIconFocused=default_a\r\nIcon=default_d\r\n\r\n"
                         "[Script]\r\nprint 1;\r\n"));
    TStruct_Template t;
    ASSERT_TRUE(ReadTemplateInfo(path, t));
    EXPECT_EQ(t.Name, QStringLiteral("New template"));
    EXPECT_EQ(t.FileName, path);
    EXPECT_EQ(t.Copyright, QStringLiteral("(c) me")); // written "CopyRight", read "Copyright"
    EXPECT_EQ(t.Version, QStringLiteral("1.0"));
    EXPECT_EQ(t.Notes, QStringLiteral("[none]"));
    EXPECT_EQ(t.IconFocused, QStringLiteral("default_a"));
    EXPECT_EQ(t.Icon, QStringLiteral("default_d"));
}

// Code is not escaped: whatever a line holds comes back as it was, in both readers.
TEST(TemplateFile, CodeKeepsItsOwnCharacters)
{
    Library l;
    const QStringList code = {
            u("\tindented with a tab, trailing blanks   "),
            u("non-breaking\xc2\xa0space, \xe2\x86\x92 arrow, \xc3\xa9, \xe2\x82\xac, \xc2\xb6"),
            u("Name=looks like an entry"),
            u("[Info]"),
            u("  [Script]  "),
            QString(),
            u("a line with [Script] inside"),
            u("\xf0\x9f\x90\xaa camel outside the basic plane"),
            QString(),
    };
    const QString path = WriteTemplateFile(l.lib(), QStringLiteral("Standard"),
                                           QStringLiteral("chars"), sampleValues(code));
    EXPECT_EQ(readTemplateCode(path), code);
    EXPECT_EQ(readTemplateCodeForEditing(path), code);
    TStruct_Template t;
    ReadTemplateInfo(path, t);
    EXPECT_EQ(t.Name, QStringLiteral("New template")) << "an entry inside the code was read";
}

TEST(TemplateFile, ReadersFindTheirHeaderLines)
{
    Library l;
    struct Case
    {
        const char *name;
        QByteArray file;
        QStringList inserted;
        QStringList edited;
    };
    const Case cases[] = {
            {"a code line that is exactly the header is lost",
             "[Info]\r\n\r\n[Script]\r\na\r\n[Script]\r\nb\r\n",
             {"a", "b"},
             {"a", "b"}},
            {"a header with a trailing blank: only the editing reader has code, header first",
             "[Info]\r\nName=x\r\n\r\n[Script] \r\na\r\n",
             {},
             {"[Script] ", "a"}},
            {"no header: no code", "[Info]\r\nName=x\r\nprint 1;\r\n", {}, {}},
            {"the editing reader starts at the first line holding the header",
             "[Info]\r\nNotes=see [Script] below\r\n\r\n[Script]\r\nz\r\n",
             {"z"},
             {"Notes=see [Script] below", "", "z"}},
            {"line feeds alone and no break at the end", "[Script]\nx\ny", {"x", "y"}, {"x", "y"}},
            {"lower case is no header for the inserting reader", "[script]\nx\n", {}, {}},
    };
    for (const Case &c : cases) {
        const QString p = l.write(QStringLiteral("G/t.plt"), c.file);
        EXPECT_EQ(readTemplateCode(p), c.inserted) << c.name;
        EXPECT_EQ(readTemplateCodeForEditing(p), c.edited) << c.name;
    }
}

TEST(TemplateFile, InfoFollowsTheSettingsRules)
{
    Library l;
    const QString long3000(3000, u'x');
    const QString p = l.write(
            QStringLiteral("G/t.plt"),
            "[INFO]\r\n  name =  Spaced  \r\nNAME=second\r\nversion=\"2.0\"\r\nnotes='quoted'\r\n"
            "Copyright="
                    + long3000.toUtf8()
                    + "\r\n\r\n[Script]\r\nIcon=from the code\r\n[Info]\r\nIconFocused=late\r\n");
    TStruct_Template t;
    ASSERT_TRUE(ReadTemplateInfo(p, t));
    EXPECT_EQ(t.Name, QStringLiteral("Spaced"));
    EXPECT_EQ(t.Version, QStringLiteral("2.0"));
    EXPECT_EQ(t.Notes, QStringLiteral("quoted"));
    EXPECT_EQ(t.Copyright, long3000.left(2047));
    EXPECT_EQ(t.Icon, QStringLiteral("default_d")) << "an entry of the code counted";
    EXPECT_EQ(t.IconFocused, QStringLiteral("default_a")) << "a second [Info] counted";
}

TEST(TemplateFile, MissingFileLeavesTheRecordMissingKeysTakeDefaults)
{
    Library l;
    TStruct_Template t;
    t.Name = QStringLiteral("kept");
    EXPECT_FALSE(ReadTemplateInfo(l.lib() + QStringLiteral("G/none.plt"), t));
    EXPECT_EQ(t.Name, QStringLiteral("kept"));
    EXPECT_TRUE(t.FileName.isEmpty());

    const QString p = l.write(QStringLiteral("G/bare.plt"), "print 1;\r\n");
    ASSERT_TRUE(ReadTemplateInfo(p, t));
    const QString unknown = QStringLiteral("[?]");
    EXPECT_EQ(t.Name, unknown);
    EXPECT_EQ(t.Copyright, unknown);
    EXPECT_EQ(t.Version, unknown);
    EXPECT_EQ(t.Notes, unknown);
    EXPECT_EQ(t.IconFocused, QStringLiteral("default_a"));
    EXPECT_EQ(t.Icon, QStringLiteral("default_d"));
    // The palette reads the names with an empty default.
    EXPECT_EQ(TemplateInfo::read(p)->value(QStringLiteral("Name"), QString()), QString());
}

TEST(TemplateFile, EightBitFilesAndOddContentRead)
{
    Library l;
    // Windows-1252: "é" and "€" as single bytes.
    const QString p = l.write(QStringLiteral("G/ansi.plt"),
                              "[Info]\r\nName=Caf\xe9\r\n\r\n[Script]\r\nmy $p = '\x80';\r\n");
    TStruct_Template t;
    ReadTemplateInfo(p, t);
    EXPECT_EQ(t.Name, u("Caf\xc3\xa9"));
    EXPECT_EQ(readTemplateCode(p), QStringList{u("my $p = '\xe2\x82\xac';")});

    QByteArray binary("[Info]\r\nName=bin\r\n\r\n[Script]\r\n");
    for (int i = 0; i < 256; ++i)
        binary.append(char(i));
    const QString b = l.write(QStringLiteral("G/binary.plt"), binary);
    ReadTemplateInfo(b, t);
    EXPECT_EQ(t.Name, QStringLiteral("bin"));
    EXPECT_FALSE(readTemplateCode(b).isEmpty());

    const QByteArray huge = "[Info]\r\nName=huge\r\n\r\n[Script]\r\n" + QByteArray(4 << 20, 'x');
    const QString h = l.write(QStringLiteral("G/huge.plt"), huge);
    ReadTemplateInfo(h, t);
    EXPECT_EQ(t.Name, QStringLiteral("huge"));
    EXPECT_EQ(readTemplateCode(h).value(0).size(), 4 << 20);
}

// A write that fails half-way leaves the template as it was.
class FailingCommit : public AtomicWriteSteps
{
public:
    bool commit(QSaveFile &) override { return false; }
};

TEST(TemplateFile, AFailedWriteKeepsTheOldTemplate)
{
    Library l;
    const QString path = WriteTemplateFile(l.lib(), QStringLiteral("Standard"),
                                           QStringLiteral("keep"),
                                           sampleValues({QStringLiteral("old")}));
    const QByteArray before = l.read(QStringLiteral("Standard/keep.plt"));
    FailingCommit failing;
    AtomicWriteSteps *previous = setAtomicWriteSteps(&failing);
    EXPECT_THROW(WriteTemplateFile(l.lib(), QStringLiteral("Standard"), QStringLiteral("keep"),
                                   sampleValues({QStringLiteral("new")})),
                 IoError);
    setAtomicWriteSteps(previous);
    EXPECT_EQ(l.read(QStringLiteral("Standard/keep.plt")), before);
    EXPECT_EQ(readTemplateCode(path), QStringList{QStringLiteral("old")});
}

TEST(TemplateFile, GroupAndFileAreFoundWithoutRegardToCase)
{
    Library l;
    l.write(QStringLiteral("STANDARD/MyTpl.plt"), "[Script]\r\nold\r\n");
    const QString path = WriteTemplateFile(l.lib(), QStringLiteral("Standard"),
                                           QStringLiteral("mytpl"),
                                           sampleValues({QStringLiteral("new")}));
    EXPECT_EQ(path, l.lib() + QStringLiteral("STANDARD/MyTpl.plt"));
    EXPECT_EQ(QDir(l.lib()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("STANDARD")});
    EXPECT_EQ(QDir(l.lib() + QStringLiteral("STANDARD")).entryList(QDir::Files),
              QStringList{QStringLiteral("MyTpl.plt")});
    EXPECT_EQ(readTemplateCode(path), QStringList{QStringLiteral("new")});
}

TEST(TemplateFile, NamesThatLeaveTheLibraryOrAreEmptyAreRefused)
{
    Library l;
    QDir().mkpath(l.lib());
    const std::pair<const char *, const char *> refused[] = {
            {"Standard", ""}, {"", "name"},         {"..", "x"},  {"Standard", ".."},
            {"../up", "x"},   {"Standard", "../x"}, {"a/b", "x"}, {"Standard", "a\\b"},
            {".hidden", "x"}, {"Standard", "x\ny"}, {"   ", "x"},
    };
    for (const auto &[group, name] : refused) {
        EXPECT_THROW(WriteTemplateFile(l.lib(), QString::fromUtf8(group), QString::fromUtf8(name),
                                       sampleValues({})),
                     FormatError)
                << group << " / " << name;
    }
    EXPECT_TRUE(QDir(l.lib()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(QDir(l.dir.path()).entryList({QStringLiteral("*.plt")}, QDir::Files).isEmpty());
    EXPECT_TRUE(templateNameProblem(QStringLiteral("My group"), NameKind::Group).isEmpty());
    EXPECT_TRUE(templateNameProblem(QStringLiteral("file.v2"), NameKind::Template).isEmpty());
}

TEST(TemplateFile, ValuesWithLineBreaksAreRefused)
{
    Library l;
    TemplateFileValues v = sampleValues({});
    v.Notes = QStringLiteral("two\nlines");
    EXPECT_THROW(WriteTemplateFile(l.lib(), QStringLiteral("G"), QStringLiteral("x"), v),
                 FormatError);
    EXPECT_FALSE(QFileInfo::exists(l.lib() + QStringLiteral("G/x.plt")));
}

// What comes with the program: every template has a name, readable icons and code, and no
// line whose second placeholder would stay unexpanded.
TEST(TemplateLibrary, ShippedTemplatesAreComplete)
{
    const QString lib = QStringLiteral(QF_SHIPPED_DATA "/lib/");
    const QStringList groups = ListTemplateGroups(lib);
    EXPECT_TRUE(groups.contains(QStringLiteral("Standard")));
    EXPECT_TRUE(groups.contains(QStringLiteral("Cgi")));
    const IconFiles icons(lib);
    for (const QString &group : groups) {
        const QString folder = groupFolder(lib, group);
        for (const QString &file : ListTemplateFiles(folder, QStringLiteral("*.plt"))) {
            const QString path = folder + file;
            const auto info = TemplateInfo::read(path);
            ASSERT_TRUE(info) << path.toStdString();
            EXPECT_FALSE(info->value(QStringLiteral("Name"), QString()).isEmpty())
                    << file.toStdString();
            for (const char *key : {"Icon", "IconFocused"}) {
                const QString bmp = icons.path(info->value(QLatin1String(key), QString()));
                EXPECT_TRUE(loadIcon16(bmp)) << file.toStdString() << " " << key;
            }
            const QStringList code = readTemplateCode(path);
            EXPECT_FALSE(code.isEmpty()) << file.toStdString();
            for (const QString &line : code)
                EXPECT_LE(line.count(QStringLiteral("!!!#")), 1) << line.toStdString();
            EXPECT_TRUE(readFileBytes(path).contains("\r\n[Script]\r\n")) << file.toStdString();
        }
    }
}

TEST(TemplateLibrary, GroupsAreFoldersShownCapitalised)
{
    Library l;
    for (const char *d : {"cgi", "STANDARD", "mixedCase", ".hidden"})
        QDir().mkpath(l.lib() + QLatin1String(d));
    l.write(QStringLiteral("notagroup.plt"), "");
    QStringList groups = ListTemplateGroups(l.lib());
    groups.sort();
    EXPECT_EQ(groups, (QStringList{QStringLiteral("Cgi"), QStringLiteral("Mixedcase"),
                                   QStringLiteral("Standard")}));
    EXPECT_TRUE(ListTemplateGroups(l.lib() + QStringLiteral("none/")).isEmpty());
    EXPECT_EQ(groupFolder(l.lib(), QStringLiteral("Standard")),
              l.lib() + QStringLiteral("STANDARD/"));
    EXPECT_EQ(groupFolder(l.lib(), QStringLiteral("New")), l.lib() + QStringLiteral("New/"));
}

TEST(TemplateLibrary, FilesMatchTheirMaskAndFoldersNever)
{
    Library l;
    l.write(QStringLiteral("G/a.plt"), "");
    l.write(QStringLiteral("G/B.PLT"), "");
    l.write(QStringLiteral("G/c.txt"), "");
    QDir().mkpath(l.lib() + QStringLiteral("G/folder.plt"));
    QStringList files = ListTemplateFiles(l.lib() + QStringLiteral("G/"), QStringLiteral("*.plt"));
    files.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("B.PLT"), QStringLiteral("a.plt")}));
    EXPECT_TRUE(
            ListTemplateFiles(l.lib() + QStringLiteral("none/"), QStringLiteral("*.plt")).isEmpty());
}

TEST(TemplateLibrary, IconNamesFindTheirBitmapsWhateverTheCase)
{
    Library l;
    l.write(QStringLiteral("MyIcon.BMP"), "x");
    l.write(QStringLiteral("default_a.bmp"), "x");
    const IconFiles icons(l.lib());
    EXPECT_EQ(icons.path(QStringLiteral("myicon")), l.lib() + QStringLiteral("MyIcon.BMP"));
    EXPECT_EQ(icons.path(QStringLiteral("MyIcon")), l.lib() + QStringLiteral("MyIcon.BMP"));
    EXPECT_EQ(icons.path(QStringLiteral("default_a")), l.lib() + QStringLiteral("default_a.bmp"));
    EXPECT_TRUE(icons.path(QStringLiteral("missing")).isEmpty());
    EXPECT_TRUE(icons.path(QString()).isEmpty()); // no key: "lib/.bmp" is never a file
}

TEST(TemplateLibrary, FileNameWithoutExtension)
{
    EXPECT_EQ(FileNameWithoutExt(QStringLiteral("/x/lib/MyIcon.bmp")), QStringLiteral("MyIcon"));
    EXPECT_EQ(FileNameWithoutExt(QStringLiteral("/x.d/a.b.plt")), QStringLiteral("a.b"));
    EXPECT_EQ(FileNameWithoutExt(QStringLiteral("/x.d/noext")), QStringLiteral("noext"));
    EXPECT_EQ(FileNameWithoutExt(QStringLiteral(".plt")), QString());
}

} // namespace
