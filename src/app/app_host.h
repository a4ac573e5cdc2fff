#pragma once
// The cube model's host in the program: a real millisecond clock, pauses that keep the
// window alive, the counted busy cursor, the beep, message boxes, the settings of the data
// module, and the logo's texture coordinates in the scene's vertex buffer. It is also the
// scene's shell (failure reports, cursor, ending the program).

#include <QElapsedTimer>
#include <cstdint>
#include <functional>

#include "model/host.h"
#include "view/scene.h"

class QWidget;

namespace velmo {

class RunGuard;
class TMessageLog;

// The three settings the model reads, held by the data module.
struct TurnSettings {
    int handTurnDuration = 1000;  // milliseconds
    int autoTurnDuration = 700;
    bool doLog = true;
};

class AppHost : public IModelHost, public ISceneShell {
public:
    AppHost(QWidget& window, TMessageLog& log, RunGuard& guard, const TurnSettings& settings);
    ~AppHost() override;

    // The scene that draws the frames; null until it exists.
    void SetScene(TScene* scene) { scene_ = scene; }
    // Set when the scene asked the program to end.
    bool TerminateRequested() const { return terminateRequested_; }
    // Called after every frame the model asked for has been drawn and presented (benchmarks).
    void SetFrameListener(std::function<void()> listener) { frameListener_ = std::move(listener); }
    // Runs when the scene asks the program to end, before it ends.
    void SetOnTerminate(std::function<void()> handler) { onTerminate_ = std::move(handler); }
    // Told when the busy cursor comes and goes: runs longer than one turn hold it.
    void SetBusyListener(std::function<void(bool)> listener) { busyListener_ = std::move(listener); }

    // IModelHost
    void RenderFrame() override;
    TMessageLog& Log() override { return log_; }
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t ClockSeed() override;
    void BeginBusyCursor() override;
    void EndBusyCursor() override;
    void Beep() override;
    void ShowWarning(const std::string& caption, const std::string& text) override;
    bool IsHardwareDevice() const override;
    int AutoTurnDuration() const override { return settings_.autoTurnDuration; }
    int HandTurnDuration() const override { return settings_.handTurnDuration; }
    bool DoLog() const override { return settings_.doLog; }
    void ReadStickerTexCoords(StickerTexCoords& coords) override;
    void WriteStickerTexCoords(const StickerTexCoords& coords) override;
    bool StopRequested() override;
    bool SkipAnimation() override;

    // ISceneShell
    void ShowMessage(const std::string& caption, const std::string& text, unsigned flags) override;
    void RestoreDefaultCursor() override;
    void Terminate() override;

private:
    void PumpEventsIfDue();
    void ShowBusyCursor(bool on);

    QWidget& window_;
    TMessageLog& log_;
    RunGuard& guard_;
    const TurnSettings& settings_;
    TScene* scene_ = nullptr;
    QElapsedTimer clock_;
    qint64 lastPump_ = 0;
    qint64 lastTick_ = -1;
    int busyDepth_ = 0;
    bool busyCursorShown_ = false;
    bool terminateRequested_ = false;
    std::function<void()> onTerminate_;
    std::function<void()> frameListener_;
    std::function<void(bool)> busyListener_;
};

}  // namespace velmo
