#pragma once
// Internal: the device's resources, vertex buffers and textures, and the reference counting they
// share.
//
// Lifetime: a resource holds one reference to its device while callers hold it. Resources bound to
// the device (stream source, textures) are additionally kept alive by a binding count that the
// device drops when it unbinds them or is destroyed; this keeps bindings from forming reference
// cycles.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/software_device.h"

namespace velmo::d3d8::detail {

// Shared reference logic of the device's children (see the file comment).
class ChildLifetime {
public:
    explicit ChildLifetime(IDirect3DDevice8* device) : device_(device) {}
    virtual ~ChildLifetime() = default;

    void Bind() { ++bindings_; }
    // Out of line: inlined into the device, where the resource's type is known, the `delete this`
    // is devirtualised and trips GCC's -Wfree-nonheap-object on the base at a nonzero offset.
    void Unbind();

protected:
    ULONG DoAddRef() {
        if (refs_++ == 0) device_->AddRef();
        return refs_;
    }
    ULONG DoRelease() {
        if (refs_ == 0) return 0;  // over-release: ignore rather than corrupt
        const ULONG n = --refs_;
        if (n == 0) {
            IDirect3DDevice8* device = device_;
            if (bindings_ == 0) delete this;
            device->Release();  // may destroy the device, which unbinds (and frees) us
        }
        return n;
    }
    HRESULT DoGetDevice(IDirect3DDevice8** device) {
        if (!device) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return S_OK;
    }
    // Used for objects created with one caller reference (the device reference is taken by the
    // creator).
    void AdoptFirstReference() { refs_ = 1; }

    IDirect3DDevice8* device_;
    ULONG refs_ = 0;
    ULONG bindings_ = 0;
};

class VertexBuffer final : public IDirect3DVertexBuffer8, public ChildLifetime {
public:
    VertexBuffer(IDirect3DDevice8* device, std::shared_ptr<CallMonitor> monitor, UINT length,
                 DWORD usage, DWORD fvf, D3DPOOL pool);

    ULONG AddRef() override { return DoAddRef(); }
    ULONG Release() override { return DoRelease(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return DoGetDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }

    HRESULT Lock(UINT offset, UINT size, BYTE** out, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const IDirect3DDevice8* Owner() const { return device_; }
    bool locked() const { return locked_; }
    const std::uint8_t* data() const { return data_.data(); }
    std::size_t size() const { return data_.size(); }

private:
    std::shared_ptr<CallMonitor> monitor_;
    std::vector<std::uint8_t> data_;
    DWORD usage_;
    DWORD fvf_;
    D3DPOOL pool_;
    bool locked_ = false;
};

class Texture final : public IDirect3DTexture8, public ChildLifetime {
public:
    struct Level {
        int width, height;
        std::vector<std::uint32_t> texels;
        bool locked = false;
    };

    Texture(IDirect3DDevice8* device, std::shared_ptr<CallMonitor> monitor, UINT width,
            UINT height, UINT levels, D3DFORMAT format, D3DPOOL pool);

    ULONG AddRef() override { return DoAddRef(); }
    ULONG Release() override { return DoRelease(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return DoGetDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    const IDirect3DDevice8* Owner() const { return device_; }
    const Level& Level0() const { return levels_[0]; }
    D3DFORMAT format() const { return format_; }

    // Counts the unlocks of level 0, so that a device keeping its own copy of the texels (the
    // OpenGL device) copies them again after a change.
    std::uint64_t Level0Generation() const { return level0Generation_; }
    // Whatever the device keeps with the texture (the OpenGL texture object); released with it.
    std::shared_ptr<void>& DeviceData() { return deviceData_; }

private:
    std::shared_ptr<CallMonitor> monitor_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    std::vector<Level> levels_;
    std::uint64_t level0Generation_ = 0;
    std::shared_ptr<void> deviceData_;
};

}  // namespace velmo::d3d8::detail
