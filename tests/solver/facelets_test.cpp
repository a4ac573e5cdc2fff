// Setting up a position from facelet letters: what a hand reassembly can build is accepted,
// anything else refused with a reason that names the letter or piece.

#include <gtest/gtest.h>

#include "solver_test_util.h"

namespace velmo {
namespace {

using testing::InstantCube;
using testing::WithFacelets;

TEST(SetFacelets, RandomPositionsComeBackBlockForBlock) {
    std::mt19937 random(17);
    for (int n = 0; n < 300; ++n) {
        InstantCube source;
        MakeMoves(source.cube, RandomMoves(random, 30));
        const std::string facelets = ToFacelets(source.cube);

        InstantCube target;
        MakeMoves(target.cube, RandomMoves(random, 10));
        ASSERT_EQ(SetFacelets(target.cube, facelets), "") << facelets;
        for (int cell = 1; cell <= kCellCount; ++cell) {
            const TBlock& block = target.cube.Block(cell);
            ASSERT_EQ(block.Faces, source.cube.Block(cell).Faces) << facelets << " cell " << cell;
            EXPECT_EQ(block.Cell, cell);
            EXPECT_TRUE(block.InCube);
            EXPECT_EQ(block.Matrix, CellMatrix(cell));
        }
    }
}

TEST(SetFacelets, WritesNoLogLineAndKeepsTheFlags) {
    InstantCube c;
    c.cube.LogTurns = true;
    c.cube.UserLineOpen = true;
    ASSERT_EQ(SetFacelets(c.cube, testing::FlippedEdge()), "");
    EXPECT_TRUE(c.Lines().empty());
    EXPECT_TRUE(c.cube.LogTurns);
    EXPECT_TRUE(c.cube.UserLineOpen);
}

// The start position again: also the logo's picture comes back to its start orientation.
TEST(SetFacelets, StartLettersGiveTheStartPositionWithThePictureUpright) {
    InstantCube c;
    c.cube.LogTurns = false;
    c.cube.TurnDuration = 0;
    c.cube.TurnTop();
    c.cube.TurnCubeFront(false);
    ASSERT_EQ(SetFacelets(c.cube, testing::kSolvedFacelets), "");
    EXPECT_TRUE(testing::AtStart(c.cube));
    EXPECT_EQ(c.host.TexCoords(), TemplateStickerTexCoords());
}

TEST(SetFacelets, AcceptsWhatTurnsCannotReach) {
    for (const std::string& facelets : {testing::TwistedCorner(), testing::FlippedEdge(),
                                        testing::TwoEdgesExchanged(), testing::TwoCornersExchanged()}) {
        InstantCube c;
        EXPECT_EQ(SetFacelets(c.cube, facelets), "") << facelets;
        EXPECT_EQ(ToFacelets(c.cube), facelets);
    }
}

// The logo goes on the centre of colour 2 wherever the letters put it, and only there.
TEST(SetFacelets, LogoGoesOnTheUpColouredCentre) {
    // The whole cube turned by "Оф": the U centre on the right.
    const std::string turned = [] {
        InstantCube c;
        c.cube.LogTurns = false;
        c.cube.TurnDuration = 0;
        c.cube.TurnCubeFront(false);
        return ToFacelets(c.cube);
    }();
    InstantCube c;
    ASSERT_EQ(SetFacelets(c.cube, turned), "");
    int logos = 0;
    for (int cell = 1; cell <= kCellCount; ++cell)
        for (int slot = 1; slot <= kSlotCount; ++slot) logos += c.cube.Colour(cell, slot) < 0;
    EXPECT_EQ(logos, 1);
    EXPECT_EQ(c.cube.Colour(14, kRight), -2);
}

struct Refusal {
    std::string facelets;
    std::vector<std::string> mentions;  // what the reason must name
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << '"' << refusal.facelets << '"'; }

class SetFaceletsRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(SetFaceletsRefuses, WithReasonAndCubeUnchanged) {
    const Refusal& refusal = GetParam();
    InstantCube c;
    c.cube.LogTurns = false;
    c.cube.TurnDuration = 0;
    c.cube.TurnRight();
    const std::string before = ToFacelets(c.cube);
    const std::string problem = SetFacelets(c.cube, refusal.facelets);
    EXPECT_EQ(problem, FaceletsProblem(refusal.facelets));
    ASSERT_FALSE(problem.empty());
    EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line";
    for (const std::string& mention : refusal.mentions)
        EXPECT_NE(problem.find(mention), std::string::npos) << problem << " should name " << mention;
    EXPECT_EQ(ToFacelets(c.cube), before);
}

const std::string kSolved(testing::kSolvedFacelets);

INSTANTIATE_TEST_SUITE_P(
    BadLetters, SetFaceletsRefuses,
    ::testing::Values(
        Refusal{"", {"54", "0"}},
        Refusal{kSolved.substr(0, 53), {"54", "53"}},
        Refusal{kSolved + "U", {"54", "55"}},
        Refusal{WithFacelets({{"U5", 'X'}}), {"letter 5", "U5", "'X'"}},
        Refusal{WithFacelets({{"F3", 'f'}}), {"letter 21", "F3", "'f'"}},
        Refusal{kSolved.substr(0, 9) + "П" + kSolved.substr(10), {"letter 10", "R1", "'П'"}},
        Refusal{kSolved.substr(0, 53) + "\x01", {"letter 54", "B9", "U+0001"}},
        Refusal{kSolved.substr(0, 53) + "\xFF", {"letter 54", "B9", "U+FFFD"}}));

INSTANTIATE_TEST_SUITE_P(
    BadCentres, SetFaceletsRefuses,
    ::testing::Values(
        // Two centres of one colour.
        Refusal{WithFacelets({{"F5", 'U'}}), {"U5", "F5", "both show U"}},
        // U and F on opposite faces.
        Refusal{WithFacelets({{"F5", 'D'}, {"D5", 'F'}}), {"F5", "B5", "opposite"}},
        // Left and right centres exchanged: a mirror image.
        Refusal{WithFacelets({{"R5", 'L'}, {"L5", 'R'}}), {"mirror"}}));

INSTANTIATE_TEST_SUITE_P(
    BadPieces, SetFaceletsRefuses,
    ::testing::Values(
        // A corner showing U twice.
        Refusal{WithFacelets({{"R1", 'U'}}), {"corner", "U9, R1, F3", "U, U, F"}},
        // An edge with two opposite colours.
        Refusal{WithFacelets({{"F2", 'B'}}), {"edge", "U8, F2", "U, B"}},
        // The front-top edge's colours also on the right-top edge.
        Refusal{WithFacelets({{"R2", 'F'}}), {"edge", "appears twice", "U8, F2", "U6, R2"}},
        // The front-top-right corner mirrored: its front and right colours exchanged.
        Refusal{WithFacelets({{"R1", 'F'}, {"F3", 'R'}}), {"corner", "U9, R1, F3", "mirrored"}}));

// The window says the same in Russian, naming the same letters and pieces.
TEST(FaceletsProblem, RussianWording) {
    const std::pair<std::string, std::string> cases[] = {
        {WithFacelets({{"U5", 'X'}}),
         "буква 5 (U5) — «X», а здесь могут стоять только буквы U, R, F, D, L, B"},
        {kSolved.substr(0, 53) + "\x01",
         "буква 54 (B9) — U+0001, а здесь могут стоять только буквы U, R, F, D, L, B"},
        {kSolved.substr(0, 50), "в позиции 54 буквы, а не 50"},
        {WithFacelets({{"F5", 'U'}}), "центры F5 и U5 оба показывают U"},
        {WithFacelets({{"F5", 'D'}, {"D5", 'F'}}),
         "центры F5 (D) и B5 (B) стоят на противоположных гранях, а на кубике эти цвета "
         "соседние"},
        {WithFacelets({{"R5", 'L'}, {"L5", 'R'}}),
         "центры стоят зеркально: никакой поворот всего кубика не ставит U наверх, F вперёд и "
         "L вправо"},
        {WithFacelets({{"F2", 'B'}}), "ребро U, B встречается дважды: U8, F2 и U2, B2"},
        {WithFacelets({{"R1", 'U'}}), "угол U9, R1, F3 показывает U, U, F: такого угла у кубика нет"},
        {WithFacelets({{"R2", 'F'}}), "ребро F, U встречается дважды: U8, F2 и U6, R2"},
        {WithFacelets({{"R1", 'F'}, {"F3", 'R'}}),
         "угол U9, R1, F3 показывает U, F, R: эти цвета идут вокруг него в зеркальном порядке, "
         "как ни на одном углу кубика"},
    };
    for (const auto& [facelets, russian] : cases)
        EXPECT_EQ(FaceletsProblem(facelets, FaceletsLanguage::Russian), russian) << facelets;
    EXPECT_EQ(FaceletsProblem(kSolved, FaceletsLanguage::Russian), "");
}

TEST(FaceletsProblem, PieceTwiceNamesBothPlaces) {
    // The front-top-right corner's colours copied onto the front-top-left corner, twisted as
    // a top turn carries it there; the front-top-left corner's colours are then missing.
    const std::string twice = WithFacelets({{"U7", 'U'}, {"F1", 'R'}, {"L3", 'F'}});
    const std::string problem = FaceletsProblem(twice);
    EXPECT_NE(problem.find("appears twice"), std::string::npos) << problem;
    EXPECT_NE(problem.find("U7, F1, L3"), std::string::npos) << problem;
    EXPECT_NE(problem.find("U9, R1, F3"), std::string::npos) << problem;
}

}  // namespace
}  // namespace velmo
