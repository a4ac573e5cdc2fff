#pragma once
// The texts of failed file operations, as a user reads them: Russian, one line, naming the path.

#include <string>
#include <string_view>

namespace velmo {

// The path in guillemets; control characters are written as \xNN, so the text stays one line.
std::string QuotedPath(const std::string& path);

// "Не удалось <action> «<path>»: <reason>."
std::string Failure(std::string_view action, const std::string& path, int error);

}  // namespace velmo
