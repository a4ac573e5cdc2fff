#pragma once
// Helpers shared by the model tests.

#include <sstream>
#include <string>
#include <vector>

#include "headless/headless_host.h"
#include "model/velmo.h"

namespace velmo::testing {

// Everything that tells one position from another: which block stands where, with which
// colours and matrix.
struct BlockState {
    int cell;
    std::array<int, kSlotCount> faces;
    Matrix4 matrix;
    bool inCube;
    friend bool operator==(const BlockState&, const BlockState&) = default;
};

inline std::vector<BlockState> Snapshot(const TVelmo& cube) {
    std::vector<BlockState> state;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const TBlock& b = cube.Block(cell);
        state.push_back({b.Cell, b.Faces, b.Matrix, b.InCube});
    }
    return state;
}

// A headless host that also writes down, in order, every frame ("F") and every sleep ("S" and
// its milliseconds) the model asks for.
class RecordingHost : public HeadlessHost {
public:
    void RenderFrame() override {
        events += "F";
        HeadlessHost::RenderFrame();
    }
    void Sleep(std::uint32_t milliseconds) override {
        events += "S" + std::to_string(milliseconds);
        HeadlessHost::Sleep(milliseconds);
    }
    std::string events;
};

// A string repeated.
inline std::string Times(int n, const std::string& s) {
    std::string all;
    for (int i = 0; i < n; ++i) all += s;
    return all;
}

// The blank-separated words of a log line.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

}  // namespace velmo::testing
