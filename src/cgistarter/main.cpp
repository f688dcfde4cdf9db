// Run by the local web server for each CGI script, with the script as its argument: reads the
// script's #! line and becomes perl with that line's switches, so that -T and -C scripts run.
// No shell sees the script's name or its #! line.
#include "core/run/cgistarter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "quillforge-cgi: the web server runs this with a CGI script to "
                             "run as its argument.\n");
        return 2;
    }
    // An unreadable script gets no switches; perl then says why it cannot read it.
    std::string head(CgiStarter::kHeadSize, '\0');
    ssize_t got = 0;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        got = ::read(fd, head.data(), head.size());
        ::close(fd);
    }
    head.resize(got > 0 ? std::size_t(got) : 0);
    const char *perl = std::getenv(CgiStarter::kPerlVariable);
    if (!perl || !*perl)
        perl = "/usr/bin/perl";
    const CgiStarter::Words arguments = CgiStarter::perlArguments(head, argv[1],
                                                                  CgiStarter::Words(argv + 2,
                                                                                    argv + argc));
    std::vector<char *> args;
    args.push_back(const_cast<char *>(perl));
    for (const std::string &a : arguments)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    ::execv(perl, args.data());
    std::fprintf(stderr, "quillforge-cgi: cannot start %s: %s\n", perl, std::strerror(errno));
    return 127;
}
