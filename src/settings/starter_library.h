#pragma once
// What «Частые вращения» holds on the first start, before the user has a settings file: a few
// well-known sequences of the layer-by-layer method, in the program's notation and in the
// node form name " {" moves "}".

#include <string>
#include <vector>

namespace velmo {

std::vector<std::string> StarterSequences();

}  // namespace velmo
