// Golden sets of the state files: a starting file, a script of edits through the code that
// owns the file, and the bytes of the file after them as the reference.
#include "core/common/errors.h"
#include "core/common/textfile.h"
#include "core/settings/inifile.h"
#include "core/settings/resetdefaults.h"
#include "core/tasks/taskstore.h"
#include "golden.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// One line of an edit script: "verb field|field|...", or "refuse verb ..." for an edit that
// must be turned down and leave the file alone. Blank lines and lines starting with "#" are
// skipped. In a field, \n \r \t \\ \| and \xHH (a Latin-1 character) are escapes, so that
// line breaks, "|" and blanks at the ends can be written.
struct Operation
{
    int line = 0;
    QString verb;
    bool refused = false;
    QStringList args;
};

QStringList fieldsOf(QStringView text, int line)
{
    QStringList fields{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'|') {
            fields << QString();
            continue;
        }
        if (c != u'\\' || i + 1 == text.size()) {
            fields.last() += c;
            continue;
        }
        const QChar e = text[++i];
        if (e == u'n') {
            fields.last() += u'\n';
        } else if (e == u'r') {
            fields.last() += u'\r';
        } else if (e == u't') {
            fields.last() += u'\t';
        } else if (e == u'x' && i + 2 < text.size()) {
            bool ok = false;
            const uint code = text.mid(i + 1, 2).toUInt(&ok, 16);
            if (!ok)
                ADD_FAILURE() << "line " << line << ": bad \\x escape";
            fields.last() += QChar(code);
            i += 2;
        } else {
            fields.last() += e; // \\ and \|
        }
    }
    return fields;
}

std::vector<Operation> readOperations(const QString &path)
{
    std::vector<Operation> ops;
    const QStringList lines = readTextFile(path).text.split(u'\n');
    for (int n = 0; n < lines.size(); ++n) {
        QStringView rest(lines[n]);
        if (rest.trimmed().isEmpty() || rest.startsWith(u'#'))
            continue;
        Operation op;
        op.line = n + 1;
        const auto takeWord = [&rest] {
            const qsizetype blank = rest.indexOf(u' ');
            const QString word = rest.left(blank < 0 ? rest.size() : blank).toString();
            rest = blank < 0 ? QStringView() : rest.mid(blank + 1);
            return word;
        };
        op.verb = takeWord();
        if (op.verb == u"refuse") {
            op.refused = true;
            op.verb = takeWord();
        }
        op.args = fieldsOf(rest, op.line);
        ops.push_back(op);
    }
    return ops;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program folder with one state file, filled from the script's "start NAME" (a file beside
// the script) or left empty.
class StateFile
{
public:
    StateFile(const QString &name, const QString &script)
        : m_path(m_dir.filePath(QStringLiteral("etc/") + name))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("etc"));
        QByteArray start;
        for (const Operation &op : readOperations(script)) {
            if (op.verb != u"start")
                continue;
            const QString from = QFileInfo(script).dir().filePath(op.args.value(0));
            if (!QFileInfo(from).isFile())
                ADD_FAILURE() << "line " << op.line << ": no starting file " << from.toStdString();
            start = bytesOf(from);
        }
        QFile f(m_path);
        if (f.open(QIODevice::WriteOnly))
            f.write(start);
    }
    const QString &path() const { return m_path; }
    QByteArray bytes() const { return bytesOf(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Runs every operation but "start" through apply; a refused one must throw FormatError and
// leave the file as it was, any other must go through.
void runScript(const QString &script, const StateFile &file,
               const std::function<bool(const Operation &)> &apply)
{
    for (const Operation &op : readOperations(script)) {
        if (op.verb == u"start")
            continue;
        const QByteArray before = file.bytes();
        const std::string where = "line " + std::to_string(op.line) + " (" + op.verb.toStdString()
                                  + "): ";
        try {
            if (!apply(op))
                ADD_FAILURE() << where << "unknown operation or wrong number of fields";
            else if (op.refused)
                ADD_FAILURE() << where << "was expected to be refused";
        } catch (const FormatError &e) {
            if (!op.refused)
                ADD_FAILURE() << where << "refused: " << e.what();
            EXPECT_EQ(file.bytes(), before) << where << "a refused edit changed the file";
        }
    }
}

TEST(IniGolden, RewritesKeepUntouchedLines)
{
    Golden::check({QStringLiteral("ini"), QStringLiteral("*.ops"), QStringLiteral(".after")},
                  [](const QString &script) {
                      const StateFile file(QStringLiteral("quillforge.cfg"), script);
                      TIniFile ini(file.path());
                      runScript(script, file, [&ini](const Operation &op) {
                          const QStringList &a = op.args;
                          if (op.verb == u"write" && a.size() == 3)
                              ini.WriteString(a[0], a[1], a[2]);
                          else if (op.verb == u"delete" && a.size() == 2)
                              ini.DeleteKey(a[0], a[1]);
                          else if (op.verb == u"erase" && a.size() == 1)
                              ini.EraseSection(a[0]);
                          else
                              return false;
                          return true;
                      });
                      return file.bytes();
                  });
}

TEST(TasksGolden, TaskEditsGiveTheseFiles)
{
    Golden::check({QStringLiteral("tasks"), QStringLiteral("*.ops"), QStringLiteral(".after")},
                  [](const QString &script) {
                      const StateFile file(QStringLiteral("tasks.dat"), script);
                      TIniFile ini(file.path());
                      TaskStore store(ini);
                      runScript(script, file, [&store](const Operation &op) {
                          const QStringList &a = op.args;
                          const QDate day = QDate::fromString(a[0], QStringLiteral("dd.MM.yyyy"));
                          if (op.verb == u"store" && a.size() == 5)
                              store.store({day, a[1], a[2], a[3], a[4]});
                          else if (op.verb == u"remove" && a.size() == 2)
                              store.remove(day, a[1]);
                          else
                              return false;
                          return true;
                      });
                      return file.bytes();
                  });
}

// The whole reset with the values the script sets ("set perl|/usr/bin").
TEST(ResetGolden, ResetWritesTheseSettings)
{
    Golden::check({QStringLiteral("reset"), QStringLiteral("*.values"), QStringLiteral(".after")},
                  [](const QString &script) {
                      const StateFile file(QStringLiteral("quillforge.cfg"), script);
                      ResetValues v;
                      runScript(script, file, [&v](const Operation &op) {
                          if (op.verb != u"set" || op.args.size() != 2)
                              return false;
                          const QString &name = op.args[0];
                          const QString &value = op.args[1];
                          QString *text = name == u"perl"            ? &v.perl
                                          : name == u"webServer"     ? &v.webServer
                                          : name == u"runAutoSaveAs" ? &v.runAutoSaveAs
                                          : name == u"command"       ? &v.command
                                          : name == u"localHost"     ? &v.localHost
                                                                     : nullptr;
                          if (text)
                              *text = value;
                          else if (name == u"runWebServer")
                              v.runWebServer = value == u"1";
                          return text || name == u"runWebServer";
                      });
                      TIniFile ini(file.path());
                      for (const ResetStep &step : resetSteps(v)) {
                          if (step.write)
                              step.write(ini);
                      }
                      return file.bytes();
                  });
}

} // namespace
