#include "platform/profile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "platform/text.h"

namespace velmo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool HasNonAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

enum class LineKind { Other, Header, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;  // trimmed, quotes still on
};

ParsedLine ParseLine(std::string_view line) {
    const std::string_view text = Trim(line);
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return {};
        return {LineKind::Header, Trim(text.substr(1, close - 1)), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {LineKind::Key, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A stored line as text: UTF-8 when it is valid UTF-8, else Windows-1251 (then converted into
// `buffer`, which the result may point into).
std::string_view LineText(std::string_view line, std::string& buffer) {
    if (IsValidUtf8(line)) return line;
    buffer = Cp1251ToUtf8(line);
    return buffer;
}

std::string LineValue(std::string_view line) {
    std::string buffer;
    return std::string(Unquote(ParseLine(LineText(line, buffer)).value));
}

// Whether the stored line's value reads as `value`, without a copy of it.
bool HasValue(std::string_view line, std::string_view value) {
    std::string buffer;
    return Unquote(ParseLine(LineText(line, buffer)).value) == value;
}

// The bytes of a new line: Windows-1251 when it holds every character and cannot be taken for
// UTF-8 when read back, else the UTF-8 text itself.
std::string EncodeLine(const std::string& text) {
    if (!HasNonAscii(text)) return text;
    std::string narrow = Utf8ToCp1251(text);
    if (!IsValidUtf8(narrow) && Cp1251ToUtf8(narrow) == text) return narrow;
    return text;
}

// The text that reads back as exactly `value` (line breaks aside, which a line cannot hold).
std::string ValueText(std::string_view value) {
    std::string text = IsValidUtf8(value) ? std::string(value) : EncodeUtf8(DecodeUtf8(value));
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    const auto needsQuotes = [](char c) { return IsBlank(c) || IsQuote(c); };
    if (!text.empty() && (needsQuotes(text.front()) || needsQuotes(text.back())))
        text = '"' + text + '"';
    return text;
}

std::string KeyLine(std::string_view key, std::string_view value) {
    return EncodeLine(std::string(key) + '=' + ValueText(value));
}

std::string DetectLineEnd(std::string_view text) {
    const std::size_t at = text.find('\n');
    if (at != std::string_view::npos && (at == 0 || text[at - 1] != '\r')) return "\n";
    return "\r\n";
}

// CR LF, LF and a lone CR all end a line, so no value read can hold a line break.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool ParseInteger(std::string_view text, int& value) {
    if (text.size() >= 2 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    std::int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

}  // namespace

Profile::Profile(std::string_view bytes) {
    byteOrderMark_ = bytes.starts_with(kByteOrderMark);
    if (byteOrderMark_) bytes.remove_prefix(kByteOrderMark.size());
    lineEnd_ = DetectLineEnd(bytes);
    for (std::string_view line : SplitLines(bytes)) AddLine(std::string(line));
    IndexSections();
}

void Profile::AddKey(Section& section, std::string foldedKey, std::string line) {
    if (!section.keyLines.try_emplace(std::move(foldedKey), section.lines.size()).second)
        ++section.repeatedKeys;
    section.lines.push_back(std::move(line));
}

void Profile::AddLine(std::string line) {
    if (Trim(line).empty()) {
        sections_.back().blanks.push_back(std::move(line));
        return;
    }
    // The signs that shape a line are ASCII in either encoding, so only names that are not
    // need the line's text.
    std::string buffer;
    ParsedLine parsed = ParseLine(line);
    if (HasNonAscii(parsed.name)) parsed = ParseLine(LineText(line, buffer));
    if (parsed.kind == LineKind::Header)
        sections_.push_back({std::string(parsed.name), {}, {}, {}});
    Section& section = sections_.back();
    for (std::string& blank : section.blanks) section.lines.push_back(std::move(blank));
    section.blanks.clear();
    if (parsed.kind == LineKind::Key) {
        std::string key = Fold(parsed.name);  // before the line, which it may point into, moves
        AddKey(section, std::move(key), std::move(line));
    } else {
        section.lines.push_back(std::move(line));
    }
}

void Profile::IndexSections() {
    sectionIndex_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i)
        sectionIndex_.try_emplace(Fold(sections_[i].name), i);
}

const Profile::Section* Profile::FindSection(std::string_view name) const {
    const auto found = sectionIndex_.find(Fold(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Section* found = FindSection(section);
    if (found == nullptr) return std::string(fallback);
    const auto line = found->keyLines.find(Fold(key));
    if (line == found->keyLines.end()) return std::string(fallback);
    return LineValue(found->lines[line->second]);
}

int Profile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    int value = fallback;
    return ParseInteger(Trim(ReadString(section, key, "")), value) ? value : fallback;
}

bool Profile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::pair<std::string, std::string>> Profile::ReadSection(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    const Section* found = FindSection(section);
    if (found == nullptr) return entries;
    for (std::size_t i = 0; i < found->lines.size(); ++i) {
        std::string buffer;
        const ParsedLine parsed = ParseLine(LineText(found->lines[i], buffer));
        if (parsed.kind != LineKind::Key) continue;
        if (found->repeatedKeys > 0 && found->keyLines.at(Fold(parsed.name)) != i) continue;
        entries.emplace_back(parsed.name, Unquote(parsed.value));
    }
    return entries;
}

Profile::Section& Profile::AppendSection(std::string_view name) {
    // A blank line before each added section, as the platform writes them.
    Section& last = sections_.back();
    if (last.blanks.empty() && !last.lines.empty()) last.blanks.emplace_back();
    sections_.push_back(
        {std::string(name), {EncodeLine('[' + std::string(name) + ']')}, {}, {}});
    sectionIndex_.try_emplace(Fold(name), sections_.size() - 1);
    return sections_.back();
}

void Profile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) {
    const auto found = sectionIndex_.find(Fold(section));
    Section& target = found == sectionIndex_.end() ? AppendSection(section)
                                                   : sections_[found->second];
    std::string folded = Fold(key);
    const auto line = target.keyLines.find(folded);
    if (line == target.keyLines.end()) {
        AddKey(target, std::move(folded), KeyLine(key, value));
        return;
    }
    std::string& text = target.lines[line->second];
    std::string buffer;
    const ParsedLine parsed = ParseLine(LineText(text, buffer));
    if (Unquote(parsed.value) == value) return;
    text = KeyLine(parsed.name, value);
}

void Profile::EraseSection(std::string_view section) {
    const std::string folded = Fold(section);
    // In one pass: erasing the copies one by one would cost the square of the file's size.
    sections_.erase(std::remove_if(sections_.begin() + 1, sections_.end(),
                                   [&](const Section& s) { return Fold(s.name) == folded; }),
                    sections_.end());
    IndexSections();
}

void Profile::ReplaceSection(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
    // The lines ReadString would read, so that those whose value stays keep their bytes.
    std::vector<std::string> oldLines;
    std::unordered_map<std::string, std::size_t> oldKeys;
    if (const auto found = sectionIndex_.find(Fold(section)); found != sectionIndex_.end()) {
        oldLines = std::move(sections_[found->second].lines);
        oldKeys = std::move(sections_[found->second].keyLines);
    }
    EraseSection(section);
    Section& target = AppendSection(section);
    target.keyLines.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        std::string folded = Fold(key);
        const auto old = oldKeys.find(folded);
        const bool same = old != oldKeys.end() && HasValue(oldLines[old->second], value);
        AddKey(target, std::move(folded),
               same ? std::move(oldLines[old->second]) : KeyLine(key, value));
    }
}

std::string Profile::ToBytes() const {
    std::string bytes = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
    for (const Section& section : sections_)
        for (const auto* lines : {&section.lines, &section.blanks})
            for (const std::string& line : *lines) (bytes += line) += lineEnd_;
    // The reader drops one mark, so text that starts with U+FEFF needs a mark of its own.
    if (!byteOrderMark_ && bytes.starts_with(kByteOrderMark)) bytes.insert(0, kByteOrderMark);
    return bytes;
}

}  // namespace velmo
