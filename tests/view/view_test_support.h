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

// Turns of a point as the Direct3D rotation matrices turn it (row vectors):
// about x, (x, y cos t - z sin t, y sin t + z cos t); about y, (x cos t + z sin t, y,
// -x sin t + z cos t).
inline Vec3 TurnX(Vec3 p, float t) {
    const double c = std::cos(t), s = std::sin(t);
    return {p.x, static_cast<float>(p.y * c - p.z * s), static_cast<float>(p.y * s + p.z * c)};
}
inline Vec3 TurnY(Vec3 p, float t) {
    const double c = std::cos(t), s = std::sin(t);
    return {static_cast<float>(p.x * c + p.z * s), p.y, static_cast<float>(-p.x * s + p.z * c)};
}

// The point of the mirror plane nearest the cube: 5 (-sin g cos d, sin d, cos g cos d), turned
// about x by the camera's vertical angle and then about y by minus its horizontal one, as the
// line of sight is turned.
inline Vec3 MirrorPointOf(ViewAngles a) {
    const Vec3 p{static_cast<float>(-5 * std::sin(a.MirrorAngleH) * std::cos(a.MirrorAngleV)),
                 static_cast<float>(5 * std::sin(a.MirrorAngleV)),
                 static_cast<float>(5 * std::cos(a.MirrorAngleH) * std::cos(a.MirrorAngleV))};
    return TurnY(TurnX(p, a.CameraAngleV), -a.CameraAngleH);
}

// The centre of the mirror image of the cube, where the disc's centre is drawn: twice the
// mirror point.
inline Vec3 MirrorCentre(ViewAngles angles = {}) {
    const Vec3 m = MirrorPointOf(angles);
    return {2 * m.x, 2 * m.y, 2 * m.z};
}

// Where a point (x, y, z) of the disc's model lands in the world: turned about x by the mirror's
// vertical offset, about y by its horizontal one, about x by the camera's vertical angle, about
// y by minus its horizontal one, then moved to the centre of the mirror image.
inline Vec3 DiscToWorld(Vec3 p, ViewAngles a = {}) {
    const Vec3 turned = TurnY(TurnX(TurnY(TurnX(p, a.MirrorAngleV), a.MirrorAngleH), a.CameraAngleV),
                              -a.CameraAngleH);
    const Vec3 c = MirrorCentre(a);
    return {turned.x + c.x, turned.y + c.y, turned.z + c.z};
}

// The reflection of a world point in the mirror plane (through the mirror point, at right
// angles to the line from the cube's centre to it).
inline Vec3 Reflected(Vec3 p, ViewAngles angles = {}) {
    const Vec3 m = MirrorPointOf(angles);
    const double len = std::sqrt(double(m.x) * m.x + double(m.y) * m.y + double(m.z) * m.z);
    const double nx = m.x / len, ny = m.y / len, nz = m.z / len;
    const double d = (p.x - m.x) * nx + (p.y - m.y) * ny + (p.z - m.z) * nz;
    return {static_cast<float>(p.x - 2 * d * nx), static_cast<float>(p.y - 2 * d * ny),
            static_cast<float>(p.z - 2 * d * nz)};
}

// A world point at a distance from the disc's centre, in the disc's plane, in a direction where
// the points at 4.5, 5.5 and 8 all land on the desk well away from the cube (the cube is drawn
// over the mirror).
inline Vec3 DiscPoint(float radius, int size) {
    const auto at = [](float r, float t) { return DiscToWorld({r * std::cos(t), r * std::sin(t), 0}); };
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
