#include "platform/profile.h"

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
    std::string text;
    if (IsValidUtf8(bytes) && HasNonAscii(bytes)) {
        byteOrderMark_ = bytes.starts_with(kByteOrderMark);
        if (byteOrderMark_) bytes.remove_prefix(kByteOrderMark.size());
        text = bytes;
    } else {
        text = Cp1251ToUtf8(bytes);
    }
    lineEnd_ = DetectLineEnd(text);
    for (std::string_view line : SplitLines(text)) AddLine(std::string(line));
    IndexSections();
}

void Profile::AddLine(std::string line) {
    const ParsedLine parsed = ParseLine(line);
    if (parsed.kind == LineKind::Header) {
        sections_.push_back({std::string(parsed.name), {}, {}});
    } else if (parsed.kind == LineKind::Key) {
        Section& section = sections_.back();
        section.keyLines.try_emplace(Fold(parsed.name), section.lines.size());
    }
    sections_.back().lines.push_back(std::move(line));
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
    return std::string(Unquote(ParseLine(found->lines[line->second]).value));
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
        const ParsedLine parsed = ParseLine(found->lines[i]);
        if (parsed.kind != LineKind::Key || found->keyLines.at(Fold(parsed.name)) != i) continue;
        entries.emplace_back(parsed.name, Unquote(parsed.value));
    }
    return entries;
}

Profile::Section& Profile::AppendSection(std::string_view name) {
    // A blank line before each added section, as the platform writes them.
    std::vector<std::string>& last = sections_.back().lines;
    if (!last.empty() && !Trim(last.back()).empty()) last.emplace_back();
    sections_.push_back({std::string(name), {'[' + std::string(name) + ']'}, {}});
    sectionIndex_.try_emplace(Fold(name), sections_.size() - 1);
    return sections_.back();
}

void Profile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) {
    const auto found = sectionIndex_.find(Fold(section));
    Section& target = found == sectionIndex_.end() ? AppendSection(section)
                                                   : sections_[found->second];
    const std::string folded = Fold(key);
    const auto line = target.keyLines.find(folded);
    if (line != target.keyLines.end()) {
        std::string& text = target.lines[line->second];
        text = std::string(ParseLine(text).name) + '=' + ValueText(value);
        return;
    }
    // Into the section's last non-blank line: the blank lines that part sections stay put, and
    // no key line moves, so the key index holds.
    std::size_t at = target.lines.size();
    while (at > 0 && Trim(target.lines[at - 1]).empty()) --at;
    target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(at),
                        std::string(key) + '=' + ValueText(value));
    target.keyLines.emplace(folded, at);
}

void Profile::EraseSection(std::string_view section) {
    const std::string folded = Fold(section);
    for (std::size_t i = sections_.size() - 1; i >= 1; --i)
        if (Fold(sections_[i].name) == folded)
            sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
    IndexSections();
}

std::string Profile::ToBytes() const {
    std::string text;
    for (const Section& section : sections_)
        for (const std::string& line : section.lines) text += line + lineEnd_;
    // Windows-1251 when it holds every character and cannot be taken for UTF-8 when read.
    const std::string narrow = Utf8ToCp1251(text);
    const bool exact = Cp1251ToUtf8(narrow) == text;
    if (exact && !(HasNonAscii(narrow) && IsValidUtf8(narrow))) return narrow;
    // The reader drops one mark, so text that starts with U+FEFF needs a mark of its own.
    if (byteOrderMark_ || text.starts_with(kByteOrderMark))
        return std::string(kByteOrderMark) + text;
    return text;
}

}  // namespace velmo
