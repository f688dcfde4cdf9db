#include "core/common/errors.h"
#include "core/run/browserrules.h"
#include "core/settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BrowserRules;

TEST(PseudoLinks, OnlyExactLowerCaseNamesAreCommands)
{
    const std::pair<const char *, PseudoCommand> cases[] = {
            {"cmd:editor", PseudoCommand::Editor},
            {"cmd:tasks", PseudoCommand::Tasks},
            {"cmd:help", PseudoCommand::Help},
            {"cmd:perlref", PseudoCommand::PerlRef},
            {"cmd:tasks:and more", PseudoCommand::Tasks}, // cut at the next colon
            {"cmd:Help", PseudoCommand::None},
            {"cmd:HELP", PseudoCommand::None},
            {"cmd:", PseudoCommand::None},
            {"cmd:format c", PseudoCommand::None},
            // "cmd:" inside another address: the field after the first colon decides.
            {"http://host/?go=cmd:help", PseudoCommand::None},
            {"file:///doc/cmd:help", PseudoCommand::None},
    };
    for (const auto &[address, expected] : cases) {
        EXPECT_TRUE(isPseudoLink(address)) << address;
        EXPECT_EQ(pseudoCommand(address), expected) << address;
    }
    for (const char *address :
         {"http://127.0.0.1:8080/", "/home/u/help.html", "CMD:help", "cmd;help"}) {
        EXPECT_FALSE(isPseudoLink(address)) << address;
        EXPECT_EQ(pseudoCommand(address), PseudoCommand::None) << address;
    }
}

TEST(Navigation, NothingAPageAsksForReachesTheDesktop)
{
    const QUrl filePage = QUrl::fromLocalFile("/home/u/site/form.html");
    const QUrl cgiPage("http://127.0.0.1:8080/cgi-bin/form.pl");
    const QUrl remotePage("https://www.perl.org/");
    const struct
    {
        const char *url;
        Verdict fromFile, fromCgi, fromRemote;
    } cases[] = {
            {"cmd:tasks", Verdict::PseudoLink, Verdict::PseudoLink, Verdict::PseudoLink},
            {"http://127.0.0.1:8080/cgi-bin/x.pl", Verdict::Load, Verdict::Load, Verdict::Load},
            {"https://localhost/x", Verdict::Load, Verdict::Load, Verdict::Load},
            {"http://[::1]:8080/", Verdict::Load, Verdict::Load, Verdict::Load},
            {"http://www.perl.org/", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
            {"http://127.0.0.1@evil.example/", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
            {"http://127.0.0.1.evil.example/", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
            {"file:///home/u/site/next.html", Verdict::Load, Verdict::Refuse, Verdict::Refuse},
            {"about:blank", Verdict::Load, Verdict::Load, Verdict::Load},
            {"xqfaudit://run?x=1", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
            {"mailto:someone@example.org", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
            {"javascript:alert(1)", Verdict::Refuse, Verdict::Refuse, Verdict::Refuse},
    };
    for (const auto &c : cases) {
        const QUrl url(QString::fromUtf8(c.url));
        EXPECT_EQ(judge({url, Initiator::Page, filePage}), c.fromFile) << c.url;
        EXPECT_EQ(judge({url, Initiator::Page, cgiPage}), c.fromCgi) << c.url;
        EXPECT_EQ(judge({url, Initiator::Page, remotePage}), c.fromRemote) << c.url;
        // A new window whose opener is not known is judged like one from a remote page.
        EXPECT_EQ(judge({url, Initiator::Page}), c.fromRemote) << c.url;
    }
    // Content a page made itself may fill its frames, never the whole view.
    for (const char *made : {"data:text/html,<b>x</b>", "blob:file:///1234"}) {
        EXPECT_EQ(judge({QUrl(made), Initiator::Page, filePage, false}), Verdict::Load) << made;
        EXPECT_EQ(judge({QUrl(made), Initiator::Page, filePage, true}), Verdict::Refuse) << made;
    }
}

TEST(Navigation, TheProgramLoadsWebAddressesAndFilesButNoOtherScheme)
{
    for (const char *url :
         {"http://www.perl.org/", "https://metacpan.org/", "file:///etc/x.html", "about:blank"})
        EXPECT_EQ(judge({QUrl(url)}), Verdict::Load) << url;
    for (const char *url : {"mailto:a@b.c", "xqfaudit://x", "ftp://h/", "javascript:1"})
        EXPECT_EQ(judge({QUrl(url)}), Verdict::Refuse) << url;
    EXPECT_EQ(judge({QUrl("cmd:help")}), Verdict::PseudoLink);
}

TEST(Navigation, OnlyTheProgramsOwnPagesUseOtherLocalFiles)
{
    const QStringList own = {"/qf/doc/help/", "/qf/doc/template.html"};
    const QUrl help = QUrl::fromLocalFile("/qf/doc/help/index.html");
    const QUrl user = QUrl::fromLocalFile("/home/u/page.html");
    EXPECT_TRUE(mayUseLocalFiles({help}, own));
    EXPECT_TRUE(mayUseLocalFiles({QUrl::fromLocalFile("/qf/doc/template.html")}, own));
    EXPECT_TRUE(mayUseLocalFiles({help, Initiator::Page, help}, own));
    // A page elsewhere does not become one of them by leading to one.
    EXPECT_FALSE(mayUseLocalFiles({help, Initiator::Page, user}, own));
    for (const char *path :
         {"/home/u/page.html", "/qf/etc/prev.html", "/qf/doc/help.html", "/qf/doc/helpx/a.html",
          "/qf/doc/help/../../etc/prev.html", "/qf/doc/template.html.bak"})
        EXPECT_FALSE(mayUseLocalFiles({QUrl::fromLocalFile(path)}, own)) << path;
    EXPECT_FALSE(mayUseLocalFiles({QUrl("http://127.0.0.1:8080/doc/help/")}, own));
    EXPECT_FALSE(mayUseLocalFiles({help, Initiator::Program, {}, false}, own));
}

TEST(BrowseCaption, IsTheFileNamePartOrThePreviewTitle)
{
    EXPECT_EQ(browseCaption("/home/u/out.html"), "out.html");
    EXPECT_EQ(browseCaption("C:\\www\\form.htm"), "form.htm");
    EXPECT_EQ(browseCaption("http://127.0.0.1:8080/cgi-bin/hello.pl"), "hello.pl");
    EXPECT_EQ(browseCaption("/home/u/My Page.html"), "My Page.html");
    EXPECT_EQ(browseCaption("/home/u/etc/prev.html"), "Perl's output preview");
    EXPECT_EQ(browseCaption("/tmp/prev.HTML"), "Perl's output preview");
    EXPECT_EQ(browseCaption("/tmp/old-prev.html"), "old-prev.html");
    EXPECT_EQ(browseCaption("/home/u/site/"), "");
    EXPECT_EQ(browseCaption("www.perl.org"), "www.perl.org");
    // The colon counts as a separator too, so a bare host with a port shows the port.
    EXPECT_EQ(browseCaption("http://127.0.0.1:8080"), "8080");
}

TEST(ProgressText, FinishedWhenNothingIsKnown)
{
    EXPECT_EQ(progressText(-1, 100), "Finished.");
    EXPECT_EQ(progressText(40, 0), "Finished.");
    EXPECT_EQ(progressText(0, 100), "Loading 0 of 100 kb");
    EXPECT_EQ(progressText(1234, 5678), "Loading 1234 of 5678 kb");
}

TEST(AddressList, AddsOnlyNewAddressesRegardlessOfCase)
{
    QStringList list;
    EXPECT_TRUE(addAddress(list, "http://Example.org/"));
    EXPECT_FALSE(addAddress(list, "HTTP://example.ORG/"));
    EXPECT_TRUE(addAddress(list, "/tmp/a.html"));
    EXPECT_EQ(list, QStringList({"http://Example.org/", "/tmp/a.html"}));
}

TEST(ToUrl, TurnsTypedAddressesIntoWhatTheBrowserLoads)
{
    QTemporaryDir dir;
    const QString base = dir.path() + '/';
    QFile(base + "here.html").open(QIODevice::WriteOnly);

    const QUrl spaced = toUrl("/tmp/my page.html", base);
    EXPECT_TRUE(spaced.isLocalFile());
    EXPECT_EQ(spaced.toLocalFile(), "/tmp/my page.html");
    EXPECT_EQ(toUrl("  /tmp/x/../y.html ", base).toLocalFile(), "/tmp/y.html");
    EXPECT_EQ(toUrl("here.html", base).toLocalFile(), base + "here.html");
    // A relative name that does not exist is still a file: the browser says it is missing.
    EXPECT_EQ(toUrl("missing.html", base).toLocalFile(), base + "missing.html");
    EXPECT_EQ(toUrl("~/x.html", base).toLocalFile(), QDir::homePath() + "/x.html");

    EXPECT_EQ(toUrl("http://127.0.0.1:8080/cgi-bin/a b.pl", base).toString(QUrl::FullyEncoded),
              "http://127.0.0.1:8080/cgi-bin/a%20b.pl");
    EXPECT_EQ(toUrl("www.perl.org", base).toString(), "http://www.perl.org");
    EXPECT_EQ(toUrl("localhost:8080/cgi-bin/x.pl", base).toString(),
              "http://localhost:8080/cgi-bin/x.pl");
    EXPECT_EQ(toUrl("127.0.0.1:8080/", base).toString(), "http://127.0.0.1:8080/");
    EXPECT_EQ(toUrl("", base).toString(), "about:blank");

    // Pseudo-links keep their text, so the browser's check still sees them.
    EXPECT_EQ(toUrl("cmd:help", base).toString(), "cmd:help");
    EXPECT_TRUE(isPseudoLink(toUrl("sub/cmd:help", base).toString()));
}

TEST(DisplayAddress, ShowsLocalFilesAsPaths)
{
    EXPECT_EQ(displayAddress(QUrl::fromLocalFile("/tmp/a b.html")), "/tmp/a b.html");
    EXPECT_EQ(displayAddress(QUrl("http://127.0.0.1:8080/x%20y")), "http://127.0.0.1:8080/x y");
}

class RecentUrlsTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + "/quillforge.cfg"; }
    void write(const QByteArray &bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(RecentUrlsTest, ReadingKeepsKeyOrderAndDropsGapsGarbageAndRepeats)
{
    write("[Config]\nURL0=not this\n[RecentURLs]\nURL3=http://b/\nURL0=http://a/\ngarbage line\n"
          "URL1=\nOther=/tmp/c.html\nURL7=HTTP://A/\n[Next]\nURL0=nor this\n");
    TIniFile ini(path());
    EXPECT_EQ(readRecentUrls(ini), QStringList({"http://b/", "http://a/", "/tmp/c.html"}));
    EXPECT_TRUE(readRecentUrls(TIniFile(dir.path() + "/none.cfg")).isEmpty());
}

TEST_F(RecentUrlsTest, WritingReplacesTheSectionWithNumberedKeys)
{
    write("[RecentURLs]\nURL5=http://old/\njunk=x\n[Config]\nA=1\n");
    TIniFile ini(path());
    writeRecentUrls(ini, {"http://a/", "/tmp/b c.html"});
    EXPECT_EQ(readRecentUrls(ini), QStringList({"http://a/", "/tmp/b c.html"}));
    QStringList keys;
    ini.ReadSection("RecentURLs", keys);
    EXPECT_EQ(keys, QStringList({"URL0", "URL1"}));
    EXPECT_EQ(ini.ReadString("Config", "A", ""), "1");
}

TEST_F(RecentUrlsTest, AnAddressTheFileCannotHoldLeavesTheOldList)
{
    write("[RecentURLs]\nURL0=http://kept/\n");
    TIniFile ini(path());
    EXPECT_THROW(writeRecentUrls(ini, {"http://a/", "two\nlines"}), FormatError);
    EXPECT_EQ(readRecentUrls(ini), QStringList({"http://kept/"}));
}

TEST(PreviewPage, EveryLineEndsWithCrLf)
{
    EXPECT_EQ(previewPage(""), QByteArray());
    EXPECT_EQ(previewPage("<!-- header -->\n<h1>Hi</h1>"),
              QByteArray("<!-- header -->\r\n<h1>Hi</h1>\r\n"));
    EXPECT_EQ(previewPage("a\n\nb\n"), QByteArray("a\r\n\r\nb\r\n\r\n"));
    EXPECT_EQ(previewPage(QString::fromUtf8("caf\xc3\xa9")), QByteArray("caf\xc3\xa9\r\n"));
}
