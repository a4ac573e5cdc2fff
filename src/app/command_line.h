#pragma once
// The program's own command line. Qt's options (-platform, -style, -display ...) stay Qt's:
// QApplication takes them out of argc and argv, and what it leaves is the program's.
//
// --help and --version need no display, so main answers them before QApplication looks for
// one; everything else is read from what Qt leaves. --facelets F (or --facelets=F) starts from
// the position F, 54 letters in the order velmo-cli --state prints, set up as a finished
// reassembly leaves the cube; a missing or bad F is refused before any window opens. Plain
// C++, for the tests' sake.

#include <string>
#include <vector>

namespace velmo {

// What the program's own options ask for.
struct ProgramOptions {
    bool help = false;
    bool version = false;
    std::string facelets;  // "" for the cube's own start position
};

// Reads the program's options from the arguments (without the program name) into options.
// Returns "" when all are known and right, else one Russian line naming the first that is
// not. Before Qt has taken its own, pass qtMayFollow: arguments the program does not know are
// then left to Qt rather than refused, and a position is not yet checked.
std::string ReadProgramOptions(const std::vector<std::string>& args, ProgramOptions& options,
                               bool qtMayFollow = false);

// The text of --help (Russian, as the program speaks) and the line of --version.
std::string ProgramHelp();
std::string ProgramVersionLine();

}  // namespace velmo
