#include "twophase/facelet_cube.h"

#include "twophase/facelet_geometry.h"

namespace velmo::twophase {

namespace {

// Cell coordinates of the positions, in the order of cubie.h.
constexpr std::array<CellPos, kCorners> kCornerCells = {{
    {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}, {1, 1, 1},
    {1, -1, -1}, {-1, -1, -1}, {-1, -1, 1}, {1, -1, 1},
}};
constexpr std::array<CellPos, kEdges> kEdgeCells = {{
    {1, 1, 0}, {0, 1, -1}, {-1, 1, 0}, {0, 1, 1},
    {1, -1, 0}, {0, -1, -1}, {-1, -1, 0}, {0, -1, 1},
    {1, 0, -1}, {-1, 0, -1}, {-1, 0, 1}, {1, 0, 1},
}};

int Determinant(CellPos a, CellPos b, CellPos c) {
    return a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
           a.z * (b.x * c.y - b.y * c.x);
}

// The facelet on the cell's side that faces along the axis picked by which(direction).
template <class Which>
int FaceletFacing(CellPos cell, Which which) {
    for (CellPos n : {CellPos{0, cell.y, 0}, CellPos{0, 0, cell.z}, CellPos{cell.x, 0, 0}})
        if (n != CellPos{} && which(n)) return FaceletAt(cell, n);
    return -1;
}

char HomeLetter(int facelet) { return kFaceLetters[facelet / 9]; }

bool CentresHome(std::string_view facelets) {
    for (int face = 0; face < kFaces; ++face)
        if (facelets[9 * face + 4] != kFaceLetters[face]) return false;
    return true;
}

// The corner piece whose colours, read clockwise from its U or D colour, are a, b, c, with
// the twist at which they were read; -1 when no corner has them.
int MatchCorner(const std::array<char, 3>& read, int& twist) {
    const auto& corners = CornerFacelets();
    for (twist = 0; twist < 3; ++twist) {
        if (read[twist] != 'U' && read[twist] != 'D') continue;
        for (int piece = 0; piece < kCorners; ++piece) {
            bool same = true;
            for (int k = 0; k < 3; ++k)
                same &= read[(twist + k) % 3] == HomeLetter(corners[piece][k]);
            if (same) return piece;
        }
        return -1;
    }
    return -1;
}

int MatchEdge(char a, char b, int& flip) {
    const auto& edges = EdgeFacelets();
    for (int piece = 0; piece < kEdges; ++piece) {
        const char home0 = HomeLetter(edges[piece][0]), home1 = HomeLetter(edges[piece][1]);
        if (a == home0 && b == home1) flip = 0;
        else if (a == home1 && b == home0) flip = 1;
        else continue;
        return piece;
    }
    return -1;
}

}  // namespace

const std::array<std::array<int, 3>, kCorners>& CornerFacelets() {
    static const auto corners = [] {
        std::array<std::array<int, 3>, kCorners> all;
        for (int k = 0; k < kCorners; ++k) {
            const CellPos cell = kCornerCells[k];
            const CellPos ud{0, cell.y, 0}, fb{0, 0, cell.z}, rl{cell.x, 0, 0};
            // Clockwise seen from outside, in these coordinates (z away from the viewer), is
            // the order whose directions have a positive determinant.
            const bool clockwise = Determinant(ud, rl, fb) > 0;
            all[k] = {FaceletAt(cell, ud), FaceletAt(cell, clockwise ? rl : fb),
                      FaceletAt(cell, clockwise ? fb : rl)};
        }
        return all;
    }();
    return corners;
}

const std::array<std::array<int, 2>, kEdges>& EdgeFacelets() {
    static const auto edges = [] {
        std::array<std::array<int, 2>, kEdges> all;
        for (int k = 0; k < kEdges; ++k) {
            const CellPos cell = kEdgeCells[k];
            const int reference = cell.y != 0 ? FaceletAt(cell, {0, cell.y, 0})
                                              : FaceletAt(cell, {0, 0, cell.z});
            const int other = FaceletFacing(cell, [&](CellPos n) {
                return FaceletAt(cell, n) != reference;
            });
            all[k] = {reference, other};
        }
        return all;
    }();
    return edges;
}

std::optional<CubieCube> CubieFromFacelets(std::string_view facelets) {
    if (facelets.size() != kFacelets || !CentresHome(facelets)) return std::nullopt;
    CubieCube cube;
    std::array<bool, kEdges> seen{};
    for (int k = 0; k < kCorners; ++k) {
        const auto& f = CornerFacelets()[k];
        int twist = 0;
        const int piece = MatchCorner({facelets[f[0]], facelets[f[1]], facelets[f[2]]}, twist);
        if (piece < 0 || seen[piece]) return std::nullopt;
        seen[piece] = true;
        cube.cp[k] = static_cast<std::uint8_t>(piece);
        cube.co[k] = static_cast<std::uint8_t>(twist);
    }
    seen.fill(false);
    for (int k = 0; k < kEdges; ++k) {
        const auto& f = EdgeFacelets()[k];
        int flip = 0;
        const int piece = MatchEdge(facelets[f[0]], facelets[f[1]], flip);
        if (piece < 0 || seen[piece]) return std::nullopt;
        seen[piece] = true;
        cube.ep[k] = static_cast<std::uint8_t>(piece);
        cube.eo[k] = static_cast<std::uint8_t>(flip);
    }
    return cube;
}

std::string FaceletsFromCubie(const CubieCube& cube) {
    std::string facelets(kFacelets, '?');
    for (int face = 0; face < kFaces; ++face) facelets[9 * face + 4] = kFaceLetters[face];
    for (int k = 0; k < kCorners; ++k)
        for (int j = 0; j < 3; ++j)
            facelets[CornerFacelets()[k][(j + cube.co[k]) % 3]] =
                HomeLetter(CornerFacelets()[cube.cp[k]][j]);
    for (int k = 0; k < kEdges; ++k)
        for (int j = 0; j < 2; ++j)
            facelets[EdgeFacelets()[k][(j + cube.eo[k]) % 2]] =
                HomeLetter(EdgeFacelets()[cube.ep[k]][j]);
    return facelets;
}

}  // namespace velmo::twophase
