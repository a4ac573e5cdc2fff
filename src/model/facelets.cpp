#include "model/facelets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "model/facelets_fault.h"
#include "model/velmo.h"
#include "platform/text.h"

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

// ---- Setting up a position from facelets -------------------------------------------------

namespace velmo {

namespace {

constexpr std::string_view kColourLetters = "?FURBDL";  // colour number -> letter

int ColourOfLetter(char32_t letter) {
    for (int colour = 1; colour <= kSlotCount; ++colour)
        if (static_cast<char32_t>(kColourLetters[colour]) == letter) return colour;
    return 0;
}

// "U7": the face letter and the number of facelet i within its face.
std::string FaceletLabel(int i) {
    return std::string(1, kFaceOrder[i / 9]) + std::to_string(i % 9 + 1);
}

// A character as it can be shown, or its code ("U+0009") when it cannot be.
std::string CharacterText(char32_t c) {
    if (c >= 0x20 && c != 0x7F && c != 0xFFFD && !(c >= 0x80 && c < 0xA0)) {
        std::string text;
        AppendUtf8(text, c);
        return text;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return hex;
}

// Per cell, the facelets it shows and their slots.
struct CellFacelets {
    std::vector<int> index;
    std::vector<int> slot;
};

const std::array<CellFacelets, kCellCount + 1>& FaceletsByCell() {
    static const std::array<CellFacelets, kCellCount + 1> byCell = [] {
        std::array<CellFacelets, kCellCount + 1> cells;
        for (int i = 0; i < kFaceletCount; ++i) {
            const FaceletPlace place = FaceletAt(i);
            cells[place.cell].index.push_back(i);
            cells[place.cell].slot.push_back(place.slot);
        }
        return cells;
    }();
    return byCell;
}

std::string PlaceText(const CellFacelets& facelets) {
    std::string text;
    for (int i : facelets.index) text += (text.empty() ? "" : ", ") + FaceletLabel(i);
    return text;
}

std::string ColoursText(const std::vector<int>& colours) {
    std::string text;
    for (int c : colours) text += (text.empty() ? "" : ", ") + std::string(1, kColourLetters[c]);
    return text;
}

// The colours of a piece in ascending order: the piece's identity.
std::vector<int> SortedColours(std::vector<int> colours) {
    std::sort(colours.begin(), colours.end());
    return colours;
}

// The way a corner's colours run round it: the sign of the triple product of the directions
// that show its colours, taken in ascending colour order. Turns keep it; a mirror flips it.
int CornerHandedness(const std::vector<int>& colours, const std::vector<int>& slots) {
    std::array<CellPos, 3> d;
    const std::vector<int> sorted = SortedColours(colours);
    for (int k = 0; k < 3; ++k)
        for (std::size_t m = 0; m < colours.size(); ++m)
            if (colours[m] == sorted[k]) d[k] = SlotDirection(slots[m]);
    const int det = d[0].x * (d[1].y * d[2].z - d[1].z * d[2].y) -
                    d[0].y * (d[1].x * d[2].z - d[1].z * d[2].x) +
                    d[0].z * (d[1].x * d[2].y - d[1].y * d[2].x);
    return det > 0 ? 1 : -1;
}

// A piece of the start position: its home cell, sorted colours and (corners) handedness.
struct HomePiece {
    int cell;
    std::vector<int> colours;
    int handedness;
};

const std::vector<HomePiece>& HomePieces() {
    static const std::vector<HomePiece> pieces = [] {
        std::vector<HomePiece> all;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            if (IsCentreCell(cell)) continue;
            const std::array<int, kSlotCount> faces = StartFaces(cell);
            std::vector<int> colours, slots;
            for (int slot = 1; slot <= kSlotCount; ++slot)
                if (faces[slot - 1] != 0) {
                    colours.push_back(std::abs(faces[slot - 1]));
                    slots.push_back(slot);
                }
            const int hand = colours.size() == 3 ? CornerHandedness(colours, slots) : 0;
            all.push_back({cell, SortedColours(colours), hand});
        }
        return all;
    }();
    return pieces;
}

// The centre colours per slot direction (index 1..6), as an arrangement of the whole cube.
using CentreArrangement = std::array<int, kSlotCount + 1>;

// Every arrangement that whole-cube turns reach from the start (24), each with the shortest
// list of whole-cube turns that reaches it.
const std::vector<std::pair<CentreArrangement, std::vector<Move>>>& CentreRotations() {
    static const auto rotations = [] {
        std::vector<std::pair<CentreArrangement, std::vector<Move>>> found;
        CentreArrangement start{};
        for (int slot = 1; slot <= kSlotCount; ++slot) start[slot] = slot;
        found.push_back({start, {}});
        for (std::size_t next = 0; next < found.size(); ++next) {
            for (Move move : {Move::CubeFront, Move::CubeTop, Move::CubeRight}) {
                const TurnInfo& turn = TurnOf(move);
                CentreArrangement turned{};
                for (int slot = 1; slot <= kSlotCount; ++slot)
                    turned[SlotOf(Rotate(turn.axis, turn.a, SlotDirection(slot)))] =
                        found[next].first[slot];
                const bool known = std::any_of(found.begin(), found.end(),
                                               [&](const auto& f) { return f.first == turned; });
                if (known) continue;
                std::vector<Move> moves = found[next].second;
                moves.push_back(move);
                found.push_back({turned, moves});
            }
        }
        return found;
    }();
    return rotations;
}

// The facelet index of the centre of the face that a slot looks at.
int CentreFacelet(int slot) {
    const auto& byCell = FaceletsByCell();
    return byCell[CellAt(SlotDirection(slot))].index[0];
}

const std::vector<Move>* CentreTurns(const std::u32string& letters) {
    CentreArrangement centres{};
    for (int slot = 1; slot <= kSlotCount; ++slot)
        centres[slot] = ColourOfLetter(letters[CentreFacelet(slot)]);
    for (const auto& [arrangement, moves] : CentreRotations())
        if (arrangement == centres) return &moves;
    return nullptr;
}

std::string ColourText(int colour) { return std::string(1, kColourLetters[colour]); }
int CentreColour(const std::u32string& letters, int slot) {
    return ColourOfLetter(letters[CentreFacelet(slot)]);
}

FaceletsFault CentresFault(const std::u32string& letters) {
    using Kind = FaceletsFault::Kind;
    if (CentreTurns(letters)) return {};
    std::array<int, kSlotCount + 1> seenAt{};  // per colour, the slot whose centre shows it
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int i = CentreFacelet(slot), colour = ColourOfLetter(letters[i]);
        if (seenAt[colour] != 0)
            return {Kind::CentreTwice,
                    {FaceletLabel(CentreFacelet(seenAt[colour])), FaceletLabel(i),
                     ColourText(colour)}};
        seenAt[colour] = slot;
    }
    // Opposite slots are 1-4, 2-5, 3-6, and so are the colours of opposite start faces.
    for (int slot = 1; slot <= 3; ++slot) {
        const int a = CentreColour(letters, slot), b = CentreColour(letters, slot + 3);
        if (std::abs(a - b) != 3)
            return {Kind::CentresNeighbours,
                    {FaceletLabel(CentreFacelet(slot)), ColourText(a),
                     FaceletLabel(CentreFacelet(slot + 3)), ColourText(b)}};
    }
    return {Kind::CentresMirrored,
            {ColourText(CentreColour(letters, kTop)), ColourText(CentreColour(letters, kFront)),
             ColourText(CentreColour(letters, kRight))}};
}

FaceletsFault PiecesFault(const std::u32string& letters) {
    using Kind = FaceletsFault::Kind;
    const auto& byCell = FaceletsByCell();
    const auto& home = HomePieces();
    std::vector<int> seenAtCell(home.size(), 0);
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (IsCentreCell(cell)) continue;
        const CellFacelets& facelets = byCell[cell];
        const bool corner = facelets.index.size() == 3;
        std::vector<int> colours;
        for (int i : facelets.index) colours.push_back(ColourOfLetter(letters[i]));
        const std::vector<int> sorted = SortedColours(colours);
        std::size_t piece = 0;
        while (piece < home.size() && home[piece].colours != sorted) ++piece;
        if (piece == home.size())
            return {Kind::UnknownPiece, {PlaceText(facelets), ColoursText(colours)}, corner};
        if (seenAtCell[piece] != 0)
            return {Kind::PieceTwice,
                    {ColoursText(sorted), PlaceText(byCell[seenAtCell[piece]]),
                     PlaceText(facelets)},
                    corner};
        seenAtCell[piece] = cell;
        if (corner && CornerHandedness(colours, facelets.slot) != home[piece].handedness)
            return {Kind::MirroredCorner, {PlaceText(facelets), ColoursText(colours)}, corner};
    }
    return {};
}

FaceletsFault FindFault(std::string_view facelets) {
    using Kind = FaceletsFault::Kind;
    const std::u32string letters = DecodeUtf8(facelets);
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (ColourOfLetter(letters[i]) != 0) continue;
        const std::string place = i < kFaceletCount ? FaceletLabel(static_cast<int>(i)) : "";
        return {Kind::BadLetter, {std::to_string(i + 1), place, CharacterText(letters[i])}};
    }
    if (letters.size() != kFaceletCount)
        return {Kind::WrongLength, {std::to_string(letters.size())}};
    if (FaceletsFault fault = CentresFault(letters); fault.kind != Kind::None) return fault;
    return PiecesFault(letters);
}

}  // namespace

std::string FaceletsProblem(std::string_view facelets, FaceletsLanguage language) {
    return DescribeFault(FindFault(facelets), language);
}

std::string SetFacelets(TVelmo& cube, std::string_view facelets) {
    if (std::string problem = FaceletsProblem(facelets); !problem.empty()) return problem;
    const std::u32string letters = DecodeUtf8(facelets);
    IModelHost& host = cube.Host();
    // From the start position, the whole-cube turns that place the centres carry the logo and
    // its picture along; then every corner and edge gets the colours the letters give it.
    for (int cell = 1; cell <= kCellCount; ++cell) cube.Blocks[cell] = std::make_unique<TBlock>(cell);
    host.WriteStickerTexCoords(TemplateStickerTexCoords());
    for (Move move : *CentreTurns(letters)) cube.Turn(move, true);
    const auto& byCell = FaceletsByCell();
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (IsCentreCell(cell)) continue;
        TBlock& block = cube.Block(cell);
        block.Faces.fill(0);
        for (std::size_t k = 0; k < byCell[cell].index.size(); ++k)
            block.Faces[byCell[cell].slot[k] - 1] = ColourOfLetter(letters[byCell[cell].index[k]]);
    }
    host.RenderFrame();
    return {};
}

}  // namespace velmo
