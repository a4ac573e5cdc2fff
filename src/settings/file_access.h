#pragma once
// The few file operations the settings need, on POSIX calls. Functions that can fail return ""
// on success or one line naming the path and the system's reason.

#include <string>
#include <string_view>

namespace velmo {

// A missing file reads as empty and is no failure.
std::string ReadFileBytes(const std::string& path, std::string& bytes);

// Writes the whole content to a new file beside `path`, then renames it over `path`: a failure
// at any point leaves the old file as it was. An existing file keeps its permission bits.
std::string ReplaceFile(const std::string& path, std::string_view bytes);

// Creates the folders above `path` that do not exist yet (private to the user, 0700).
std::string MakeParentFolders(const std::string& path);

// Whether a file can really be created there; access() says yes to root even where it cannot.
bool CanCreateFilesIn(const std::string& folder);

std::string FolderOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace velmo
