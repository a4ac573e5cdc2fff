#include "headless/headless_host.h"

#include <algorithm>

namespace velmo {

HeadlessHost::HeadlessHost() : texCoords_(TemplateStickerTexCoords()) {}

void HeadlessHost::RenderFrame() {
    ++frames_;
    clock_ += frameCost_;
    if (frameListener_) frameListener_();
}

std::uint32_t HeadlessHost::TickCount() { return clock_++; }

void HeadlessHost::Sleep(std::uint32_t milliseconds) { clock_ += milliseconds; }

void HeadlessHost::BeginBusyCursor() {
    if (busyDepth_++ == 0) ++busyStarts_;
    maxBusyDepth_ = std::max(maxBusyDepth_, busyDepth_);
}

void HeadlessHost::EndBusyCursor() {
    if (busyDepth_ > 0) --busyDepth_;
}

void HeadlessHost::ShowWarning(const std::string& caption, const std::string& text) {
    warnings_.push_back({caption, text});
}

void HeadlessHost::ResetCounters() {
    frames_ = beeps_ = busyStarts_ = maxBusyDepth_ = 0;
    warnings_.clear();
}

}  // namespace velmo
