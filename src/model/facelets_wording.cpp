// The wording of facelet faults: English for velmo-cli, Russian for the window.

#include "model/facelets_fault.h"

namespace velmo {

namespace {

using Kind = FaceletsFault::Kind;

std::string English(const FaceletsFault& f) {
    const std::vector<std::string>& p = f.parts;
    const std::string piece = f.corner ? "corner" : "edge";
    switch (f.kind) {
        case Kind::None: return {};
        case Kind::BadLetter: {
            const bool quoted = !p[2].starts_with("U+");
            return "letter " + p[0] + (p[1].empty() ? "" : " (" + p[1] + ")") + " is " +
                   (quoted ? "'" + p[2] + "'" : p[2]) +
                   "; only the letters U, R, F, D, L, B can stand there";
        }
        case Kind::WrongLength: return "a position has 54 letters, not " + p[0];
        case Kind::CentreTwice:
            return "the centres " + p[0] + " and " + p[1] + " both show " + p[2];
        case Kind::CentresNeighbours:
            return "the centres " + p[0] + " (" + p[1] + ") and " + p[2] + " (" + p[3] +
                   ") stand on opposite faces, but on the cube they are neighbours";
        case Kind::CentresMirrored:
            return "the centres are a mirror image of the cube's: no whole-cube turn puts " +
                   p[0] + " up, " + p[1] + " in front and " + p[2] + " to the right";
        case Kind::UnknownPiece:
            return "the " + piece + " at " + p[0] + " shows " + p[1] + ": no " + piece +
                   " of the cube has these colours";
        case Kind::PieceTwice:
            return "the " + piece + " " + p[0] + " appears twice: at " + p[1] + " and at " + p[2];
        case Kind::MirroredCorner:
            return "the corner at " + p[0] + " shows " + p[1] +
                   ": these colours run round it the mirrored way, as on no corner of the cube";
    }
    return {};
}

std::string Russian(const FaceletsFault& f) {
    const std::vector<std::string>& p = f.parts;
    const std::string piece = f.corner ? "угол" : "ребро";
    switch (f.kind) {
        case Kind::None: return {};
        case Kind::BadLetter: {
            const bool quoted = !p[2].starts_with("U+");
            return "буква " + p[0] + (p[1].empty() ? "" : " (" + p[1] + ")") + " — " +
                   (quoted ? "«" + p[2] + "»" : p[2]) +
                   ", а здесь могут стоять только буквы U, R, F, D, L, B";
        }
        case Kind::WrongLength: return "в позиции 54 буквы, а не " + p[0];
        case Kind::CentreTwice: return "центры " + p[0] + " и " + p[1] + " оба показывают " + p[2];
        case Kind::CentresNeighbours:
            return "центры " + p[0] + " (" + p[1] + ") и " + p[2] + " (" + p[3] +
                   ") стоят на противоположных гранях, а на кубике эти цвета соседние";
        case Kind::CentresMirrored:
            return "центры стоят зеркально: никакой поворот всего кубика не ставит " + p[0] +
                   " наверх, " + p[1] + " вперёд и " + p[2] + " вправо";
        case Kind::UnknownPiece:
            return piece + " " + p[0] + " показывает " + p[1] + ": " +
                   (f.corner ? "такого угла" : "такого ребра") + " у кубика нет";
        case Kind::PieceTwice:
            return piece + " " + p[0] + " встречается дважды: " + p[1] + " и " + p[2];
        case Kind::MirroredCorner:
            return "угол " + p[0] + " показывает " + p[1] +
                   ": эти цвета идут вокруг него в зеркальном порядке, как ни на одном углу "
                   "кубика";
    }
    return {};
}

}  // namespace

std::string DescribeFault(const FaceletsFault& fault, FaceletsLanguage language) {
    return language == FaceletsLanguage::Russian ? Russian(fault) : English(fault);
}

}  // namespace velmo
