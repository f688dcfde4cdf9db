#include "core/run/commandline.h"

namespace {

bool hasWhiteSpace(const QString &s)
{
    for (QChar c : s) {
        if (c.isSpace())
            return true;
    }
    return false;
}

bool isQuoted(const QString &s)
{
    return s.size() >= 2 && s.front() == u'"' && s.back() == u'"';
}

} // namespace

QString switchString(const RunScheme &scheme, bool customMode)
{
    if (customMode)
        return u' ' + scheme.custom + u' ';
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
    return letters.isEmpty() ? QString() : QStringLiteral(" -") + letters + u' ';
}

QString buildCommandLine(const RunRequest &request)
{
    QString s = switchString(request.scheme, request.customMode);
    if (request.syntaxCheck)
        s += QStringLiteral(" -c ");
    if (request.debug) {
        s += request.namedDebugger ? QStringLiteral(" -d:") + request.debugger + u' '
                                   : QStringLiteral(" -d ");
    }
    if (s.isEmpty())
        s = QStringLiteral(" ");
    return quoteIfBlank(request.interpreter) + s + quoteIfBlank(request.script) + u' '
           + request.parameters;
}

QString quoteIfBlank(const QString &path)
{
    if (!hasWhiteSpace(path) || isQuoted(path))
        return path;
    QString inner = path;
    inner.replace(QStringLiteral("\""), QStringLiteral("\"\"\""));
    return u'"' + inner + u'"';
}
