#pragma once
// The few file operations the settings need, on POSIX calls. Functions that can fail return ""
// on success or one line in Russian naming the path and the reason (failure_text.h).

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

// The most a read takes. Well above any real library (50 MB of sequences load in a second or
// two), and low enough that a file the program did not write costs neither minutes nor the
// machine's memory.
inline constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

// Only a regular file of at most kMaxFileBytes is read, and it is opened without waiting, so a
// FIFO, a device, a folder or a socket is a failure at once. A missing file reads as empty and
// is no failure.
std::string ReadFileBytes(const std::string& path, std::string& bytes);

// The path reached by following `path` through every symbolic link on its way (the path itself
// when it is no link); the last one may lead to a file that does not exist yet.
std::string FollowLinks(const std::string& path, std::string& target);

// Writes the whole content to a new file beside `path`, then renames it over `path`: a failure
// at any point leaves the old file as it was. An existing file keeps its permission bits and,
// where the system lets us, its owner and group; one with other hard links is written over in
// place, after the copy, so that its links stay. Copies that earlier saves left behind when
// they were killed are removed first.
std::string ReplaceFile(const std::string& path, std::string_view bytes);

// Creates the folders above `path` that do not exist yet (private to the user, 0700).
std::string MakeParentFolders(const std::string& path);

// Whether a file can really be created there; access() says yes to root even where it cannot.
bool CanCreateFilesIn(const std::string& folder);

std::string FolderOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace velmo
