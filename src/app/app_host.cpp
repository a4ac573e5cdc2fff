#include "app/app_host.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

#include "app/run_guard.h"
#include "view/sticker_tex_coords.h"

namespace velmo {

namespace {
// How often a run that polls the clock lets the window repaint and see Esc.
constexpr qint64 kPumpIntervalMs = 5;
}  // namespace

AppHost::AppHost(QWidget& window, TMessageLog& log, RunGuard& guard, const TurnSettings& settings)
    : window_(window), log_(log), guard_(guard), settings_(settings) {
    clock_.start();
}

AppHost::~AppHost() { ShowBusyCursor(false); }

// After a failure the scene has no device, and every frame would report it again: inside a
// run that would be a message box per animation step. The report stops the run instead (see
// ShowMessage), and the frames left in it are not drawn.
void AppHost::RenderFrame() {
    if (!scene_ || (!scene_->HasDevice() && guard_.Busy())) return;
    scene_->RenderFrame();
    if (frameListener_) frameListener_();
}

// A turn waits for its next step by reading the clock in a loop. Each reading lets pending
// events through now and then, and a reading within the same millisecond as the last one
// yields the processor, so a turn neither freezes the window nor burns a core.
std::uint32_t AppHost::TickCount() {
    PumpEventsIfDue();
    qint64 now = clock_.elapsed();
    if (now == lastTick_) {
        QThread::usleep(500);
        now = clock_.elapsed();
    }
    lastTick_ = now;
    return static_cast<std::uint32_t>(now);
}

void AppHost::Sleep(std::uint32_t milliseconds) {
    const qint64 end = clock_.elapsed() + milliseconds;
    guard_.ProcessPendingEvents();
    lastPump_ = clock_.elapsed();
    for (qint64 left = end - lastPump_; left > 0; left = end - clock_.elapsed()) {
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, kPumpIntervalMs)));
        guard_.ProcessPendingEvents();
    }
    lastPump_ = clock_.elapsed();
}

void AppHost::PumpEventsIfDue() {
    const qint64 now = clock_.elapsed();
    if (now - lastPump_ < kPumpIntervalMs) return;
    lastPump_ = now;
    guard_.ProcessPendingEvents();
}

std::uint32_t AppHost::ClockSeed() {
    return static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch() ^ clock_.nsecsElapsed());
}

void AppHost::BeginBusyCursor() {
    if (busyDepth_++ == 0) ShowBusyCursor(true);
}

void AppHost::EndBusyCursor() {
    if (busyDepth_ > 0 && --busyDepth_ == 0) ShowBusyCursor(false);
}

void AppHost::ShowBusyCursor(bool on) {
    if (on == busyCursorShown_) return;
    busyCursorShown_ = on;
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
    if (busyListener_) busyListener_(on);
}

void AppHost::Beep() { QApplication::beep(); }

void AppHost::ShowWarning(const std::string& caption, const std::string& text) {
    QMessageBox::warning(&window_, QString::fromStdString(caption), QString::fromStdString(text));
}

bool AppHost::IsHardwareDevice() const { return scene_ && scene_->IsHardwareDevice(); }

void AppHost::ReadStickerTexCoords(StickerTexCoords& coords) {
    if (scene_) SceneTexCoords(*scene_).Read(coords);
    else coords = TemplateStickerTexCoords();
}

void AppHost::WriteStickerTexCoords(const StickerTexCoords& coords) {
    if (scene_) SceneTexCoords(*scene_).Write(coords);
}

bool AppHost::StopRequested() { return guard_.StopRequested(); }

// Asked before every turn: a run finished at once draws no frame and reads no clock, so here
// the window still gets its repaints and Esc now and then.
bool AppHost::SkipAnimation() {
    if (!guard_.FinishRequested()) return false;
    PumpEventsIfDue();
    return true;
}

void AppHost::ShowMessage(const std::string& caption, const std::string& text, unsigned) {
    guard_.RequestStop();
    // The scene reports only with an exclamation icon and an OK button.
    QMessageBox::warning(&window_, QString::fromStdString(caption), QString::fromStdString(text));
}

void AppHost::RestoreDefaultCursor() { ShowBusyCursor(false); }

void AppHost::Terminate() {
    terminateRequested_ = true;
    if (onTerminate_) onTerminate_();
    QCoreApplication::exit(1);
}

}  // namespace velmo
