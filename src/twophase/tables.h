#pragma once
// All the tables the searches need, and where a process gets them: read from the cache file
// (table_cache.h) when it holds good ones, else built (about a second) and written there for
// the next run. About 11 MB in memory.

#include <memory>
#include <string>

#include "twophase/distance_tables.h"
#include "twophase/move_tables.h"
#include "twophase/pacer.h"

namespace velmo::twophase {

struct Tables {
    MoveTables moves;
    DistanceTables distances;
};

// How the tables were got.
struct TablesReport {
    bool fromCache = false;
    double milliseconds = 0;    // to read or to build them, writing the file included
    std::string cacheProblem;   // why the file was not used; "" when it was
    std::string saveProblem;    // why it could not be written; "" when it was or was not tried
};

// Reads the tables from the cache file, or builds them and writes the file (a failure to
// write only goes into the report). cachePath "" uses no file. nullptr when the poll asked to
// stop the build.
std::unique_ptr<Tables> MakeTables(const std::string& cachePath, const Poll& poll,
                                   TablesReport* report = nullptr);

// The tables of this process, made at the first call (with DefaultTableCachePath()) and kept;
// nullptr when the poll stopped the build, and the next call starts again.
const Tables* SharedTables(const Poll& poll);
bool SharedTablesReady();

}  // namespace velmo::twophase
