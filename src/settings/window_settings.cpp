#include "settings/window_settings.h"

#include <algorithm>
#include <string>

#include "platform/profile.h"

namespace velmo {

namespace {

constexpr const char* kWindow = "WINDOW";
// Sizes beyond any screen are a damaged file, not a wish.
constexpr int kMaxSize = 32767;
constexpr int kMaxOffset = 1 << 20;

}  // namespace

std::optional<WindowGeometry> ReadWindowGeometry(const Profile& profile) {
    WindowGeometry g;
    g.width = profile.ReadInteger(kWindow, "Width", 0);
    g.height = profile.ReadInteger(kWindow, "Height", 0);
    if (g.width <= 0 || g.height <= 0) return std::nullopt;
    g.width = std::min(g.width, kMaxSize);
    g.height = std::min(g.height, kMaxSize);
    g.left = std::clamp(profile.ReadInteger(kWindow, "Left", 0), -kMaxOffset, kMaxOffset);
    g.top = std::clamp(profile.ReadInteger(kWindow, "Top", 0), -kMaxOffset, kMaxOffset);
    g.maximized = profile.ReadBool(kWindow, "Maximized", false);
    g.messagesHeight = std::clamp(profile.ReadInteger(kWindow, "MessagesHeight", 0), 0, kMaxSize);
    g.messagesCollapsed = profile.ReadBool(kWindow, "MessagesCollapsed", false);
    return g;
}

void WriteWindowGeometry(Profile& profile, const WindowGeometry& g) {
    const auto write = [&profile](const char* key, int value) {
        profile.WriteString(kWindow, key, std::to_string(value));
    };
    write("Left", g.left);
    write("Top", g.top);
    write("Width", g.width);
    write("Height", g.height);
    write("Maximized", g.maximized ? 1 : 0);
    write("MessagesHeight", g.messagesHeight);
    write("MessagesCollapsed", g.messagesCollapsed ? 1 : 0);
}

}  // namespace velmo
