// Arbitrary bytes as a PNG file, damaged or hostile: decoding must never crash, leak or hang; it
// gives either a one-line message and leaves the caller's picture alone, or a whole picture of at
// most kMaxPngSide a side. Reading the same bytes from a file gives the same outcome. A decoded
// picture written back (as colour, and as grey where it is grey) reads back unchanged.
//
// The system's PNG library is not instrumented, so coverage cannot lead mutations past its
// checksums: half of the mutations therefore get their chunk checksums made right again, to
// reach the decoder behind them; the other half keep whatever damage they did.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

#include "platform/image.h"
#include "platform/png.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const std::string& InputPath() {
    static const std::string path = "/tmp/fuzz_png_in_" + std::to_string(getpid()) + ".png";
    return path;
}

const std::string& OutputPath() {
    static const std::string path = "/tmp/fuzz_png_out_" + std::to_string(getpid()) + ".png";
    return path;
}

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A picture nobody decodes to, to see that a refusal leaves the caller's picture as it was.
velmo::Image Untouched() { return velmo::Image(3, 1, 0x123456); }

bool SameImage(const velmo::Image& a, const velmo::Image& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

bool IsGrey(const velmo::Image& image) {
    for (const std::uint32_t p : image.pixels)
        if (((p >> 16) & 0xFF) != (p & 0xFF) || ((p >> 8) & 0xFF) != (p & 0xFF)) return false;
    return true;
}

// Written with the given format, the picture reads back the same from the file and from memory.
void CheckWrittenBack(const velmo::Image& image, velmo::PngFormat format) {
    const std::string& path = OutputPath();
    Check(velmo::WritePng(path, image, format).empty());
    velmo::Image fromFile, fromMemory;
    Check(velmo::ReadPng(path, fromFile).empty() && SameImage(fromFile, image));
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    Check(velmo::DecodePng(bytes.data(), bytes.size(), fromMemory).empty());
    Check(SameImage(fromMemory, image));
    unlink(path.c_str());
}

std::uint32_t ReadBigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

// Recomputes the checksum of every whole chunk after the signature.
void RepairChecksums(std::uint8_t* data, std::size_t size) {
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::uint32_t length = ReadBigEndian(data + at);
        if (length > size - at - 12) break;
        const uLong crc = crc32(0, data + at + 4, static_cast<uInt>(length + 4));
        std::uint8_t* out = data + at + 8 + length;
        for (int k = 0; k < 4; ++k) out[k] = static_cast<std::uint8_t>(crc >> (24 - 8 * k));
        at += 12 + std::size_t{length};
    }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed & 1) RepairChecksums(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmo::Image decoded = Untouched();
    const std::string problem = velmo::DecodePng(data, size, decoded);

    WriteBytes(InputPath(), data, size);
    velmo::Image read = Untouched();
    const std::string readProblem = velmo::ReadPng(InputPath(), read);
    unlink(InputPath().c_str());
    Check(problem.empty() == readProblem.empty());

    if (!problem.empty()) {
        Check(problem.find('\n') == std::string::npos);
        Check(readProblem.find('\n') == std::string::npos);
        Check(SameImage(decoded, Untouched()) && SameImage(read, Untouched()));
        return 0;
    }
    Check(decoded.Valid() && decoded.width <= velmo::kMaxPngSide &&
          decoded.height <= velmo::kMaxPngSide);
    for (const std::uint32_t p : decoded.pixels) Check(p <= 0xFFFFFF);
    Check(SameImage(read, decoded));

    CheckWrittenBack(decoded, velmo::PngFormat::Rgb24);
    if (IsGrey(decoded)) CheckWrittenBack(decoded, velmo::PngFormat::Grey8);
    return 0;
}
