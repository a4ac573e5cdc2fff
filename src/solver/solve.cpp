// The solver's driver, the general orientation, the colour test and the failure.

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "solver/stages.h"

namespace velmo {

using namespace solver;

namespace {

constexpr std::string_view kCaption = "Кубик Вельмо";
constexpr std::string_view kUnsolvableText = "Кубик Вельмо собрать невозможно!";
// Appended to the last line: two line breaks, the notice, two line breaks.
constexpr std::string_view kUnsolvableNotice =
    "\r\n\r\n*** Кубик Вельмо собрать невозможно! ***\r\n\r\n";

bool IsBlank(const std::string& line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

// The user sees the message box with a normal cursor, then the notice in the log; turn
// logging stays off until the next Solve or the parameters dialog sets it again.
void ReportUnsolvable(TVelmo& cube, BusyCursor& busy) {
    busy.Release();
    cube.Host().ShowWarning(std::string(kCaption), std::string(kUnsolvableText));
    Log(cube).AppendMessage(kUnsolvableNotice);
    cube.LogTurns = false;
}

bool Solve(TVelmo& cube) {
    IModelHost& host = cube.Host();
    BusyCursor busy(host);
    cube.UserLineOpen = false;
    cube.TurnDuration = host.AutoTurnDuration();
    Log(cube).AddMessage("");
    Log(cube).AddMessage("*** Сборка Кубика Вельмо ***");
    // The solver's turns are the protocol: they are logged whatever the logging setting.
    cube.LogTurns = true;
    try {
        OrientCube(cube);
        SolveTopCross(cube);
        SolveTopCorners(cube);
        SolveMiddleLayer(cube);
        SolveBottomCross(cube);
        SolveBottomCorners(cube);
        OrientCorners(cube);
        // A single flipped edge passes all six stages unnoticed (it ends in cell 6); the run
        // must not then report success with the beep.
        if (!IsSolved(cube)) FailUnsolvable();
        OrientCube(cube);
    } catch (const Unsolvable&) {
        ReportUnsolvable(cube, busy);
        return false;
    }
    cube.LogTurns = host.DoLog();
    host.Beep();
    Log(cube).AddMessage("");
    return true;
}

void OrientCube(TVelmo& cube) {
    Log(cube).AddMessage("");
    Log(cube).AddMessage("Общая ориентация Кубика Вельмо");
    Log(cube).AddMessage("");
    Log(cube).AddMessage("");

    // The logo centre to the top.
    if (cube.Colour(5, kFront) == -2) Turns(cube, "Оп");
    else if (cube.Colour(22, kBack) == -2) Turns(cube, "Оп'");
    else if (cube.Colour(13, kLeft) == -2) Turns(cube, "Оф");
    else if (cube.Colour(14, kRight) == -2) Turns(cube, "Оф'");
    else if (cube.Colour(16, kBottom) == -2) Turns(cube, "Оп Оп");

    // Colour 1 to the front.
    if (cube.Colour(13, kLeft) == 1) Turns(cube, "Ов'");
    else if (cube.Colour(14, kRight) == 1) Turns(cube, "Ов");
    else if (cube.Colour(22, kBack) == 1) Turns(cube, "Ов Ов");

    // No turn was made: the line opened for the turns stays empty and goes.
    if (IsBlank(Log(cube).Lines().back())) Log(cube).DeleteLastLine();
}

bool CellHasColours(const TVelmo& cube, int cell, int a, int b, int c) {
    const std::array<int, kSlotCount>& faces = cube.Block(cell).Faces;
    const auto shows = [&faces](int colour) {
        return std::find(faces.begin(), faces.end(), colour) != faces.end();
    };
    return shows(a) && shows(b) && (c == 0 || shows(c));
}

bool IsSolved(const TVelmo& cube) {
    // The colour each slot direction should show: that face's centre colour.
    std::array<int, kSlotCount + 1> faceColour{};
    for (int slot = 1; slot <= kSlotCount; ++slot)
        faceColour[slot] = std::abs(cube.Colour(CellAt(SlotDirection(slot)), slot));
    for (int cell = 1; cell <= kCellCount; ++cell) {
        if (IsCentreCell(cell)) continue;
        // A slot shows a sticker exactly where the start position has one.
        const std::array<int, kSlotCount> start = StartFaces(cell);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            if (cube.Colour(cell, slot) != (start[slot - 1] != 0 ? faceColour[slot] : 0))
                return false;
    }
    return true;
}

namespace solver {

void FailUnsolvable() { throw Unsolvable{}; }

namespace {

Move MoveOfNotation(std::string_view notation) {
    for (int i = 0; i < kMoveCount; ++i) {
        const Move move = static_cast<Move>(i);
        if (TurnOf(move).notation == notation) return move;
    }
    throw std::invalid_argument("no turn is written '" + std::string(notation) + "'");
}

}  // namespace

void Turns(TVelmo& cube, std::string_view notations) {
    std::size_t begin = 0;
    while (begin < notations.size()) {
        std::size_t end = notations.find(' ', begin);
        if (end == std::string_view::npos) end = notations.size();
        if (end > begin) cube.Turn(MoveOfNotation(notations.substr(begin, end - begin)));
        begin = end + 1;
    }
}

namespace {

void PerformMacro(TVelmo& cube, bool newLine, std::string_view text,
                  std::string_view notations) {
    cube.LogTurns = false;
    if (newLine) Log(cube).AddMessage(text);
    else Log(cube).AppendMessage(text);
    Turns(cube, notations);
    cube.LogTurns = true;
}

}  // namespace

void MacroOnNewLine(TVelmo& cube, std::string_view text, std::string_view notations) {
    PerformMacro(cube, true, text, notations);
}

void MacroAppended(TVelmo& cube, std::string_view text, std::string_view notations) {
    PerformMacro(cube, false, text, notations);
}

void BringToFront(TVelmo& cube, int p, int& q) {
    switch (p) {
        case 2: Turns(cube, "В"); q += 3; break;
        case 3: Turns(cube, "В В"); q += 2; break;
        case 4: Turns(cube, "В'"); q += 1; break;
    }
}

void UndoTopTurns(TVelmo& cube, int q) {
    switch (q % 4) {
        case 1: Turns(cube, "В"); break;
        case 2: Turns(cube, "В В"); break;
        case 3: Turns(cube, "В'"); break;
    }
}

void BlockLine(TVelmo& cube, int i) {
    Log(cube).AddMessage("Блок №" + std::to_string(i) + ": ");
}

}  // namespace solver

}  // namespace velmo
