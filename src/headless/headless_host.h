#pragma once
// A host for the cube model without any window: a virtual clock, an in-memory log and
// texture coordinates, and counters of everything the model asked for. Sleeping advances the
// clock at once, so every animation runs its exact frame sequence in no real time.
//
// The clock also advances by a fixed cost per drawn frame and by one millisecond per reading,
// as a real clock moves while the model draws and polls; so every clock-paced loop ends.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "log/message_log.h"
#include "model/host.h"

namespace velmo {

class HeadlessHost : public IModelHost {
public:
    HeadlessHost();

    // IModelHost
    void RenderFrame() override;
    TMessageLog& Log() override { return log_; }
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t ClockSeed() override { return seed_; }
    void BeginBusyCursor() override;
    void EndBusyCursor() override;
    void Beep() override { ++beeps_; }
    void ShowWarning(const std::string& caption, const std::string& text) override;
    bool IsHardwareDevice() const override { return hardware_; }
    int AutoTurnDuration() const override { return autoTurnDuration_; }
    int HandTurnDuration() const override { return handTurnDuration_; }
    bool DoLog() const override { return doLog_; }
    void ReadStickerTexCoords(StickerTexCoords& coords) override { coords = texCoords_; }
    void WriteStickerTexCoords(const StickerTexCoords& coords) override { texCoords_ = coords; }
    bool StopRequested() override { return stopRequested_; }
    bool SkipAnimation() override { return finishRequested_; }

    // Settings and the environment the model sees.
    void SetAutoTurnDuration(int milliseconds) { autoTurnDuration_ = milliseconds; }
    void SetHandTurnDuration(int milliseconds) { handTurnDuration_ = milliseconds; }
    // As the user's Esc: the model stops the run at the next turn (a frame listener can set it
    // in the middle of an animation).
    void RequestStop(bool on = true) { stopRequested_ = on; }
    // As the user's key that finishes a run at once.
    void RequestFinish(bool on = true) { finishRequested_ = on; }
    void SetDoLog(bool on) { doLog_ = on; }
    void SetHardwareDevice(bool on) { hardware_ = on; }
    void SetSeed(std::uint32_t seed) { seed_ = seed; }
    void SetClock(std::uint32_t now) { clock_ = now; }
    void SetFrameCost(std::uint32_t milliseconds) { frameCost_ = milliseconds; }
    // Called after every drawn frame, to look at the model mid-animation.
    void SetFrameListener(std::function<void()> listener) { frameListener_ = std::move(listener); }

    struct Warning {
        std::string caption, text;
    };

    // What happened so far.
    std::uint32_t Clock() const { return clock_; }
    int Frames() const { return frames_; }
    int Beeps() const { return beeps_; }
    int BusyDepth() const { return busyDepth_; }
    // How often the cursor changed from normal to busy, and the deepest nesting seen.
    int BusyStarts() const { return busyStarts_; }
    int MaxBusyDepth() const { return maxBusyDepth_; }
    const std::vector<Warning>& Warnings() const { return warnings_; }
    const StickerTexCoords& TexCoords() const { return texCoords_; }
    void ResetCounters();

private:
    TMessageLog log_;
    StickerTexCoords texCoords_;
    std::uint32_t clock_ = 0;
    std::uint32_t frameCost_ = 20;
    std::uint32_t seed_ = 1;
    int autoTurnDuration_ = 700;
    int handTurnDuration_ = 1000;
    bool stopRequested_ = false;
    bool finishRequested_ = false;
    bool doLog_ = true;
    bool hardware_ = false;
    int frames_ = 0;
    int beeps_ = 0;
    int busyDepth_ = 0;
    int busyStarts_ = 0;
    int maxBusyDepth_ = 0;
    std::vector<Warning> warnings_;
    std::function<void()> frameListener_;
};

}  // namespace velmo
