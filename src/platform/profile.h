#pragma once
// A private-profile (INI) file held in memory, with the semantics of the platform the stored
// files come from: "[section]" lines open a section, "key=value" lines set values, section and
// key names match without regard to ASCII case, blanks around names and values do not count,
// one pair of matching quotes (" or ') around a value is dropped, the first occurrence of a
// section or key wins, and every other line is kept untouched when the file is written back.
//
// The encoding is decided line by line, since hand-edited files mix them: a line that is valid
// UTF-8 is UTF-8, any other is Windows-1251. A line that is written goes out as Windows-1251
// unless that would lose or alter some text or read back as UTF-8; then as UTF-8. Lines keep
// their bytes as long as their value stays, and a leading UTF-8 byte order mark is kept.
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
    // of the file. CR and LF in the value become blanks; invalid UTF-8 becomes U+FFFD. A line
    // whose value would read back the same is left as it stands.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Every section of that name goes, with all its lines.
    void EraseSection(std::string_view section);
    // Every section of that name goes and one holding these keys (distinct) and values, in
    // this order, is added at the end of the file.
    void ReplaceSection(std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& entries);

    // The file as it is written: the line ends it was read with (CR LF for a new file).
    std::string ToBytes() const;

private:
    // Lines are held as they are stored, in either encoding, without their line ends.
    struct Section {
        std::string name;  // as written, UTF-8; unused for the lines before any header
        // Up to the last line that is not blank; the header line first, except before any
        // header. Added keys go at its end, so no line ever moves.
        std::vector<std::string> lines;
        std::vector<std::string> blanks;  // the blank lines after it
        std::unordered_map<std::string, std::size_t> keyLines;  // folded key -> first line
        std::size_t repeatedKeys = 0;  // key lines that are not their key's first
    };

    const Section* FindSection(std::string_view name) const;
    Section& AppendSection(std::string_view name);
    static void AddKey(Section& section, std::string foldedKey, std::string line);
    void AddLine(std::string line);
    void IndexSections();

    std::vector<Section> sections_{1};  // sections_[0] holds the lines before the first header
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
    std::string lineEnd_ = "\r\n";
    bool byteOrderMark_ = false;
};

}  // namespace velmo
