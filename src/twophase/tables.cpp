#include "twophase/tables.h"

#include <chrono>

#include "twophase/table_cache.h"

namespace velmo::twophase {

namespace {

std::unique_ptr<Tables>& Shared() {
    static std::unique_ptr<Tables> tables;
    return tables;
}

}  // namespace

std::unique_ptr<Tables> MakeTables(const std::string& cachePath, const Poll& poll,
                                   TablesReport* report) {
    const auto start = std::chrono::steady_clock::now();
    TablesReport local;
    TablesReport& r = report ? *report : local;
    r = TablesReport{};
    auto tables = std::make_unique<Tables>();
    tables->moves = BuildMoveTables();
    r.cacheProblem = cachePath.empty() ? "no cache folder"
                                       : ReadTableCache(cachePath, tables->moves, tables->distances);
    r.fromCache = r.cacheProblem.empty();
    if (!r.fromCache) {
        Pacer pacer(poll);
        if (!BuildDistanceTables(tables->moves, tables->distances, pacer)) return nullptr;
        if (!cachePath.empty())
            r.saveProblem = WriteTableCache(cachePath, tables->moves, tables->distances);
    }
    r.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return tables;
}

const Tables* SharedTables(const Poll& poll) {
    if (!Shared()) Shared() = MakeTables(DefaultTableCachePath(), poll);
    return Shared().get();
}

bool SharedTablesReady() { return Shared() != nullptr; }

}  // namespace velmo::twophase
