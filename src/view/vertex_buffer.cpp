// The shared vertex buffer: the block template, the mirror disc and the black ring.

#include <cmath>
#include <numbers>

#include "model/block_geometry.h"
#include "model/cells.h"
#include "view/scene.h"
#include "view/vertex_access.h"

namespace velmo {

namespace {

constexpr int kRimSegments = 50;
constexpr float kDiscRadius = 5.0f;
constexpr float kRingRadius = 20.0f;

SceneVertex Vertex(Vec3 position, Vec3 normal, std::uint32_t diffuse, TexCoord tex) {
    return {position.x, position.y, position.z, normal.x, normal.y, normal.z, diffuse, tex.u, tex.v};
}

void WriteTemplate(SceneVertex* vertices, std::uint32_t bodyColour) {
    for (int k = 0; k < kTemplateVertexCount; ++k) {
        const TemplatePoint& point = TemplatePointAt(TemplateVertexPoint(k));
        vertices[k] = Vertex(point.position, point.normal, bodyColour, point.tex);
    }
}

// The disc (a fan around vertex 132) and the ring (a strip of inner and outer rim points) in
// the plane z = 0, facing -z. The last rim point is the first one again, bit for bit, so that
// both shapes close without a crack.
void WriteMirror(SceneVertex* vertices) {
    const Vec3 normal{0, 0, -1};
    vertices[kDiscCentreVertex] = Vertex({0, 0, 0}, normal, kDiscCentreColour, {0.5f, 0.5f});
    for (int i = 0; i <= kRimSegments; ++i) {
        const double theta = 2 * std::numbers::pi * (i % kRimSegments) / kRimSegments;
        const float c = static_cast<float>(std::cos(theta)), s = static_cast<float>(std::sin(theta));
        vertices[kDiscCentreVertex + 1 + i] =
            Vertex({kDiscRadius * c, kDiscRadius * s, 0}, normal, kDiscRimColour,
                   {0.5f * c + 0.5f, 0.5f * s + 0.5f});
        vertices[kRingFirstVertex + 2 * i] =
            Vertex({kDiscRadius * c, kDiscRadius * s, 0}, normal, kRingColour, {0, 0});
        vertices[kRingFirstVertex + 2 * i + 1] =
            Vertex({kRingRadius * c, kRingRadius * s, 0}, normal, kRingColour, {0, 0});
    }
}

}  // namespace

HRESULT TScene::CreateSceneVertexBuffer() {
    if (!device_) return E_FAIL;
    HRESULT hr = device_->CreateVertexBuffer(kSceneBufferBytes, 0, kSceneFvf, D3DPOOL_DEFAULT,
                                             &vertexBuffer_);
    if (FAILED(hr)) {
        vertexBuffer_ = nullptr;
        return hr;
    }
    hr = device_->SetStreamSource(0, vertexBuffer_, sizeof(SceneVertex));
    if (FAILED(hr)) return hr;
    return device_->SetVertexShader(kSceneFvf);
}

void TScene::FillVertexBuffer(bool firstCreation) {
    // A failed lock leaves the buffer as it was: there is nothing to write into.
    EditVertices(vertexBuffer_, kSceneBufferBytes, [this](SceneVertex* vertices) {
        WriteTemplate(vertices, hardware_ ? 0xFFFFFFFFu : kReferenceBodyColour);
        WriteMirror(vertices);
    });
    if (firstCreation && !model_) CreateModel();
}

}  // namespace velmo
