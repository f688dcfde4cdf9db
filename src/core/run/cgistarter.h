#pragma once

#include <string>
#include <vector>

// How the local web server runs a CGI script: through a small starter that gives perl the
// switches of the script's #! line on its command line. perl refuses -T (and -C) on the #!
// line unless the command line has them too; a CGI server only ever passes the script.
// Plain C++: the starter runs for every request and loads no Qt.
namespace CgiStarter {

using Words = std::vector<std::string>;

// The environment variable through which the server names the Perl to run scripts with.
inline constexpr char kPerlVariable[] = "QUILLFORGE_CGI_PERL";
// How much of a script's start is read for its #! line.
inline constexpr std::size_t kHeadSize = 1024;

// The switches of the #! line at the start of head, as perl reads them: the words starting
// with "-" after the word that names perl, up to the first other word or "--". A line that does
// not name perl has none (perl hands such a script to the interpreter it names). -e, -E, -M
// and -m end the list: perl refuses them on a #! line, and on the command line they would run
// other code than the script.
Words shebangSwitches(const std::string &head);

// perl's arguments for script whose file starts with head: the switches, then the script and
// then what the server passed after it. A script name that looks like a switch is made one
// that cannot be taken for one.
Words perlArguments(const std::string &head, const std::string &script,
                    const Words &scriptArguments = {});

} // namespace CgiStarter
