#include "control/desk_mouse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "log/message_log.h"
#include "model/velmo.h"
#include "view/scene.h"

namespace velmo {

namespace {

// A sticker drag turns once it has gone further than this along one axis (logical pixels).
constexpr double kTurnThreshold = 32;
// Radians the view turns for a drag across the whole desk.
constexpr double kCameraPerDesk = 2;
constexpr double kMirrorPerDesk = 1.6;
constexpr float kMaxMirrorAngle = 0.63f;
constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

constexpr const char* kUserLineHeader = "Операции пользователя: ";

}  // namespace

DeskMouse::DeskMouse(TScene& scene, TVelmo& cube, IDeskMouseHost& host)
    : scene_(scene), cube_(cube), host_(host) {}

void DeskMouse::MouseDown(MouseButton button, DeskPoint point) {
    Handle({Event::Kind::Down, button, point});
}

void DeskMouse::MouseMove(DeskPoint point) {
    Handle({Event::Kind::Move, MouseButton::Left, point});
}

void DeskMouse::MouseUp(MouseButton button, DeskPoint point) {
    Handle({Event::Kind::Up, button, point});
}

// An event that arrives while another is handled (from inside a turn's animation) waits
// until that one has finished, so a turn never starts inside another.
void DeskMouse::Handle(const Event& event) {
    if (busy_) {
        pending_.push_back(event);
        return;
    }
    struct Idle {
        DeskMouse& self;
        ~Idle() {
            self.busy_ = false;
            self.pending_.clear();  // left over only when a turn was stopped
        }
    } idle{*this};
    busy_ = true;
    Dispatch(event);
    while (!pending_.empty()) {
        const Event next = pending_.front();
        pending_.pop_front();
        Dispatch(next);
    }
}

void DeskMouse::Dispatch(const Event& event) {
    switch (event.kind) {
        case Event::Kind::Down: OnPress(event.button, event.point); break;
        case Event::Kind::Move: OnMove(event.point); break;
        case Event::Kind::Up: drag_.active = false; break;
    }
}

std::optional<PickResult> DeskMouse::PickUnder(DeskPoint point) {
    const double ratio = host_.DevicePixelRatio();
    const DeskPoint origin = host_.PictureOrigin();
    return scene_.PickAt(static_cast<int>(std::floor((point.x - origin.x) * ratio)),
                         static_cast<int>(std::floor((point.y - origin.y) * ratio)));
}

void DeskMouse::OnPress(MouseButton button, DeskPoint point) {
    if (host_.ReassemblyMode() && button == MouseButton::Left && cube_.PickedCell > 0) {
        host_.HandleReassemblyClick();
        return;
    }
    if (drag_.active) return;
    drag_.active = true;
    drag_.reference = point;
    const std::optional<PickResult> pick = PickUnder(point);
    if (!pick || (pick->Nothing() && button != MouseButton::Right)) {
        drag_.active = false;  // a failed pick has been reported already
        return;
    }
    drag_.cameraDrag = drag_.mirrorDrag = false;
    if (button == MouseButton::Right || (pick->green5 == 0 && pick->blue5 == 0)) {
        drag_.cameraDrag = true;
    } else if (pick->Disc()) {
        drag_.mirrorDrag = true;
    } else {
        drag_.pickedCell = pick->red5;
        drag_.pickedSlot = pick->blue5;
    }
}

void DeskMouse::OnMove(DeskPoint point) {
    if (host_.ReassemblyMode()) {
        const std::optional<PickResult> pick = PickUnder(point);
        if (!pick) {
            drag_.active = false;
            return;
        }
        cube_.PickedCell = pick->green5 == 0 && !pick->Nothing() ? pick->red5 : -1;
        scene_.RenderFrame();
    }
    const int width = host_.DeskWidth();
    if (!drag_.active || width <= 0) return;  // a collapsed desk gives no angle to turn by
    const double dx = point.x - drag_.reference.x;
    const double dy = point.y - drag_.reference.y;
    if (drag_.cameraDrag) {
        SwingCamera(dx, dy, width);
        drag_.reference = point;
    } else if (drag_.mirrorDrag) {
        MoveMirror(dx, dy, width);
        drag_.reference = point;
    } else {
        DragSticker(dx, dy);
    }
}

// The camera stays in the quarter between the front and the right face: when the drag takes
// it out, the model is turned a quarter about the vertical axis instead, without log or
// animation, and the view is the same. A fast flick can pass more than one quarter; four
// quarter turns change nothing, so only the remainder is made.
void DeskMouse::SwingCamera(double dx, double dy, double width) {
    ViewAngles& angles = scene_.Angles;
    angles.CameraAngleH = static_cast<float>(angles.CameraAngleH - dx / width * kCameraPerDesk);
    angles.CameraAngleV = static_cast<float>(angles.CameraAngleV + dy / width * kCameraPerDesk);
    int quarters = 0;
    while (angles.CameraAngleH < 0) {
        angles.CameraAngleH += kQuarterTurn;
        --quarters;
    }
    while (angles.CameraAngleH > kQuarterTurn) {
        angles.CameraAngleH -= kQuarterTurn;
        ++quarters;
    }
    for (int i = 0; i < -quarters % 4; ++i) cube_.TurnCubeTopInv(true);
    for (int i = 0; i < quarters % 4; ++i) cube_.TurnCubeTop(true);
    angles.CameraAngleV = std::clamp(angles.CameraAngleV, -kMaxCameraAngleV, kMaxCameraAngleV);
    scene_.ComputeViewPoints();
    scene_.SetupLights();
    scene_.ApplyViewTransform();
    scene_.RenderFrame();
}

void DeskMouse::MoveMirror(double dx, double dy, double width) {
    ViewAngles& angles = scene_.Angles;
    angles.MirrorAngleH = static_cast<float>(angles.MirrorAngleH - dx / width * kMirrorPerDesk);
    angles.MirrorAngleV = static_cast<float>(angles.MirrorAngleV - dy / width * kMirrorPerDesk);
    angles.MirrorAngleH = std::clamp(angles.MirrorAngleH, -kMaxMirrorAngle, kMaxMirrorAngle);
    angles.MirrorAngleV = std::clamp(angles.MirrorAngleV, -kMaxMirrorAngle, kMaxMirrorAngle);
    scene_.ComputeViewPoints();
    scene_.RenderFrame();
}

// The press point stays the reference: the drag turns once it has gone far enough, mainly
// along one axis (the other component under a third of it), and the press is used up.
void DeskMouse::DragSticker(double dx, double dy) {
    const double ax = std::abs(dx), ay = std::abs(dy);
    std::optional<DragDirection> direction;
    if (ax > kTurnThreshold && ax > 3 * ay)
        direction = dx < 0 ? DragDirection::Left : DragDirection::Right;
    else if (ay > kTurnThreshold && ay > 3 * ax)
        direction = dy < 0 ? DragDirection::Up : DragDirection::Down;
    if (!direction) return;
    drag_.active = false;
    PerformStickerTurn(*direction);
}

void DeskMouse::PerformStickerTurn(DragDirection direction) {
    if (cube_.LogTurns && !cube_.UserLineOpen) {
        cube_.Host().Log().AddMessage(kUserLineHeader);
        cube_.UserLineOpen = true;
    }
    cube_.TurnDuration = cube_.Host().HandTurnDuration();
    if (const std::optional<Move> move =
            velmo::StickerTurn(drag_.pickedSlot, drag_.pickedCell, direction))
        cube_.Turn(*move);
}

}  // namespace velmo
