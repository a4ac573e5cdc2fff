#include "reassembly/reassembly_tools.h"

#include "log/message_log.h"
#include "reassembly/reassembly.h"

namespace velmo {

namespace {
constexpr int kPickNone = 0, kPickLooseBlocks = 3;
}  // namespace

int BlockButtonTag(int block) {
    if (block < 1 || block > kCellCount) return 0;
    if (IsCornerCell(block)) return 100 + block;
    if (IsEdgeCell(block)) return 200 + block;
    return 0;
}

TReassemblyTools::TReassemblyTools(TVelmo& cube) : cube_(cube), missingCount_(kLooseBlockCount) {
    for (int cell = 1; cell <= kCellCount; ++cell) enabled_[cell] = BlockButtonTag(cell) != 0;
}

bool TReassemblyTools::BlockButtonEnabled(int block) const {
    return block >= 1 && block <= kCellCount && enabled_[block];
}

void TReassemblyTools::ArrowClick() {
    cube_.PickFilter = kPickNone;
    toolState_ = 0;
    downTool_ = Tool::Arrow;
}

void TReassemblyTools::RotateClick() {
    cube_.PickFilter = kPickLooseBlocks;
    toolState_ = 0;
    downTool_ = Tool::Rotate;
}

void TReassemblyTools::DeleteClick() {
    cube_.PickFilter = kPickLooseBlocks;
    toolState_ = -1;
    downTool_ = Tool::Delete;
}

void TReassemblyTools::BlockClick(int tag) {
    const int block = tag % 100;
    if (tag <= 0 || BlockButtonTag(block) != tag || !enabled_[block]) return;
    cube_.PickFilter = tag / 100;  // 1: empty corner cells, 2: empty edge cells
    toolState_ = block;
    activeBlockButton_ = block;
    downTool_ = Tool::Block;
}

// The arrow goes down as well: the filter now offers nothing, and a rotate, remove or block
// tool left down would show a tool that no longer acts.
void TReassemblyTools::VelmoHandClick() {
    TakeApart(cube_);
    ArrowClick();
    for (int cell = 1; cell <= kCellCount; ++cell) enabled_[cell] = BlockButtonTag(cell) != 0;
    missingCount_ = kLooseBlockCount;
}

void TReassemblyTools::HandleReassemblyClick() {
    if (closed_ || cube_.PickedCell < 1) return;
    if (toolState_ > 0) PlaceChosenBlock();
    else if (toolState_ < 0) RemoveBlock();
    else if (downTool_ == Tool::Rotate) RotateBlockInPlace(cube_);
}

// Only a block that really went in counts: a cell that cannot take it changes nothing.
void TReassemblyTools::PlaceChosenBlock() {
    const int block = toolState_;
    if (!enabled_[block] || !PlaceBlock(cube_, block)) return;
    ArrowClick();
    enabled_[block] = false;
    --missingCount_;
}

void TReassemblyTools::RemoveBlock() {
    if (!HoldsLooseBlock(cube_, cube_.PickedCell)) return;
    EnableBlockButton(RemovePickedBlock(cube_));
    ++missingCount_;
}

void TReassemblyTools::EnableBlockButton(int n) {
    if (BlockButtonTag(n) != 0) enabled_[n] = true;
}

void TReassemblyTools::FormClose() {
    if (closed_) return;
    closed_ = true;
    cube_.PickedCell = -1;
    if (missingCount_ <= 0) {
        cube_.Host().Log().AddMessage("Пользователь пересложил Кубик Вельмо");
        cube_.UserLineOpen = false;
    } else {
        cube_.ResetToStart();
    }
}

}  // namespace velmo
