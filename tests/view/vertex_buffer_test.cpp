// The shared vertex buffer: the template, the mirror geometry, and the logo's texture
// coordinates carried through it by real turns.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "view_test_support.h"

namespace velmo::testing {
namespace {

std::vector<SceneVertex> ReadBuffer(TScene& scene) {
    std::vector<SceneVertex> vertices(kSceneVertexCount);
    BYTE* data = nullptr;
    EXPECT_EQ(scene.VertexBuffer()->Lock(0, kSceneBufferBytes, &data, D3DLOCK_READONLY), D3D_OK);
    std::memcpy(vertices.data(), data, kSceneBufferBytes);
    scene.VertexBuffer()->Unlock();
    return vertices;
}

bool SameVertex(const SceneVertex& a, const SceneVertex& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class VertexBufferByDevice : public ::testing::TestWithParam<bool> {};

TEST_P(VertexBufferByDevice, HoldsTheTemplateInTheDevicesBodyColour) {
    const bool hardware = GetParam();
    SceneRig rig({.hardware = hardware});
    TScene& scene = rig.Build();
    D3DVERTEXBUFFER_DESC desc{};
    scene.VertexBuffer()->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 10296u);
    EXPECT_EQ(desc.FVF, 0x152u);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);

    const std::vector<SceneVertex> vertices = ReadBuffer(scene);
    const std::uint32_t body = hardware ? 0xFFFFFFFFu : 0xFFC0C0C0u;
    for (int k = 0; k < kTemplateVertexCount; ++k) {
        const TemplatePoint& point = TemplatePointAt(TemplateVertexPoint(k));
        const SceneVertex& v = vertices[k];
        ASSERT_EQ((Vec3{v.x, v.y, v.z}), point.position) << "vertex " << k;
        ASSERT_EQ((Vec3{v.nx, v.ny, v.nz}), point.normal) << "vertex " << k;
        ASSERT_EQ((TexCoord{v.u, v.v}), point.tex) << "vertex " << k;
        ASSERT_EQ(v.diffuse, body) << "vertex " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(HardwareAndReference, VertexBufferByDevice, ::testing::Bool());

// Culling keeps the triangles that are clockwise on the screen: a template triangle wound the
// other way is a hole wherever it faces the camera.
TEST(VertexBuffer, EveryTemplateTriangleIsClockwiseSeenFromOutside) {
    SceneRig rig;
    const std::vector<SceneVertex> v = ReadBuffer(rig.Build());
    for (int t = 0; t < 44; ++t) {
        const SceneVertex &a = v[3 * t], &b = v[3 * t + 1], &c = v[3 * t + 2];
        const Vec3 ab{b.x - a.x, b.y - a.y, b.z - a.z}, ac{c.x - a.x, c.y - a.y, c.z - a.z};
        // In left-handed coordinates a triangle is clockwise seen from where (b - a) x (c - a)
        // points; seen from outside the block means from beyond its centroid.
        const Vec3 n{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z, ab.x * ac.y - ab.y * ac.x};
        const float outward = n.x * (a.x + b.x + c.x) + n.y * (a.y + b.y + c.y) + n.z * (a.z + b.z + c.z);
        EXPECT_GT(outward, 0.0f) << "triangle " << t;
    }
}

TEST(VertexBuffer, TheDiscAndTheRingCloseAndLieInThePlaneFacingTheCamera) {
    SceneRig rig;
    const std::vector<SceneVertex> v = ReadBuffer(rig.Build());
    EXPECT_TRUE(SameVertex(v[183], v[133]));
    EXPECT_TRUE(SameVertex(v[284], v[184]));
    EXPECT_TRUE(SameVertex(v[285], v[185]));

    EXPECT_EQ(v[132].diffuse, 0x4080FFFFu);
    EXPECT_EQ((TexCoord{v[132].u, v[132].v}), (TexCoord{0.5f, 0.5f}));
    for (int i = 0; i <= 50; ++i) {
        const SceneVertex& rim = v[133 + i];
        const SceneVertex& inner = v[184 + 2 * i];
        const SceneVertex& outer = v[185 + 2 * i];
        EXPECT_NEAR(std::hypot(rim.x, rim.y), 5.0f, 1e-5f);
        EXPECT_NEAR(std::hypot(outer.x, outer.y), 20.0f, 1e-4f);
        EXPECT_EQ(rim.diffuse, 0x8080FFFFu);
        EXPECT_EQ(inner.diffuse, 0xFF000000u);
        EXPECT_EQ(outer.diffuse, 0xFF000000u);
        // The ring's inner rim is the disc's rim, point for point.
        EXPECT_EQ(inner.x, rim.x);
        EXPECT_EQ(inner.y, rim.y);
        EXPECT_NEAR(rim.u, 0.5f * rim.x / 5 + 0.5f, 1e-6f);
        EXPECT_NEAR(rim.v, 0.5f * rim.y / 5 + 0.5f, 1e-6f);
        for (const SceneVertex* p : {&rim, &inner, &outer}) {
            EXPECT_EQ(p->z, 0.0f);
            EXPECT_EQ((Vec3{p->nx, p->ny, p->nz}), (Vec3{0, 0, -1}));
        }
    }
    // Consecutive rim points are one fiftieth of a turn apart, counter-clockwise.
    EXPECT_NEAR(std::atan2(v[134].y, v[134].x), 2 * 3.14159265f / 50, 1e-5f);
}

// The texture coordinates of the top face's corners at (x, z), both vertices of each shared
// corner.
std::vector<TexCoord> TopCorners(TScene& scene, std::initializer_list<std::pair<float, float>> corners) {
    StickerTexCoords coords;
    SceneTexCoords(scene).Read(coords);
    std::vector<TexCoord> result;
    for (const auto& [x, z] : corners) {
        std::vector<TexCoord> found;
        for (int k = 6; k < 12; ++k) {
            const Vec3 p = TemplatePointAt(TemplateVertexPoint(k)).position;
            if (std::fabs(p.x - x) < 1e-4f && std::fabs(p.z - z) < 1e-4f) found.push_back(coords[k]);
        }
        for (std::size_t i = 1; i < found.size(); ++i) EXPECT_EQ(found[i], found[0]);
        result.push_back(found.empty() ? TexCoord{-1, -1} : found[0]);
    }
    return result;
}

TEST(LogoTexCoords, ATopTurnRotatesTheLogoInPlaceInTheBuffer) {
    SceneRig rig;
    TScene& scene = rig.Build();
    const auto corners = {std::pair{-0.4f, -0.4f}, std::pair{-0.4f, 0.4f}, std::pair{0.4f, 0.4f},
                          std::pair{0.4f, -0.4f}};
    EXPECT_EQ(TopCorners(scene, corners), (std::vector<TexCoord>{{0, 0}, {0, 1}, {1, 1}, {1, 0}}));
    rig.Cube().ExecuteMove("В");
    EXPECT_EQ(TopCorners(scene, corners), (std::vector<TexCoord>{{1, 0}, {0, 0}, {0, 1}, {1, 1}}));
    // Only the logo's face changed.
    StickerTexCoords coords;
    SceneTexCoords(scene).Read(coords);
    const StickerTexCoords start = TemplateStickerTexCoords();
    for (int k = 0; k < 36; ++k) {
        if (k < 6 || k >= 12) {
            EXPECT_EQ(coords[k], start[k]) << "vertex " << k;
        }
    }
    for (int i = 0; i < 3; ++i) rig.Cube().ExecuteMove("В");
    SceneTexCoords(scene).Read(coords);
    EXPECT_EQ(coords, start);
}

TEST(LogoTexCoords, ASliceTurnCarriesThemToTheBackFace) {
    SceneRig rig;
    TScene& scene = rig.Build();
    rig.Cube().ExecuteMove("Сп");
    EXPECT_EQ(rig.Cube().Block(22).Face(kBack), -2);
    StickerTexCoords coords;
    SceneTexCoords(scene).Read(coords);
    const StickerTexCoords start = TemplateStickerTexCoords();
    // The back face's vertices now hold what the top face's corners held.
    for (int k = 18; k < 24; ++k) {
        const Vec3 p = TemplatePointAt(TemplateVertexPoint(k)).position;
        bool found = false;
        for (int j = 6; j < 12; ++j) {
            const Vec3 q = TemplatePointAt(TemplateVertexPoint(j)).position;
            // The quarter turn about x carries (x, y, z) on the top to (x, -z, y) on the back.
            if (std::fabs(q.x - p.x) < 1e-4f && std::fabs(-q.z - p.y) < 1e-4f) {
                EXPECT_EQ(coords[k], start[j]) << "vertex " << k;
                found = true;
            }
        }
        EXPECT_TRUE(found) << "vertex " << k;
    }
}

TEST(LogoTexCoords, WithoutABufferReadsGiveTheTemplateAndWritesAreDropped) {
    SceneRig rig;
    TScene& scene = rig.Build();
    scene.ReleaseScene();
    StickerTexCoords coords{};
    EXPECT_TRUE(FAILED(SceneTexCoords(scene).Read(coords)));
    EXPECT_EQ(coords, TemplateStickerTexCoords());
    EXPECT_TRUE(FAILED(SceneTexCoords(scene).Write(coords)));
    // The model still turns; its logo carry has nowhere to go and does no harm.
    rig.Cube().ExecuteMove("В");
    EXPECT_EQ(rig.Cube().Block(11).Face(kTop), -2);
}

TEST(LogoTexCoords, AFailedLockLeavesTheBufferUntouched) {
    SceneRig rig;
    TScene& scene = rig.Build();
    rig.monitor->FailCall(d3d8::Call::VertexBufferLock, D3DERR_INVALIDCALL);
    StickerTexCoords other = TemplateStickerTexCoords();
    other[0] = {0.25f, 0.75f};
    EXPECT_EQ(SceneTexCoords(scene).Write(other), D3DERR_INVALIDCALL);
    rig.monitor->ClearFaults();
    StickerTexCoords coords;
    SceneTexCoords(scene).Read(coords);
    EXPECT_EQ(coords, TemplateStickerTexCoords());
}

}  // namespace
}  // namespace velmo::testing
