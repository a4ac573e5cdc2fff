#pragma once
// The main window's place between runs, in a section of its own of velmo.ini, "WINDOW": the
// size and position of the window as it stands when not maximised, whether it is maximised,
// the height of the message panel and whether it is folded. Without the section the window
// starts in its designed size where the window system puts it.

#include <optional>

namespace velmo {

class Profile;

struct WindowGeometry {
    int left = 0, top = 0;        // the window's client area on the desktop
    int width = 0, height = 0;
    bool maximized = false;
    int messagesHeight = 0;       // the unfolded message panel
    bool messagesCollapsed = false;
};

// nullopt when the section is missing or gives no usable size.
std::optional<WindowGeometry> ReadWindowGeometry(const Profile& profile);
void WriteWindowGeometry(Profile& profile, const WindowGeometry& geometry);

}  // namespace velmo
