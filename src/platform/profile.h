#pragma once
// A private-profile (INI) file held in memory, with the semantics of the platform the stored
// files come from: "[section]" lines open a section, "key=value" lines set values, section and
// key names match without regard to ASCII case, blanks around names and values do not count,
// one pair of matching quotes (" or ') around a value is dropped, the first occurrence of a
// section or key wins, and every other line is kept untouched when the file is written back.
//
// Bytes enter as Windows-1251, or as UTF-8 when they are valid UTF-8 holding non-ASCII bytes.
// They leave as Windows-1251 unless that would lose or alter some text; then as UTF-8, which
// the reader tells apart, so that whatever was written reads back exactly.
//
// Section and key names are the caller's own: they must not hold CR, LF, '=' or ']'.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmo {

class Profile {
public:
    Profile() = default;
    explicit Profile(std::string_view bytes);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // The whole value must be a decimal 32-bit integer with an optional sign.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    // Keys (as written) and values of the section in file order, each key once.
    std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

    // Replaces the value, or adds the key at the end of its section, or the section at the end
    // of the file. CR and LF in the value become blanks; invalid UTF-8 becomes U+FFFD.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Every section of that name goes, with all its lines.
    void EraseSection(std::string_view section);

    // The file as it is written: the line ends it was read with (CR LF for a new file).
    std::string ToBytes() const;

private:
    struct Section {
        std::string name;                // as written; unused for the lines before any header
        std::vector<std::string> lines;  // the header line first, except before any header
        std::unordered_map<std::string, std::size_t> keyLines;  // folded key -> first line
    };

    const Section* FindSection(std::string_view name) const;
    Section& AppendSection(std::string_view name);
    void AddLine(std::string line);
    void IndexSections();

    std::vector<Section> sections_{1};  // sections_[0] holds the lines before the first header
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
    std::string lineEnd_ = "\r\n";
    bool byteOrderMark_ = false;
};

}  // namespace velmo
