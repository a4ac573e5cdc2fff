#pragma once
// Everything the cube model needs from outside, behind one small interface it is given at
// construction. The application implements it with the real view, log window, clock and
// cursor; the headless host (src/headless) with a virtual clock, for tests and velmo-cli.

#include <cstdint>
#include <string>

#include "model/block_geometry.h"

namespace velmo {

class TMessageLog;

// Thrown by the model when the host has asked the operation under way to stop and a turn is
// about to start. Nothing is half done when it arrives: no turn has begun, a turn in progress
// was completed at once, and a reset in progress was completed at once. The command that
// started the run catches it and calls TVelmo::EndStoppedRun.
struct RunStopped {};

class IModelHost {
public:
    virtual ~IModelHost() = default;

    // Draws and presents one complete frame from the current model.
    virtual void RenderFrame() = 0;
    // The message log that turns, resets, scrambles, move strings and the solver write to.
    virtual TMessageLog& Log() = 0;

    // Millisecond tick counter (wraps around at 2^32) and a sleep.
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // A seed for the random generator, taken from the clock.
    virtual std::uint32_t ClockSeed() = 0;

    // The busy cursor is a counted state: it shows while at least one operation holds it.
    virtual void BeginBusyCursor() = 0;
    virtual void EndBusyCursor() = 0;
    virtual void Beep() = 0;
    // A message box with an exclamation icon and an OK button.
    virtual void ShowWarning(const std::string& caption, const std::string& text) = 0;

    // True when the 3-D device runs on graphics hardware (each animation frame is then
    // followed by a short sleep).
    virtual bool IsHardwareDevice() const = 0;
    // Settings: the turn durations in milliseconds (the hand one for turns made with the mouse,
    // the automatic one for everything else) and the logging switch.
    virtual int AutoTurnDuration() const = 0;
    virtual int HandTurnDuration() const = 0;
    virtual bool DoLog() const = 0;

    // Texture coordinates of vertices 0..35 of the shared block geometry.
    virtual void ReadStickerTexCoords(StickerTexCoords& coords) = 0;
    virtual void WriteStickerTexCoords(const StickerTexCoords& coords) = 0;

    // True once the user has asked the operation under way to stop (Esc, closing the window).
    // The model looks at it before every turn, during every turn animation and between the
    // blocks of a reset.
    virtual bool StopRequested() { return false; }
    // True once the user has asked the run under way to finish at once: the turns and block
    // flights left are made without animation and without frames, logged as usual, so the
    // run ends where and as it would have ended. Looked at where StopRequested is.
    virtual bool SkipAnimation() { return false; }
};

// Holds the busy cursor for a scope; Release() gives it back early.
class BusyCursor {
public:
    explicit BusyCursor(IModelHost& host) : host_(&host) { host_->BeginBusyCursor(); }
    ~BusyCursor() { Release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void Release() {
        if (host_) host_->EndBusyCursor();
        host_ = nullptr;
    }

private:
    IModelHost* host_;
};

}  // namespace velmo
