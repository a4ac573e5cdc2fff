#include "settings/settings.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>

#include "platform/profile.h"
#include "settings/failure_text.h"
#include "settings/file_access.h"

namespace velmo {

namespace {

constexpr const char* kGeneral = "GENERAL";
constexpr const char* kPopular = "POPULAR";
constexpr const char* kUser = "USER";

constexpr int kMsPerTenth = 100;
constexpr int kDefaultHandTenths = 10;
constexpr int kDefaultAutoTenths = 7;
constexpr int kMaxTenths = INT_MAX / kMsPerTenth;

// The turn animation divides by the duration, so nothing below one tenth may reach it.
int ReadDuration(const Profile& profile, const char* key, int fallbackTenths) {
    int tenths = profile.ReadInteger(kGeneral, key, fallbackTenths);
    if (tenths <= 0) tenths = fallbackTenths;
    return std::min(tenths, kMaxTenths) * kMsPerTenth;
}

std::string PosKey(std::size_t index) { return "Pos" + std::to_string(index); }

// The index of a key "Pos<k>" spelled as a save writes it (any case), or 0.
long long PosIndex(const std::string& key) {
    if (key.size() < 4 || key.size() > 13 || key[3] == '0') return 0;
    for (std::size_t i = 0; i < 3; ++i)
        if ((key[i] | 0x20) != "pos"[i]) return 0;
    long long index = 0;
    const auto [end, error] = std::from_chars(key.data() + 3, key.data() + key.size(), index);
    return error == std::errc() && end == key.data() + key.size() ? index : 0;
}

// One pass over the section's keys; the key for entry i is the one ReadString would find. A
// valid "Count" is trusted up to kTrustedListEntries (a missing entry is empty); beyond that,
// and wherever "Count" is missing, negative or not a number, the entries the file holds count.
std::vector<std::string> ReadList(const Profile& profile, const char* section) {
    const int count = profile.ReadInteger(section, "Count", -1);
    const long long last = count < 0 ? LLONG_MAX : count;
    const int trusted = std::clamp(count, 0, kTrustedListEntries);
    std::vector<std::string> entries(static_cast<std::size_t>(trusted));
    std::vector<std::pair<long long, std::string>> beyond;
    for (auto& [key, value] : profile.ReadSection(section)) {
        const long long index = PosIndex(key);
        if (index < 1 || index > last) continue;
        if (index <= trusted)
            entries[static_cast<std::size_t>(index - 1)] = std::move(value);
        else
            beyond.emplace_back(index, std::move(value));
    }
    std::sort(beyond.begin(), beyond.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& entry : beyond) entries.push_back(std::move(entry.second));
    return entries;
}

// The section is replaced whole, so entries deleted since the last save leave no keys behind.
void WriteList(Profile& profile, const char* section, const std::vector<std::string>& entries) {
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(entries.size() + 1);
    for (std::size_t i = 0; i < entries.size(); ++i) keys.emplace_back(PosKey(i + 1), entries[i]);
    keys.emplace_back("Count", std::to_string(entries.size()));
    profile.ReplaceSection(section, keys);
}

}  // namespace

Settings ReadSettings(const Profile& profile) {
    Settings settings;
    settings.handTurnMs = ReadDuration(profile, "SpeedHand", kDefaultHandTenths);
    settings.autoTurnMs = ReadDuration(profile, "SpeedAuto", kDefaultAutoTenths);
    settings.doLog = profile.ReadBool(kGeneral, "DoLog", true);
    settings.popular = ReadList(profile, kPopular);
    settings.user = ReadList(profile, kUser);
    settings.window = ReadWindowGeometry(profile);
    return settings;
}

void WriteSettings(Profile& profile, const Settings& settings) {
    profile.WriteString(kGeneral, "SpeedHand", std::to_string(settings.handTurnMs / kMsPerTenth));
    profile.WriteString(kGeneral, "SpeedAuto", std::to_string(settings.autoTurnMs / kMsPerTenth));
    profile.WriteString(kGeneral, "DoLog", settings.doLog ? "1" : "0");
    WriteList(profile, kPopular, settings.popular);
    WriteList(profile, kUser, settings.user);
    if (settings.window) WriteWindowGeometry(profile, *settings.window);
}

Settings LoadSettings(const std::string& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes).empty()) return Settings{};
    return ReadSettings(Profile(bytes));
}

std::string SaveSettings(const std::string& path, const Settings& settings) {
    // No place to save (an installed program without any home): nothing is written anywhere.
    if (path.empty()) return Failure("записать файл", path, ENOENT);
    // A link is followed (people keep their settings in folders of their own), to a regular
    // file only, which ReadFileBytes makes sure of.
    std::string target;
    if (std::string failure = FollowLinks(path, target); !failure.empty()) return failure;
    // A file the user made read-only stays as it is, even though its folder would allow a
    // rename over it.
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0)
        return Failure("записать файл", target, errno);
    if (std::string failure = MakeParentFolders(target); !failure.empty()) return failure;
    // What cannot be read is not overwritten: its other sections would be lost.
    std::string bytes;
    if (std::string failure = ReadFileBytes(target, bytes); !failure.empty()) return failure;
    Profile profile(bytes);
    WriteSettings(profile, settings);
    bytes = profile.ToBytes();
    // Nothing is written that the next start would refuse to read.
    if (bytes.size() > kMaxFileBytes)
        return "Настройки заняли бы больше " + std::to_string(kMaxFileBytes >> 20) +
               " МиБ; файл " + QuotedPath(target) + " оставлен как был.";
    return ReplaceFile(target, bytes);
}

}  // namespace velmo
