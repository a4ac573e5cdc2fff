// Options over the 3-D view: frames written as PNG files and picks, drawn by the software
// device from the cube as the options before them left it.

#include <charconv>
#include <cmath>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "platform/d3d8/software_device.h"
#include "platform/png.h"
#include "view/pictures.h"
#include "view/recording_shell.h"
#include "view/scene.h"
#include "view/sticker_tex_coords.h"

namespace velmo::cli {

namespace {

constexpr int kMinSize = 16;
constexpr int kMaxSize = 4096;

// A scene on an N x N desk over the context's cube, with the logo turned as the cube's turns
// left it (the headless host keeps its texture coordinates in memory).
class CliView {
public:
    explicit CliView(Context& ctx)
        : desk_{ctx.size, ctx.size, &frames_}, scene_(Environment(ctx)) {
        scene_.AttachModel(ctx.cube);
        scene_.Angles = ctx.view;
        if (scene_.InitScene(true)) SceneTexCoords(scene_).Write(ctx.host.TexCoords());
    }

    TScene& Scene() { return scene_; }
    const d3d8::FrameCollector& Frames() const { return frames_; }
    // The scene's failure report, "" when there was none: message boxes have no window
    // here, so the report becomes the error line.
    std::string Failure() const {
        if (shell_.messages.empty()) return {};
        return shell_.messages.back().caption + ": " + shell_.messages.back().text;
    }

private:
    SceneEnvironment Environment(Context& ctx) {
        d3d8::SoftwareDeviceOptions options;
        options.actAsHardware = !ctx.referenceDevice;
        SceneEnvironment env;
        env.direct3DCreate8 = d3d8::SoftwareDirect3DFactory(options);
        env.desk = &desk_;
        env.shell = &shell_;
        env.stickerPicture = GrainPicture();
        env.logoPicture = LogoPicture();
        env.modelHost = &ctx.host;
        return env;
    }

    d3d8::FrameCollector frames_;
    d3d8::DeskWindow desk_;
    RecordingShell shell_;
    TScene scene_;
};

int Fail(Context& ctx, std::string_view option, const std::string& problem) {
    ctx.err << "velmo-cli: " << option << ": " << problem << '\n';
    return kExitBadInput;
}

std::string CheckSize(Args args) {
    if (CheckUnsigned("N", args[0], kMaxSize).empty() && std::stoi(args[0]) >= kMinSize) return {};
    return "N must be a whole number from " + std::to_string(kMinSize) + " to " +
           std::to_string(kMaxSize) + ", not " + Quoted(args[0]);
}

bool ParseAngle(const std::string& text, float& angle) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    // from_chars takes no plus sign; people type one.
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-' && begin[1] != '+')
        ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, angle);
    return begin != end && ec == std::errc() && ptr == end && std::isfinite(angle);
}

std::string CheckView(Args args) {
    for (const std::string& arg : args) {
        float angle = 0;
        if (!ParseAngle(arg, angle))
            return "angles are finite numbers in radians, not " + Quoted(arg);
    }
    // At +-pi/2 the eye stands on the up axis and the look-at matrix degenerates; the mouse
    // control keeps the camera inside the same bound.
    float vertical = 0;
    ParseAngle(args[1], vertical);
    if (std::fabs(vertical) > kMaxCameraAngleV)
        return "the vertical camera angle must lie within +-1.5697963, not " + Quoted(args[1]);
    return {};
}

int Render(Context& ctx, Args args) {
    CliView view(ctx);
    if (!view.Failure().empty()) return Fail(ctx, "--render", view.Failure());
    if (FAILED(view.Scene().RenderFrame()) || view.Frames().frames == 0)
        return Fail(ctx, "--render", view.Failure().empty() ? "no frame was drawn" : view.Failure());
    const d3d8::FrameCollector& frame = view.Frames();
    Image image(frame.width, frame.height);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) image.At(x, y) = frame.PixelArgb(x, y) & 0xFFFFFFu;
    std::string problem = WritePng(args[0], image);
    if (problem.empty()) return kExitOk;
    // The writer names the file as given; the message must stay one readable line.
    const std::string given = "'" + args[0] + "'";
    if (const std::size_t at = problem.find(given); at != std::string::npos)
        problem.replace(at, given.size(), Quoted(args[0]));
    return Fail(ctx, "--render", problem);
}

// Format and range were checked with the arguments; the desk's size is known only now.
std::string CheckPickOnDesk(const Context& ctx, Args args) {
    const int last = ctx.size - 1;
    for (int i = 0; i < 2; ++i)
        if (std::stoi(args[i]) > last)
            return std::string(i == 0 ? "X" : "Y") + " must be a whole number from 0 to " +
                   std::to_string(last) + " on a desk of " + std::to_string(ctx.size) +
                   " pixels, not " + Quoted(args[i]);
    return {};
}

int Pick(Context& ctx, Args args) {
    CliView view(ctx);
    if (!view.Failure().empty()) return Fail(ctx, "--pick", view.Failure());
    const std::optional<PickResult> result =
        view.Scene().PickAt(std::stoi(args[0]), std::stoi(args[1]));
    if (!result) return Fail(ctx, "--pick", view.Failure());
    ctx.reports.push_back("pick: " + std::to_string(result->red5) + " " +
                          std::to_string(result->green5) + " " + std::to_string(result->blue5));
    return kExitOk;
}

}  // namespace

std::vector<Option> ViewOptions() {
    std::vector<Option> options;
    options.push_back({"--size", "N", 1, true, CheckSize, [](Context& ctx, Args args) {
                           ctx.size = std::stoi(args[0]);
                           return kExitOk;
                       }});
    options.push_back({"--ref", "", 0, true, nullptr, [](Context& ctx, Args) {
                           ctx.referenceDevice = true;
                           return kExitOk;
                       }});
    // Runs in order, so that one command line can draw the cube from several views.
    options.push_back({"--view", "H V MH MV", 4, false, CheckView, [](Context& ctx, Args args) {
                           ParseAngle(args[0], ctx.view.CameraAngleH);
                           ParseAngle(args[1], ctx.view.CameraAngleV);
                           ParseAngle(args[2], ctx.view.MirrorAngleH);
                           ParseAngle(args[3], ctx.view.MirrorAngleV);
                           return kExitOk;
                       }});
    options.push_back({"--render", "FILE.png", 1, false,
                       [](Args args) {
                           return args[0].empty() ? std::string("FILE must not be empty")
                                                  : std::string();
                       },
                       Render});
    options.push_back({"--pick", "X Y", 2, false,
                       [](Args args) {
                           std::string problem = CheckUnsigned("X", args[0], kMaxSize - 1);
                           if (problem.empty()) problem = CheckUnsigned("Y", args[1], kMaxSize - 1);
                           return problem;
                       },
                       Pick, CheckPickOnDesk});
    return options;
}

}  // namespace velmo::cli
