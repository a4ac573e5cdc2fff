// Frame drawing: the mirror image, the disc and ring, the cube and the reassembly highlight.

#include <cstdlib>

#include "model/velmo.h"
#include "platform/d3d8/d3dx8.h"
#include "view/scene.h"
#include "view/vertex_access.h"

namespace velmo {

namespace {

constexpr std::uint32_t kHighlightColour = kColourTable[7];
constexpr unsigned kHighlightWeight = 144;

// Display colour of a colour number; numbers outside the table draw as the body.
std::uint32_t TableColour(int n) {
    return n >= 0 && n < static_cast<int>(kColourTable.size()) ? kColourTable[n] : kColourTable[0];
}

// Identification colours: red 8 x cell, blue 8 x slot (0 for the body), all opaque. They are
// multiples of 8, so the top five bits of each channel carry them in any back-buffer format.
std::uint32_t IdColour(int cell, int slot) {
    return 0xFF000000u | (static_cast<std::uint32_t>(8 * cell) << 16) |
           static_cast<std::uint32_t>(8 * slot);
}

bool Offered(const TVelmo& cube, int cell) {
    return (cube.PickFilter == 2 && IsEdgeCell(cell)) ||
           (cube.PickFilter == 1 && IsCornerCell(cell));
}

}  // namespace

HRESULT TScene::SetWorld(const Matrix4& m) {
    const D3DMATRIX d = ToD3D(m);
    return device_->SetTransform(D3DTS_WORLD, &d);
}

Matrix4 TScene::MirrorMatrix() const {
    // The disc faces the camera from where the mirror stands: turned as the mirror point was
    // turned from the line of sight, then moved to the centre of the cube's mirror image.
    return MatrixRotationX(Angles.MirrorAngleV) * MatrixRotationY(Angles.MirrorAngleH) *
           MatrixRotationX(Angles.CameraAngleV) * MatrixRotationY(-Angles.CameraAngleH) *
           MatrixTranslation(2 * MirrorPoint.x, 2 * MirrorPoint.y, 2 * MirrorPoint.z);
}

HRESULT TScene::RenderFrame() {
    if (!device_) {
        ReportSceneError(kCaptionRender, E_FAIL);
        return E_FAIL;
    }
    const HRESULT hr = DrawFrame();
    // Whatever the failing call said, the user is told of an undetermined error; the caller
    // still gets the real code.
    if (FAILED(hr)) ReportSceneError(kCaptionRender, E_FAIL);
    return hr;
}

// Only the clears, the scene brackets, the two cube drawings, the edge-antialias switches and
// the presentation are checked; the first failure abandons the frame.
HRESULT TScene::DrawFrame() {
    HRESULT hr = device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    if (FAILED(hr)) return hr;
    hr = device_->BeginScene();
    if (FAILED(hr)) return hr;
    if (hardware_) {
        hr = DrawMirror();
        if (FAILED(hr)) return hr;
    }
    const Matrix4 identity = MatrixIdentity();
    SetWorld(identity);
    if (model_) {
        hr = DrawCube(*model_, identity, false);
        if (FAILED(hr)) return hr;
    }
    if (hardware_) {
        hr = device_->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
        if (FAILED(hr)) return hr;
    }
    hr = device_->EndScene();
    if (FAILED(hr)) return hr;
    return device_->Present(nullptr, nullptr, nullptr, nullptr);
}

// The mirror image of the cube, the translucent disc over it and the black ring that hides
// the rest of the image; the depth buffer is cleared after each so the cube draws on top.
HRESULT TScene::DrawMirror() {
    HRESULT hr = device_->SetRenderState(D3DRS_EDGEANTIALIAS, TRUE);
    if (FAILED(hr)) return hr;
    const D3DXVECTOR3 point(MirrorPoint.x, MirrorPoint.y, MirrorPoint.z);
    const D3DXVECTOR3 normal(MirrorNormal.x, MirrorNormal.y, MirrorNormal.z);
    D3DXPLANE plane;
    D3DXPlaneFromPointNormal(&plane, &point, &normal);
    D3DXMATRIX reflect;
    D3DXMatrixReflect(&reflect, &plane);
    Matrix4 reflection;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) reflection.m[r][c] = reflect.m[r][c];

    // The reflection reverses the winding of every triangle.
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    if (model_) {
        hr = DrawCube(*model_, reflection, false);
        if (FAILED(hr)) return hr;
    }
    hr = device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (FAILED(hr)) return hr;
    SetWorld(MirrorMatrix());
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->DrawPrimitive(D3DPT_TRIANGLEFAN, kDiscCentreVertex, 50);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, kRingFirstVertex, 100);
    SetWorld(MatrixIdentity());
    hr = device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (FAILED(hr)) return hr;
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    return hr;
}

HRESULT TScene::DrawCube(TVelmo& cube, const Matrix4& base, bool identification) {
    HRESULT hr = S_OK;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        const TBlock& block = cube.Block(cell);
        // The identification picture also holds the empty cells the reassembly mode offers.
        if (!block.InCube && !(identification && Offered(cube, cell))) continue;
        hr = DrawBlock(block, base, identification);
        if (FAILED(hr)) return hr;
    }
    if (identification || cube.PickedCell < 1) return hr;

    const int picked = cube.PickedCell;
    if (picked <= kCellCount) {
        const TBlock& block = cube.Block(picked);
        if (!block.InCube && Offered(cube, picked)) return DrawBlockHighlighted(block, base);
        if (block.InCube && cube.PickFilter == 3 && !IsCentreCell(picked))
            return DrawBlockHighlighted(block, base);
    }
    cube.PickedCell = -1;
    return hr;
}

HRESULT TScene::SetSlotColour(int slot, std::uint32_t colour) {
    return EditVertices(vertexBuffer_, kStickerBytes, [slot, colour](SceneVertex* vertices) {
        for (int k = 6 * (slot - 1); k < 6 * slot; ++k) vertices[k].diffuse = colour;
    });
}

HRESULT TScene::DrawSlot(int slot) {
    return device_->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(6 * (slot - 1)), 2);
}

HRESULT TScene::DrawBlock(const TBlock& block, const Matrix4& base, bool identification) {
    HRESULT hr = SetWorld(block.Matrix * base);
    if (FAILED(hr)) return hr;
    const std::uint32_t body = identification ? IdColour(block.Cell, 0)
                               : hardware_    ? kColourTable[0]
                                              : kReferenceBodyColour;
    hr = EditVertices(vertexBuffer_, kTemplateBytes, [body](SceneVertex* vertices) {
        for (int k = 0; k < 132; ++k) vertices[k].diffuse = body;
    });
    if (FAILED(hr)) return hr;

    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int value = block.Face(slot);
        const int n = std::abs(value);
        hr = SetSlotColour(slot, identification ? IdColour(block.Cell, slot) : TableColour(n));
        if (FAILED(hr)) return hr;
        // The reference device has no textures; it leaves the stage alone.
        if (hardware_) {
            IDirect3DTexture8* texture = nullptr;
            if (!identification && n != 0) texture = value < 0 ? logoTexture_ : stickerTexture_;
            hr = device_->SetTexture(0, texture);
            if (FAILED(hr)) return hr;
        }
        hr = DrawSlot(slot);
        if (FAILED(hr)) return hr;
    }
    if (hardware_) {
        hr = device_->SetTexture(0, nullptr);
        if (FAILED(hr)) return hr;
    }
    return device_->DrawPrimitive(D3DPT_TRIANGLELIST, 36, 32);
}

HRESULT TScene::DrawBlockHighlighted(const TBlock& block, const Matrix4& base) {
    HRESULT hr = SetWorld(block.Matrix * base);
    if (FAILED(hr)) return hr;
    hr = EditVertices(vertexBuffer_, kTemplateBytes, [](SceneVertex* vertices) {
        for (int k = 0; k < 132; ++k) vertices[k].diffuse = kHighlightColour;
    });
    if (FAILED(hr)) return hr;
    // A present block shows its stickers tinted towards magenta; an empty place is all magenta.
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const int n = std::abs(block.Face(slot));
        const std::uint32_t colour = block.InCube && n != 0
                                         ? BlendColor(TableColour(n), kHighlightColour, kHighlightWeight)
                                         : kHighlightColour;
        hr = SetSlotColour(slot, colour);
        if (FAILED(hr)) return hr;
        if (hardware_) {
            hr = device_->SetTexture(0, nullptr);
            if (FAILED(hr)) return hr;
        }
        hr = DrawSlot(slot);
        if (FAILED(hr)) return hr;
    }
    return device_->DrawPrimitive(D3DPT_TRIANGLELIST, 36, 32);
}

}  // namespace velmo
