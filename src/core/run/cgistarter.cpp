#include "core/run/cgistarter.h"

#include <cstring>

namespace CgiStarter {

namespace {

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

Words shebangSwitches(const std::string &head)
{
    const std::size_t start = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (head.compare(start, 2, "#!") != 0)
        return {};
    const std::string line = head.substr(start, head.find('\n', start) - start);
    std::size_t at = line.find("perl", 2);
    if (at == std::string::npos)
        return {};
    while (at < line.size() && !blank(line[at]))
        ++at;
    Words switches;
    while (at < line.size()) {
        while (at < line.size() && blank(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !blank(line[end]))
            ++end;
        const std::string word = line.substr(at, end - at);
        if (word.size() < 2 || word[0] != '-' || word == "--")
            break;
        if (std::strchr("eEMm", word[1]))
            break;
        switches.push_back(word);
        at = end;
    }
    return switches;
}

Words perlArguments(const std::string &head, const std::string &script, const Words &scriptArguments)
{
    Words arguments = shebangSwitches(head);
    arguments.push_back(script.compare(0, 1, "-") == 0 ? "./" + script : script);
    arguments.insert(arguments.end(), scriptArguments.begin(), scriptArguments.end());
    return arguments;
}

} // namespace CgiStarter
