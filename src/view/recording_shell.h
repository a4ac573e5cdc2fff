#pragma once
// A shell without windows: it keeps what the scene asked for, for velmo-cli and tests.

#include <string>
#include <vector>

#include "view/scene.h"

namespace velmo {

class RecordingShell : public ISceneShell {
public:
    struct Message {
        std::string caption, text;
        unsigned flags = 0;
    };

    void ShowMessage(const std::string& caption, const std::string& text, unsigned flags) override {
        messages.push_back({caption, text, flags});
    }
    void RestoreDefaultCursor() override { ++cursorRestores; }
    void Terminate() override { ++terminations; }

    std::vector<Message> messages;
    int cursorRestores = 0;
    int terminations = 0;
};

}  // namespace velmo
