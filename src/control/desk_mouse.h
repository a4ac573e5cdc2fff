#pragma once
// Mouse control of the cube on the desk: pressing on a sticker and dragging along a row or a
// column turns that layer; dragging with the right button, or from a block's body, swings the
// camera around the cube; dragging the mirror disc moves the mirror. In reassembly mode the
// block under the mouse is highlighted and left presses on it go to the reassembly mode.
//
// Use from the window layer: forward the desk's press, move and release events, with their
// positions in logical desk pixels (QMouseEvent::position(), fractional values allowed):
//
//     DeskMouse mouse(scene, cube, deskHost);
//     mouse.MouseDown(MouseButton::Left, {event->position().x(), event->position().y()});
//     mouse.MouseMove({x, y});           // every move, with or without a button held
//     mouse.MouseUp(MouseButton::Left, {x, y});
//
// What lies under the mouse is picked in device pixels, floor((x - x0) * ratio) and
// floor((y - y0) * ratio), with the ratio and the picture's origin (x0, y0) the desk host gives
// at that moment; the drag thresholds and the angle
// formulas work in logical pixels and the logical desk width, so a drag feels the same on
// every screen.
//
// A sticker turn (and a reassembly click) runs to its end, animation included, inside the
// event that started it. Events that reach this object meanwhile (a window layer that pumps
// input during the animation) are kept and handled in order after it, so they never start a
// second turn inside the first. If the model throws RunStopped, the drag has ended, the kept
// events are dropped and the exception reaches the caller.

#include <deque>
#include <optional>

#include "control/sticker_turns.h"

namespace velmo {

struct PickResult;
class TScene;
class TVelmo;

enum class MouseButton { Left, Right, Middle };

// A point of the desk in logical pixels, (0, 0) at the top left.
struct DeskPoint {
    double x = 0, y = 0;
};

// What the mouse control needs from the main window.
class IDeskMouseHost {
public:
    virtual ~IDeskMouseHost() = default;
    // The main window's reassembly-mode flag.
    virtual bool ReassemblyMode() const = 0;
    // A left press in reassembly mode while a block or empty cell is highlighted.
    virtual void HandleReassemblyClick() = 0;
    // The desk's width in logical pixels (the desk is square).
    virtual int DeskWidth() const = 0;
    // Device pixels per logical pixel of the desk (may be fractional).
    virtual double DevicePixelRatio() const = 0;
    // The picture's top-left corner on the desk, in logical pixels: not (0, 0) only on a desk
    // larger than any back buffer, where the picture is centred.
    virtual DeskPoint PictureOrigin() const { return {}; }
};

// The drag state of the main window.
struct DragState {
    bool active = false;
    // The press point; camera and mirror drags move it to the latest mouse position.
    DeskPoint reference;
    // Neither flag set: a sticker drag of the sticker in pickedSlot of the block in pickedCell.
    bool cameraDrag = false;
    bool mirrorDrag = false;
    int pickedCell = 0;
    int pickedSlot = 0;
};

class DeskMouse {
public:
    // The scene and the model must outlive this object; the view angles are the scene's.
    DeskMouse(TScene& scene, TVelmo& cube, IDeskMouseHost& host);
    DeskMouse(const DeskMouse&) = delete;
    DeskMouse& operator=(const DeskMouse&) = delete;

    void MouseDown(MouseButton button, DeskPoint point);
    void MouseMove(DeskPoint point);
    void MouseUp(MouseButton button, DeskPoint point);

    const DragState& State() const { return drag_; }

private:
    struct Event {
        enum class Kind { Down, Move, Up } kind;
        MouseButton button;
        DeskPoint point;
    };

    void Handle(const Event& event);
    void Dispatch(const Event& event);
    void OnPress(MouseButton button, DeskPoint point);
    void OnMove(DeskPoint point);
    void HighlightUnderMouse(DeskPoint point);
    void SwingCamera(double dx, double dy, double width);
    void MoveMirror(double dx, double dy, double width);
    void DragSticker(double dx, double dy);
    void PerformStickerTurn(DragDirection direction);
    std::optional<PickResult> PickUnder(DeskPoint point);

    TScene& scene_;
    TVelmo& cube_;
    IDeskMouseHost& host_;
    DragState drag_;
    // True while an event is being handled; events that arrive meanwhile wait in pending_.
    bool busy_ = false;
    std::deque<Event> pending_;
};

}  // namespace velmo
