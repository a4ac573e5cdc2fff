#pragma once
// The program's option --facelets F (or --facelets=F): it starts from the position F, 54
// letters in the order velmo-cli --state prints, set up as a finished reassembly leaves the
// cube. A missing or bad F is refused before any window opens.

#include <QStringList>
#include <string>

namespace velmo {

struct StartPosition {
    std::string facelets;  // "" for the cube's own start position
    std::string error;     // one line for stderr (Russian); "" when the option is fine
};

// The arguments as the application has them (the program's name first); other options are
// left to others.
StartPosition ReadStartPosition(const QStringList& arguments);

}  // namespace velmo
