#include "view/sticker_tex_coords.h"

#include "view/scene.h"
#include "view/vertex_access.h"

namespace velmo {

HRESULT SceneTexCoords::Read(StickerTexCoords& coords) {
    coords = TemplateStickerTexCoords();
    return EditVertices(scene_.VertexBuffer(), kStickerBytes, [&coords](SceneVertex* vertices) {
        for (int k = 0; k < kStickerVertexCount; ++k) coords[k] = {vertices[k].u, vertices[k].v};
    });
}

HRESULT SceneTexCoords::Write(const StickerTexCoords& coords) {
    return EditVertices(scene_.VertexBuffer(), kStickerBytes, [&coords](SceneVertex* vertices) {
        for (int k = 0; k < kStickerVertexCount; ++k) {
            vertices[k].u = coords[k].u;
            vertices[k].v = coords[k].v;
        }
    });
}

}  // namespace velmo
