#pragma once
// A scene on the software device over a headless model, and helpers to find where a point of
// the world lands on the desk.

#include <cmath>
#include <memory>

#include "headless/headless_host.h"
#include "model/velmo.h"
#include "platform/d3d8/software_device.h"
#include "view/pictures.h"
#include "view/recording_shell.h"
#include "view/scene.h"
#include "view/sticker_tex_coords.h"

namespace velmo::testing {

struct RigOptions {
    bool hardware = true;
    int size = 256;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
};

// The model's texture coordinates live in the scene's vertex buffer, as in the application.
class SceneHost : public HeadlessHost {
public:
    TScene* scene = nullptr;
    void ReadStickerTexCoords(StickerTexCoords& coords) override {
        if (scene) SceneTexCoords(*scene).Read(coords);
    }
    void WriteStickerTexCoords(const StickerTexCoords& coords) override {
        if (scene) SceneTexCoords(*scene).Write(coords);
    }
};

struct SceneRig {
    explicit SceneRig(RigOptions options = {}) : size(options.size) {
        desk = {options.size, options.size, &frames};
        monitor = std::make_shared<d3d8::CallMonitor>();
        deviceOptions.actAsHardware = options.hardware;
        deviceOptions.displayFormat = options.format;
        deviceOptions.monitor = monitor;
    }

    SceneEnvironment Environment() {
        SceneEnvironment env;
        env.direct3DCreate8 = d3d8::SoftwareDirect3DFactory(deviceOptions);
        env.desk = &desk;
        env.shell = &shell;
        env.stickerPicture = GrainPicture();
        env.logoPicture = LogoPicture();
        env.modelHost = &host;
        return env;
    }

    // Builds the scene as the application does on start-up; the model is created by it.
    TScene& Build() { return Build(Environment()); }
    TScene& Build(SceneEnvironment env) {
        scene = std::make_unique<TScene>(std::move(env));
        host.scene = scene.get();
        scene->InitScene(true);
        return *scene;
    }

    TVelmo& Cube() { return *scene->Model(); }

    int size;
    std::shared_ptr<d3d8::CallMonitor> monitor;
    d3d8::SoftwareDeviceOptions deviceOptions;
    d3d8::FrameCollector frames;
    d3d8::DeskWindow desk;
    RecordingShell shell;
    SceneHost host;
    std::unique_ptr<TScene> scene;
};

struct Pixel {
    int x, y;
};

// Where a world point lands on a size x size desk with the given view angles.
inline Pixel Project(Vec3 world, int size, ViewAngles angles = {}) {
    RecordingShell shell;
    TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
    scene.Angles = angles;
    scene.ComputeViewPoints();
    const Matrix4 m = MatrixLookAtLH(scene.EyePoint, {0, 0, 0}, {0, 1, 0}) *
                      MatrixPerspectiveFovLH(0.875f, 1.0f, 1.0f, 40.0f);
    const float x = world.x * m.m[0][0] + world.y * m.m[1][0] + world.z * m.m[2][0] + m.m[3][0];
    const float y = world.x * m.m[0][1] + world.y * m.m[1][1] + world.z * m.m[2][1] + m.m[3][1];
    const float w = world.x * m.m[0][3] + world.y * m.m[1][3] + world.z * m.m[2][3] + m.m[3][3];
    return {static_cast<int>((x / w + 1) * size / 2 + 0.5f),
            static_cast<int>((1 - y / w) * size / 2 + 0.5f)};
}

// The centre of the mirror image of the cube, where the disc's centre is drawn.
inline Vec3 MirrorCentre(ViewAngles angles = {}) {
    RecordingShell shell;
    TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
    scene.Angles = angles;
    scene.ComputeViewPoints();
    return {2 * scene.MirrorPoint.x, 2 * scene.MirrorPoint.y, 2 * scene.MirrorPoint.z};
}

// A world point at a distance from the disc's centre, in the disc's plane, in a direction where
// the points at 4.5, 5.5 and 8 all land on the desk well away from the cube (the cube is drawn
// over the mirror).
inline Vec3 DiscPoint(float radius, int size) {
    RecordingShell shell;
    TScene scene(SceneEnvironment{{}, nullptr, &shell, {}, {}, nullptr});
    scene.ComputeViewPoints();
    const auto at = [&](float r, float t) {
        return TransformPoint({r * std::cos(t), r * std::sin(t), 0}, scene.MirrorMatrix());
    };
    const auto clear = [size](Pixel p) {
        const double dx = p.x - size / 2.0, dy = p.y - size / 2.0;
        return p.x >= 2 && p.x < size - 2 && p.y >= 2 && p.y < size - 2 &&
               dx * dx + dy * dy > 0.42 * 0.42 * size * size;
    };
    for (float t = 0; t < 6.3f; t += 0.05f)
        if (clear(Project(at(4.5f, t), size)) && clear(Project(at(5.5f, t), size)) &&
            clear(Project(at(8, t), size)))
            return at(radius, t);
    return {1000, 1000, 1000};  // nowhere: lands off the desk
}

inline int Red(std::uint32_t argb) { return (argb >> 16) & 0xFF; }
inline int Green(std::uint32_t argb) { return (argb >> 8) & 0xFF; }
inline int Blue(std::uint32_t argb) { return argb & 0xFF; }

}  // namespace velmo::testing
