#pragma once
// Internal: the reference counting of the top-level objects (the Direct3D object and the device).
// They start with one reference, held by whoever created them.

#include "platform/d3d8/d3d8.h"

namespace velmo::d3d8::detail {

template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        if (refs_ == 0) return 0;  // over-release: ignore rather than free twice
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

protected:
    RefCounted() = default;

private:
    ULONG refs_ = 1;
};

}  // namespace velmo::d3d8::detail
