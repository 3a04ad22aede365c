#include "data/sector_library_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "base/endian.h"
#include "base/gbk.h"

namespace data {

SectorLibraryHeader ReadSectorLibraryHeader(std::span<const uint8_t> image) {
    SectorLibraryHeader header;
    if (image.size() < 16) return header;
    uint32_t date = base::ReadU32(image.data() + 12);
    header.date = date > 20'000'000 ? date - 20'000'000 : date;
    if (image[9] != 0) header.shareWeight = image[9];
    if (image[10] != 0) header.countWeight = image[10];
    if (image[11] != 0) header.moveWeight = image[11];
    return header;
}

namespace {

constexpr size_t kHeaderBytes = 16;
constexpr size_t kHeadBytes = 6;  // member count (16), number (24), name length (8)
constexpr uint32_t kHighestCode = 999'999;

struct RecordHead {
    size_t count = 0;
    uint32_t number = 0;
    size_t nameLength = 0;
    size_t Length() const { return kHeadBytes + nameLength + 3 * count; }
};

RecordHead HeadAt(std::span<const uint8_t> image, size_t offset) {
    const uint8_t* p = image.data() + offset;
    return {base::ReadU16(p), base::ReadU24(p + 2), p[5]};
}

// How many of the `most` codes from `at` are six-digit codes in ascending order.
size_t AscendingRun(std::span<const uint8_t> image, size_t at, size_t most) {
    uint32_t previous = 0;
    size_t k = 0;
    for (; k < most && at + 3 * k + 3 <= image.size(); ++k) {
        const uint32_t code = base::ReadU24(image.data() + at + 3 * k);
        if (code > kHighestCode || (k > 0 && code <= previous)) break;
        previous = code;
    }
    return k;
}

bool PlausibleFamily(uint32_t number) {
    const uint32_t family = number & 0xFFu;
    return family >= 1 && family <= 6;
}

// Whether a whole, usable record starts at the offset (the end of the image counts).
bool RecordStartsAt(std::span<const uint8_t> image, size_t offset) {
    if (offset == image.size()) return true;
    if (image.size() - offset < kHeadBytes) return false;
    const RecordHead head = HeadAt(image, offset);
    return PlausibleFamily(head.number) && head.Length() <= image.size() - offset &&
           AscendingRun(image, offset + kHeadBytes + head.nameLength, head.count) == head.count;
}

std::string SectorLabel(std::span<const uint8_t> image, size_t offset, const RecordHead& head) {
    const size_t nameLength = std::min(head.nameLength, image.size() - offset - kHeadBytes);
    const std::string name(reinterpret_cast<const char*>(image.data() + offset + kHeadBytes), nameLength);
    const uint32_t display = (head.number & 0xFFu) * 1000 + ((head.number >> 8) & 0xFFFFu);
    return "板块“" + base::GbkToUtf8(name) + "”(编号" + std::to_string(display) + ")";
}

}  // namespace

SectorLibraryCheck CheckSectorLibrary(std::span<uint8_t> image) {
    SectorLibraryCheck check;
    check.bytes = image.size();
    if (image.size() < kHeaderBytes) return check;
    const size_t declared = base::ReadU24(image.data());
    // Every start-up runs this check: a set of the numbers kept so far costs
    // far less than a table over every possible number, and the label is
    // only converted for a sector that has a problem.
    std::unordered_set<uint32_t> seen;
    seen.reserve(std::min(declared, image.size() / kHeadBytes));
    size_t read = kHeaderBytes;   // the next record to look at
    size_t write = kHeaderBytes;  // where the next kept record goes
    size_t walked = 0;
    for (; walked < declared && image.size() - read >= kHeadBytes; ++walked) {
        const RecordHead head = HeadAt(image, read);
        std::string problem;
        size_t length = head.Length();
        if (length > image.size() - read) {
            // The member count cannot be right: the members end where they
            // stop ascending, or earlier where the next record reads whole.
            const size_t membersAt = read + kHeadBytes + std::min(head.nameLength, image.size() - read - kHeadBytes);
            size_t run = AscendingRun(image, membersAt, head.count);
            while (run > 0 && !RecordStartsAt(image, membersAt + 3 * run)) --run;
            length = membersAt + 3 * run - read;
            problem = "成员数" + std::to_string(head.count) + "超出了文件";
            if (run == 0 && !RecordStartsAt(image, membersAt)) {
                check.problems.push_back(SectorLabel(image, read, head) + "：" + problem + "，其后的板块无法读取");
                ++check.skipped;
                ++walked;
                break;
            }
        } else if (!PlausibleFamily(head.number)) {
            problem = "板块类别" + std::to_string(head.number & 0xFFu) + "不存在";
        } else if (AscendingRun(image, read + kHeadBytes + head.nameLength, head.count) != head.count) {
            problem = "成员代码不是按升序排列的六位代码";
        } else if (!seen.insert(head.number).second) {
            problem = "编号与前面的板块重复";
        }
        if (problem.empty()) {
            std::memmove(image.data() + write, image.data() + read, length);
            write += length;
            ++check.loaded;
        } else {
            check.problems.push_back(SectorLabel(image, read, head) + "：" + problem + "，已跳过");
            ++check.skipped;
        }
        read += length;
    }
    if (walked < declared) {
        check.skipped += declared - walked;
        check.problems.push_back("板块库只有" + std::to_string(walked) + "个板块，而文件头说有" +
                                 std::to_string(declared) + "个");
    }
    base::WriteU24(image.data(), static_cast<uint32_t>(check.loaded));
    check.bytes = write;
    return check;
}

std::vector<uint8_t> EncodeSectorLibrary(uint32_t date, SectorLibraryWeights weights,
                                         std::span<const SectorRecord> sectors) {
    std::vector<uint8_t> bytes(16, 0);
    base::WriteU24(bytes.data(), static_cast<uint32_t>(sectors.size()));
    bytes[9] = weights.share;
    bytes[10] = weights.count;
    bytes[11] = weights.move;
    base::WriteU32(bytes.data() + 12, date);
    for (const auto& sector : sectors) {
        const size_t nameLength = std::min<size_t>(sector.name.size(), 255);
        const size_t at = bytes.size();
        bytes.resize(at + 6 + nameLength + 3 * sector.members.size());
        uint8_t* p = bytes.data() + at;
        base::WriteU16(p, static_cast<uint32_t>(sector.members.size()));
        base::WriteU24(p + 2, MakeSectorNumber(sector.family, sector.serial));
        p[5] = static_cast<uint8_t>(nameLength);
        std::copy_n(sector.name.data(), nameLength, p + 6);
        p += 6 + nameLength;
        for (uint32_t code : sector.members) base::WriteU24(p, code), p += 3;
    }
    return bytes;
}

}  // namespace data
