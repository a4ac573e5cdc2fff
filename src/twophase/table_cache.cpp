#include "twophase/table_cache.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace velmo::twophase {

namespace {

constexpr std::string_view kMagic = "VELMO2PH";
constexpr std::size_t kSampledEntries = 4096;

// A 64-bit checksum, eight bytes at a time: not against forgery, against damage.
class Checksum {
public:
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i < size && filled_ != 0; ++i) AddByte(bytes[i]);
        for (; i + 8 <= size; i += 8) {
            for (int k = 0; k < 8; ++k) word_ |= static_cast<std::uint64_t>(bytes[i + k]) << (8 * k);
            Mix();
        }
        for (; i < size; ++i) AddByte(bytes[i]);
    }
    std::uint64_t Value() {
        if (filled_ != 0) Mix();
        std::uint64_t h = hash_;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return h;
    }

private:
    void AddByte(unsigned char byte) {
        word_ |= static_cast<std::uint64_t>(byte) << (8 * filled_);
        if (++filled_ == 8) Mix();
    }
    void Mix() {
        hash_ = (hash_ ^ word_) * 0x100000001b3ULL;
        hash_ ^= hash_ >> 29;
        word_ = 0;
        filled_ = 0;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL, word_ = 0;
    int filled_ = 0;
};

template <class T>
void AddVector(Checksum& sum, const std::vector<T>& v) {
    sum.Add(v.data(), v.size() * sizeof(T));
}

std::uint64_t MoveFingerprint(const MoveTables& moves) {
    Checksum sum;
    for (const auto* table : {&moves.twist, &moves.flip, &moves.slice, &moves.cornerPermAll,
                              &moves.sliceSorted, &moves.cornerPerm, &moves.edgePerm,
                              &moves.slicePerm})
        AddVector(sum, *table);
    return sum.Value();
}

std::uint64_t TablesChecksum(const DistanceTables& tables) {
    Checksum sum;
    for (const DistanceTableKind& kind : DistanceTableKinds()) AddVector(sum, tables.*kind.table);
    return sum.Value();
}

struct Header {
    std::uint32_t version = 0;
    std::uint32_t count = 0;
    std::vector<std::uint64_t> sizes;
    std::uint64_t fingerprint = 0;
    std::uint64_t checksum = 0;
};

void PutNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool GetNumber(std::istream& in, std::uint64_t& value, int bytes) {
    unsigned char buffer[8];
    if (!in.read(reinterpret_cast<char*>(buffer), bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(buffer[i]) << (8 * i);
    return true;
}

std::string HeaderBytes(const MoveTables& moves, const DistanceTables& tables) {
    std::string out(kMagic);
    PutNumber(out, kTableCacheVersion, 4);
    PutNumber(out, DistanceTableKinds().size(), 4);
    for (const DistanceTableKind& kind : DistanceTableKinds())
        PutNumber(out, (tables.*kind.table).size(), 8);
    PutNumber(out, MoveFingerprint(moves), 8);
    PutNumber(out, TablesChecksum(tables), 8);
    return out;
}

std::string ReadHeader(std::istream& in, Header& header) {
    std::string magic(kMagic.size(), '\0');
    if (!in.read(magic.data(), static_cast<std::streamsize>(magic.size())) || magic != kMagic)
        return "not a table file of this program";
    std::uint64_t version = 0, count = 0;
    if (!GetNumber(in, version, 4) || !GetNumber(in, count, 4)) return "cut short in its header";
    header.version = static_cast<std::uint32_t>(version);
    header.count = static_cast<std::uint32_t>(count);
    if (header.version != kTableCacheVersion)
        return "format version " + std::to_string(header.version) + ", not " +
               std::to_string(kTableCacheVersion);
    if (header.count != DistanceTableKinds().size())
        return std::to_string(header.count) + " tables, not " +
               std::to_string(DistanceTableKinds().size());
    header.sizes.resize(header.count);
    for (std::uint64_t& size : header.sizes)
        if (!GetNumber(in, size, 8)) return "cut short in its header";
    if (!GetNumber(in, header.fingerprint, 8) || !GetNumber(in, header.checksum, 8))
        return "cut short in its header";
    return {};
}

std::string ReadTables(std::istream& in, const Header& header, const MoveTables& moves,
                       DistanceTables& tables) {
    const auto& kinds = DistanceTableKinds();
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        if (header.sizes[k] != kinds[k].Size())
            return std::string(kinds[k].name) + " has " + std::to_string(header.sizes[k]) +
                   " entries, not " + std::to_string(kinds[k].Size());
    }
    if (header.fingerprint != MoveFingerprint(moves)) return "made with other move tables";
    for (const DistanceTableKind& kind : kinds) {
        std::vector<std::uint8_t>& table = tables.*kind.table;
        table.resize(kind.Size());
        if (!in.read(reinterpret_cast<char*>(table.data()), static_cast<std::streamsize>(table.size())))
            return "cut short in the table " + std::string(kind.name);
    }
    if (in.peek() != std::char_traits<char>::eof()) return "runs on past its tables";
    if (TablesChecksum(tables) != header.checksum) return "the checksum does not match";
    for (const DistanceTableKind& kind : kinds)
        if (!LooksLikeDistances(moves, kind, tables.*kind.table, kSampledEntries))
            return "the table " + std::string(kind.name) + " holds wrong distances";
    return {};
}

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string DefaultTableCachePath() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    // A relative XDG_CACHE_HOME counts as unset, as desktops treat it.
    if (xdg && xdg[0] == '/') folder = xdg;
    else if (home && home[0] != '\0') folder = std::filesystem::path(home) / ".cache";
    else return {};
    return (folder / "velmo" / "twophase-tables.bin").string();
}

std::string ReadTableCache(const std::string& path, const MoveTables& moves, DistanceTables& tables) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ErrnoText("cannot open " + path);
    Header header;
    std::string problem = ReadHeader(in, header);
    if (problem.empty()) problem = ReadTables(in, header, moves, tables);
    if (!problem.empty()) tables = DistanceTables{};
    return problem;
}

std::string WriteTableCache(const std::string& path, const MoveTables& moves,
                            const DistanceTables& tables) {
    const std::filesystem::path target(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error) return "cannot make " + target.parent_path().string() + ": " + error.message();
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return ErrnoText("cannot create a file beside " + path);
    const std::string header = HeaderBytes(moves, tables);
    bool ok = WriteAll(fd, header.data(), header.size());
    for (const DistanceTableKind& kind : DistanceTableKinds()) {
        const std::vector<std::uint8_t>& table = tables.*kind.table;
        ok = ok && WriteAll(fd, reinterpret_cast<const char*>(table.data()), table.size());
    }
    std::string problem = ok ? "" : ErrnoText("cannot write " + temporary);
    if (::close(fd) != 0 && problem.empty()) problem = ErrnoText("cannot write " + temporary);
    if (problem.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        problem = ErrnoText("cannot rename " + temporary + " to " + path);
    if (!problem.empty()) std::remove(temporary.c_str());
    return problem;
}

}  // namespace velmo::twophase
