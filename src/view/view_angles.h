#pragma once
// The four view angles (radians) from which the camera and the mirror are placed.

namespace velmo {

struct ViewAngles {
    float CameraAngleH = 0.6108652f;  // 35 degrees
    float CameraAngleV = 0.5235988f;  // 30 degrees
    float MirrorAngleH = 0.63f;       // offsets of the mirror from the line of sight
    float MirrorAngleV = -0.47f;
};

// The mouse keeps the vertical camera angle inside this, so the eye never reaches the up axis.
inline constexpr float kMaxCameraAngleV = 1.5697963f;

}  // namespace velmo
