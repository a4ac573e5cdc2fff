#include "model/facelets.h"

#include <cstdlib>

#include "model/velmo.h"

namespace velmo {

FaceletPlace FaceletAt(int index) {
    const int face = index / 9, row = (index % 9) / 3, col = index % 3;
    CellPos p;
    int slot = 0;
    switch (kFaceOrder[face]) {
        case 'U': p = {col - 1, 1, 1 - row}; slot = kTop; break;
        case 'R': p = {1, 1 - row, col - 1}; slot = kRight; break;
        case 'F': p = {col - 1, 1 - row, -1}; slot = kFront; break;
        case 'D': p = {col - 1, -1, row - 1}; slot = kBottom; break;
        case 'L': p = {-1, 1 - row, 1 - col}; slot = kLeft; break;
        case 'B': p = {1 - col, 1 - row, 1}; slot = kBack; break;
    }
    return {CellAt(p), slot};
}

char FaceletLetter(int colour) {
    static constexpr std::string_view kLetters = "?FURBDL";
    const int n = std::abs(colour);
    return n >= 1 && n <= 6 ? kLetters[n] : '?';
}

std::string ToFacelets(const TVelmo& cube) {
    std::string facelets;
    for (int i = 0; i < kFaceletCount; ++i) {
        const FaceletPlace place = FaceletAt(i);
        const TBlock& block = cube.Block(place.cell);
        facelets += block.InCube ? FaceletLetter(block.Face(place.slot)) : '.';
    }
    return facelets;
}

}  // namespace velmo
