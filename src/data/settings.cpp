#include "data/settings.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/endian.h"
#include "base/file_io.h"
#include "data/paths.h"

namespace data {
namespace {

inline constexpr size_t kMarkerPageBytes[kMarkerPageCount] = {4, 4, 20};
inline constexpr size_t kMarkerPageStart[kMarkerPageCount] = {0, 4, 8};

// Byte index into Settings::markers and bit mask of an item; false when the
// page or item does not exist.
bool MarkerBit(int page, int item, size_t* byte, uint8_t* mask) {
    if (page < 1 || page > kMarkerPageCount || item < 1) return false;
    const size_t k = static_cast<size_t>(item - 1);
    const size_t p = static_cast<size_t>(page - 1);
    if (k / 8 >= kMarkerPageBytes[p]) return false;
    *byte = kMarkerPageStart[p] + k / 8;
    *mask = static_cast<uint8_t>(0x80u >> (k % 8));
    return true;
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// The file's bytes (at most what the market buffer holds); nothing when it
// cannot be read.
std::optional<std::vector<uint8_t>> ReadSettingsFile(const std::string& path) {
    // Room for the file as it is (a few hundred bytes), never for all that
    // could be read: zeroing the whole allowance cost more than the read.
    const int64_t size = base::FileSize(path);
    if (size < 0) return std::nullopt;
    std::vector<uint8_t> bytes(std::min<uint64_t>(static_cast<uint64_t>(size), kSettingsReadBytes));
    auto read = base::ReadFileInto(path, bytes);
    if (!read) return std::nullopt;
    bytes.resize(*read);
    return bytes;
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t word) {
    return (word + 1) * 4 <= bytes.size() ? base::ReadU32(bytes.data() + word * 4) : 0;
}

}  // namespace

int ServerChoice(uint32_t stored) {
    return stored >= 1 && stored <= kServerCount ? static_cast<int>(stored) : 1;
}

bool Settings::MarkerSet(int page, int item) const {
    size_t byte;
    uint8_t mask;
    return MarkerBit(page, item, &byte, &mask) && (markers[byte] & mask) != 0;
}

bool Settings::ToggleMarker(int page, int item) {
    size_t byte;
    uint8_t mask;
    if (!MarkerBit(page, item, &byte, &mask)) return false;
    markers[byte] ^= mask;
    return (markers[byte] & mask) != 0;
}

Settings LoadSettings(const std::string& path, bool* created) {
    if (created) *created = false;
    Settings settings;
    auto bytes = ReadSettingsFile(path);
    if (!bytes) {
        // Only a missing file is replaced: one we merely cannot read keeps its contents.
        if (!PathExists(path)) {
            std::vector<uint8_t> zeros(kSettingsNewFileBytes, 0);
            bool ok = base::WriteFileAtomic(path, zeros).ok();
            if (created) *created = ok;
        }
        return settings;
    }

    for (size_t w = 0; w < kSettingsHeaderWords; ++w) settings.loadedWords[w] = WordAt(*bytes, w);
    settings.firstServer = ServerChoice(settings.loadedWords[kSettingsFirstServerWord]);
    settings.secondServer = ServerChoice(settings.loadedWords[kSettingsSecondServerWord]);
    for (size_t i = 0; i < kSettingsClientValueCount; ++i)
        settings.clientValues[i] = settings.loadedWords[kSettingsClientValuesWord + i];
    const size_t markerStart = kSettingsMarkerWord * 4;
    for (size_t i = 0; i < kSettingsMarkerBytes; ++i)
        settings.markers[i] = markerStart + i < bytes->size() ? (*bytes)[markerStart + i] : 0;

    // The count word is not trusted beyond the codes the file really holds.
    const size_t firstCode = kSettingsWatchFirstWord * 4;
    const size_t present = bytes->size() > firstCode ? (bytes->size() - firstCode) / 4 : 0;
    const size_t count = std::min<size_t>(settings.loadedWords[kSettingsWatchCountWord], present);
    settings.watchList.reserve(count);
    for (size_t i = 0; i < count; ++i)
        settings.watchList.push_back(WordAt(*bytes, kSettingsWatchFirstWord + i));
    return settings;
}

base::Status SaveSettings(const std::string& path, const Settings& settings) {
    const size_t count = settings.watchList.size();
    const size_t length =
        count == 0 ? kSettingsHeaderWords * 4 : (kSettingsWatchFirstWord + count + 2) * 4;
    // A longer file could not be read back whole at the next start.
    if (length > kSettingsReadBytes) return base::Error{"watch list too long for " + path};

    std::vector<uint8_t> image;
    if (PathExists(path)) {
        auto existing = ReadSettingsFile(path);
        // Writing without the old reserved words would lose them.
        if (!existing) return base::Error{"cannot read " + path};
        image = std::move(*existing);
    }
    if (image.size() < length) image.resize(length, 0);

    auto put = [&](size_t word, uint32_t value) { base::WriteU32(image.data() + word * 4, value); };
    put(kSettingsFirstServerWord,
        static_cast<uint32_t>(ServerChoice(static_cast<uint32_t>(settings.firstServer))));
    put(kSettingsSecondServerWord,
        static_cast<uint32_t>(ServerChoice(static_cast<uint32_t>(settings.secondServer))));
    for (size_t i = 0; i < kSettingsClientValueCount; ++i)
        put(kSettingsClientValuesWord + i, settings.clientValues[i]);
    std::copy(settings.markers.begin(), settings.markers.end(),
              image.begin() + kSettingsMarkerWord * 4);
    put(kSettingsWatchCountWord, static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) put(kSettingsWatchFirstWord + i, settings.watchList[i]);

    return base::WriteFileAtomic(path, std::span<const uint8_t>(image.data(), length));
}

}  // namespace data
