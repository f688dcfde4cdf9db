#include "core/run/commandline.h"

#include <QFileInfo>

#include <algorithm>

namespace {

void addWord(Command &c, QString &gap, const QString &word)
{
    c.arguments << word;
    c.spacing << gap;
    gap.clear();
}

// The rules of QProcess::splitCommand, keeping the blanks typed between the words for showing.
// Quotes that make no character of a word are not shown.
void addTyped(Command &c, QString &gap, QStringView text)
{
    QString word;
    int quotes = 0;
    bool inQuote = false;
    for (QChar ch : text) {
        if (ch == u'"') {
            if (++quotes == 3) {
                quotes = 0;
                word += ch;
            }
            continue;
        }
        if (quotes == 1)
            inQuote = !inQuote;
        quotes = 0;
        if (inQuote || !ch.isSpace()) {
            word += ch;
        } else {
            if (!word.isEmpty())
                addWord(c, gap, word);
            word.clear();
            gap += ch;
        }
    }
    if (!word.isEmpty())
        addWord(c, gap, word);
}

// A path typed in double quotes, as people do for one with blanks, is meant without them.
QString pathWord(const QString &path)
{
    if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"')
        return path.mid(1, path.size() - 2);
    return path;
}

QString shown(const QString &word)
{
    const bool plain = std::none_of(word.begin(), word.end(),
                                    [](QChar c) { return c.isSpace() || c == u'"'; });
    if (plain)
        return word;
    QString inner = word;
    inner.replace(QStringLiteral("\""), QStringLiteral("\\\""));
    return u'"' + inner + u'"';
}

QString wordProblem(const QString &word)
{
    QString visible = word;
    visible.replace(QChar(0), QChar(0x2400));
    if (word.contains(QChar(0))) {
        return QStringLiteral("Oops! \"%1\" cannot be handed to a program: it holds a NUL "
                              "character.")
                .arg(visible);
    }
    // An unpaired surrogate has no encoding: the program would get another name.
    if (QString::fromLocal8Bit(word.toLocal8Bit()) != word) {
        return QStringLiteral("Oops! \"%1\" cannot be handed to a program: it holds a character "
                              "that has no encoding.")
                .arg(visible);
    }
    return QString();
}

} // namespace

QString Command::display() const
{
    QString s = shown(program);
    for (qsizetype i = 0; i < arguments.size(); ++i)
        s += (i < spacing.size() ? spacing.at(i) : QStringLiteral(" ")) + shown(arguments.at(i));
    return s + trailer;
}

QString Command::problem() const
{
    QString why = wordProblem(program);
    for (qsizetype i = 0; why.isEmpty() && i < arguments.size(); ++i)
        why = wordProblem(arguments.at(i));
    return why;
}

Command Command::fromTyped(const QString &line)
{
    Command words;
    QString gap;
    addTyped(words, gap, line);
    Command c;
    if (words.arguments.isEmpty())
        return c;
    c.program = words.arguments.takeFirst();
    c.arguments = words.arguments;
    c.spacing = words.spacing.mid(1);
    c.trailer = gap;
    return c;
}

QString switchLetters(const RunScheme &scheme)
{
    QString letters;
    // The letters join in this order whatever the order of the keys in the file.
    const std::pair<bool, char16_t> switches[] = {
            {scheme.w, u'w'}, {scheme.T, u'T'}, {scheme.U, u'U'},
            {scheme.v, u'v'}, {scheme.S, u'S'}, {scheme.h, u'h'},
    };
    for (const auto &[on, letter] : switches) {
        if (on)
            letters += QChar(letter);
    }
    return letters;
}

Command interpreterCommand(const QString &interpreter, const QString &interpreterSwitch,
                           const QString &line)
{
    Command c;
    c.program = pathWord(interpreter.trimmed());
    QString gap;
    addTyped(c, gap, interpreterSwitch);
    addWord(c, gap, line);
    return c;
}

Command buildCommand(const RunRequest &request)
{
    Command c;
    c.program = pathWord(request.interpreter);
    QString gap;
    bool switched = false;
    // Each switch stands between blanks of its own: two switches are two blanks apart.
    auto addSwitch = [&](const QString &word) {
        gap += u' ';
        addWord(c, gap, word);
        gap += u' ';
        switched = true;
    };
    if (request.customMode) {
        gap += u' ';
        addTyped(c, gap, request.scheme.custom);
        gap += u' ';
        switched = true;
    } else if (const QString letters = switchLetters(request.scheme); !letters.isEmpty()) {
        addSwitch(u'-' + letters);
    }
    if (request.syntaxCheck)
        addSwitch(QStringLiteral("-c"));
    // Without a name the named choice is perl's own debugger as well.
    const bool named = request.namedDebugger && !request.debugger.trimmed().isEmpty();
    if (request.debug)
        addSwitch(named ? QStringLiteral("-d:") + request.debugger : QStringLiteral("-d"));
    if (!switched)
        gap = QStringLiteral(" ");
    const QString script = pathWord(request.script);
    if (!script.isEmpty())
        addWord(c, gap, script);
    gap += u' ';
    addTyped(c, gap, request.parameters);
    c.trailer = gap;
    c.workingDirectory = scriptFolder(script, request.inScriptFolder);
    // A debugger asks what to do next on the script's standard input.
    c.keepInputOpen = request.debug;
    return c;
}

QString scriptFolder(const QString &script, bool inScriptFolder)
{
    if (!inScriptFolder || script.isEmpty())
        return {};
    const QFileInfo file(script);
    return file.isFile() ? file.absolutePath() : QString();
}
