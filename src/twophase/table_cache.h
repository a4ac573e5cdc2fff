#pragma once
// The distance tables kept in a file between runs, in the user's cache folder, so that only
// the first use ever waits for them.
//
// The file: the magic "VELMO2PH", the format version, the number of tables and each one's size
// in bytes, a fingerprint of the move tables they were built with, a checksum of the tables;
// then the tables, in the order of DistanceTableKinds(). Numbers are little-endian, 32 bits for
// the version and the count, 64 for the rest. A file that differs in any of these, is cut
// short, runs on, or whose tables do not behave as distance tables where sampled is not used.

#include <cstdint>
#include <string>

#include "twophase/distance_tables.h"
#include "twophase/move_tables.h"

namespace velmo::twophase {

inline constexpr std::uint32_t kTableCacheVersion = 1;

// $XDG_CACHE_HOME/velmo/twophase-tables.bin, or under $HOME/.cache when XDG_CACHE_HOME is not
// set to an absolute path; "" when neither is set.
std::string DefaultTableCachePath();

// Fills tables from the file; returns "" when it is good, else what is wrong with it (tables
// are then left empty).
std::string ReadTableCache(const std::string& path, const MoveTables& moves, DistanceTables& tables);

// Writes the file through a temporary file in the same folder, renamed over the old one, so a
// reader never sees half a file; makes the folder when missing. Returns "" or what failed.
std::string WriteTableCache(const std::string& path, const MoveTables& moves,
                            const DistanceTables& tables);

}  // namespace velmo::twophase
