// Writes the sticker grain and the logo into a folder (resources/ of the source tree):
//   make_pictures DIR
// The build embeds the files it finds there; run this after changing the pictures' drawing.

#include <iostream>

#include "picture_art.h"
#include "platform/png.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_pictures DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    std::string problem =
        velmo::WritePng(dir + "/grain.png", velmo::art::MakeGrainPicture(), velmo::PngFormat::Grey8);
    if (problem.empty())
        problem = velmo::WritePng(dir + "/logo.png", velmo::art::MakeLogoPicture(),
                                  velmo::PngFormat::Rgb24);
    if (!problem.empty()) {
        std::cerr << "make_pictures: " << problem << '\n';
        return 1;
    }
    return 0;
}
