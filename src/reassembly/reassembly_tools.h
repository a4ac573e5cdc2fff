#pragma once
// What the reassembly tool window knows and decides, without the window: which tool is down,
// which block buttons can still be chosen, how many blocks are out, whether "Готово" stands in
// place of "Отмена", what a click on the cube does and what closing does.

#include <array>

#include "model/velmo.h"

namespace velmo {

// The tool buttons of the window's radio group; Block is any of the 20 block buttons.
enum class Tool { Arrow, Rotate, Delete, Block };

// A block button's tag: 100 for a corner or 200 for an edge, plus the block's number (its
// home cell). 0 for a cell that holds no corner or edge.
int BlockButtonTag(int block);

class TReassemblyTools {
public:
    // The window's creation: the arrow down, every block button enabled, all 20 blocks out.
    // The command that opens the window has already taken the cube apart (StartReassembly).
    explicit TReassemblyTools(TVelmo& cube);
    TReassemblyTools(const TReassemblyTools&) = delete;
    TReassemblyTools& operator=(const TReassemblyTools&) = delete;

    // 0 for the arrow and the rotate tool, -1 for the remove tool, n while block n's button is
    // down.
    int ToolState() const { return toolState_; }
    // Blocks out of the cube.
    int MissingCount() const { return missingCount_; }
    // The number of the block whose button was chosen last; 0 before any.
    int ActiveBlockButton() const { return activeBlockButton_; }
    Tool DownTool() const { return downTool_; }
    bool BlockButtonEnabled(int block) const;
    // "Готово" shows in place of "Отмена" once every block is back.
    bool ShowsOk() const { return missingCount_ <= 0; }
    bool Closed() const { return closed_; }

    // The tool buttons. A block button is named by its tag; a disabled or unknown one does
    // nothing.
    void ArrowClick();
    void RotateClick();
    void DeleteClick();
    void BlockClick(int tag);
    // "Заново": every block out again, every button enabled, the arrow down.
    void VelmoHandClick();

    // A left press on the cube while PickedCell is a cell the current tool may act on: places
    // the chosen block, rotates or removes the block there.
    void HandleReassemblyClick();

    // Enables the button of block n again (nothing for 0).
    void EnableBlockButton(int n);

    // Closing the window by any way: nothing highlighted; with every block back the built
    // position stays and the log says so, otherwise the cube goes back to the start position.
    // The reset may throw RunStopped when the host asks to stop; the tools are closed by then
    // and the reset has put the cube in the start position. Later calls do nothing.
    void FormClose();

private:
    void PlaceChosenBlock();
    void RemoveBlock();

    TVelmo& cube_;
    int toolState_ = 0;
    int missingCount_ = 0;
    int activeBlockButton_ = 0;
    Tool downTool_ = Tool::Arrow;
    std::array<bool, kCellCount + 1> enabled_{};  // by block number
    bool closed_ = false;
};

}  // namespace velmo
