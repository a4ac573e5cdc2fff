// The sequences «Частые вращения» starts with do what their names say: run on the cube in its
// start position, exactly the named pieces move, as named, and every other piece stays.

#include <gtest/gtest.h>

#include <map>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "settings/starter_library.h"

namespace velmo {
namespace {

// Where each moved piece went: cell -> (the home cell of the block now there, the slot its
// home top or front colour now shows on). A twist in place keeps the cell.
struct Moved {
    int from;
    int colourSlot;  // the slot now showing the colour the piece had at `colourWas`
    int colourWas;
};

std::map<int, Moved> RunFromStart(const std::string& node) {
    const std::size_t open = node.find('{'), close = node.find('}');
    HeadlessHost host;
    host.SetAutoTurnDuration(0);
    TVelmo cube(host);
    cube.ExecuteMoveString(node.substr(open + 1, close - open - 1), false);
    std::map<int, Moved> moved;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const TBlock& block = cube.Block(cell);
        if (block.Faces == StartFaces(cell)) continue;
        // The block's home: the cell whose start colours it carries.
        for (int home = 1; home <= kCellCount; ++home) {
            std::array<int, kSlotCount> a = block.Faces, b = StartFaces(home);
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (a != b) continue;
            // Follow its top colour (white) when it has one, else its front colour.
            const int colour = b.end() != std::find(b.begin(), b.end(), 2) ? 2 : 1;
            const int slotWas = static_cast<int>(
                std::find(StartFaces(home).begin(), StartFaces(home).end(), colour) -
                StartFaces(home).begin() + 1);
            const int slotNow = static_cast<int>(
                std::find(block.Faces.begin(), block.Faces.end(), colour) - block.Faces.begin() + 1);
            moved[cell] = {home, slotNow, slotWas};
        }
    }
    return moved;
}

std::string Named(const std::string& prefix) {
    for (const std::string& node : StarterSequences())
        if (node.starts_with(prefix)) return node;
    ADD_FAILURE() << "no sequence named " << prefix;
    return "{}";
}

TEST(StarterLibrary, EachSequenceDoesWhatItsNameSays) {
    // The edge of the top front goes to the front right (left) of the middle layer, its front
    // colour staying in front; below the top layer nothing else moves.
    for (const auto& [name, target] : {std::pair{"Ребро сверху в средний слой вправо", 6},
                                       std::pair{"Ребро сверху в средний слой влево", 4}}) {
        const std::map<int, Moved> moved = RunFromStart(Named(name));
        ASSERT_TRUE(moved.contains(target)) << name;
        EXPECT_EQ(moved.at(target).from, 2) << name;
        EXPECT_NE(moved.at(target).colourSlot, kTop) << name;  // white turned to the side
        for (const auto& [cell, m] : moved)
            EXPECT_TRUE(cell == target || CellPosition(cell).y == 1) << name << ": cell " << cell;
    }

    // Front and back top edges change places, left and right ones too; white stays up.
    std::map<int, Moved> moved = RunFromStart(Named("Обмен рёбер верха крест-накрест"));
    ASSERT_EQ(moved.size(), 4u);
    for (const auto& [cell, from] : std::map<int, int>{{2, 19}, {19, 2}, {10, 12}, {12, 10}}) {
        EXPECT_EQ(moved[cell].from, from);
        EXPECT_EQ(moved[cell].colourSlot, kTop);
    }

    // Three top corners go round, 3 -> 18 -> 20 -> 3, white up; the fourth stays.
    moved = RunFromStart(Named("Перестановка трёх углов верха"));
    ASSERT_EQ(moved.size(), 3u);
    for (const auto& [cell, from] : std::map<int, int>{{18, 3}, {20, 18}, {3, 20}}) {
        EXPECT_EQ(moved[cell].from, from);
        EXPECT_EQ(moved[cell].colourSlot, kTop);
    }

    // Two top corners stay in their cells, twisted (opposite ways, as only a legal position
    // allows with two).
    moved = RunFromStart(Named("Поворот двух углов верха"));
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[3].from, 3);
    EXPECT_EQ(moved[20].from, 20);
    EXPECT_EQ(moved[3].colourSlot, kFront);  // white from the top to the front
    EXPECT_EQ(moved[20].colourSlot, kBack);  // and to the back
}

TEST(StarterLibrary, EveryEntryIsANamedCorrectMoveString) {
    for (const std::string& node : StarterSequences()) {
        const std::size_t open = node.find(" {"), close = node.find('}');
        ASSERT_NE(open, std::string::npos) << node;
        ASSERT_EQ(close, node.size() - 1) << node;
        EXPECT_TRUE(TVelmo::IsValidMoveString(node.substr(open + 2, close - open - 2))) << node;
    }
}

}  // namespace
}  // namespace velmo
