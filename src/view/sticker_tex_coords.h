#pragma once
// The texture coordinates of the sticker squares (vertices 0..35) as they stand in the scene's
// vertex buffer. The application's model host hands its ReadStickerTexCoords and
// WriteStickerTexCoords to this, so that the logo turns with its block on screen.

#include "model/block_geometry.h"
#include "platform/d3d8/d3d8.h"

namespace velmo {

class TScene;

class SceneTexCoords {
public:
    explicit SceneTexCoords(TScene& scene) : scene_(scene) {}

    // Without a vertex buffer (the scene was released after a failure) or when the lock fails,
    // reading gives the template's coordinates, which the next scene build writes anyway, and
    // writing does nothing. Both return the lock's or unlock's code.
    HRESULT Read(StickerTexCoords& coords);
    HRESULT Write(const StickerTexCoords& coords);

private:
    TScene& scene_;
};

}  // namespace velmo
