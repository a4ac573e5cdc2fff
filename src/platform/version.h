#pragma once
// The executable's version information: one string table, Russian with the Windows-1251 code
// page (language and code-page key "041904E3"), compiled into the program by the build. Values
// are asked for by path, "StringFileInfo\041904E3\ProductName" and so on.

#include <optional>
#include <string>
#include <string_view>

namespace velmo {

// The size of the version information; 0 when the program carries none.
std::size_t VersionInfoSize();
// The value under a path (UTF-8), or nothing when the path names no value.
std::optional<std::string> QueryVersionValue(std::string_view path);

// The release as both programs' --version give it: the file version ("1.0.2.56").
std::string_view ReleaseVersion();

}  // namespace velmo
