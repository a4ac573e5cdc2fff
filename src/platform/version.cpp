#include "platform/version.h"

#include <array>
#include <utility>

#include "platform/version_values.h"

namespace velmo {

namespace {

constexpr std::string_view kStringTable = "StringFileInfo\\041904E3\\";

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kValues = {{
    {"ProductName", kVersionProductName},
    {"ProductVersion", kVersionProductVersion},
    {"FileVersion", kVersionFileVersion},
    {"CompanyName", kVersionCompanyName},
    {"LegalTradeMarks", kVersionLegalTradeMarks},
    {"LegalCopyright", kVersionLegalCopyright},
    {"InternalName", kVersionInternalName},
    {"Comments", kVersionComments},
}};

}  // namespace

std::size_t VersionInfoSize() {
    std::size_t size = 0;
    for (const auto& [key, value] : kValues) size += key.size() + value.size() + 2;
    return size;
}

std::optional<std::string> QueryVersionValue(std::string_view path) {
    if (!path.starts_with(kStringTable)) return std::nullopt;
    const std::string_view key = path.substr(kStringTable.size());
    // Keys are found as the version library finds them: without regard to letter case.
    const auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
        return true;
    };
    for (const auto& [name, value] : kValues)
        if (same(name, key)) return std::string(value);
    return std::nullopt;
}

std::string_view ReleaseVersion() { return kVersionFileVersion; }

}  // namespace velmo
