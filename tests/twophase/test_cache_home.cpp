// Every test process of the solver keeps its tables in the build tree, whatever the
// environment says, before any test asks for them.

#include <cstdlib>

namespace {

const bool kCacheHomeSet = [] {
    setenv("XDG_CACHE_HOME", VELMO_TEST_CACHE_HOME, 1);
    return true;
}();

}  // namespace
