#include "icons/icon_data.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "platform/scoped_release.h"

namespace kelvorin {
namespace {

constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtGroupIcon = 14;
constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr int64_t kMaxSide = 1024;
// The Windows loader's own limit; it keeps the per-entry section scan short.
constexpr uint32_t kMaxSections = 96;

uint32_t Le(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

uint32_t Be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Reads a file in small ranges and keeps the last few blocks: the walk hops
// between directories, headers and images that mostly share blocks, and never
// needs the whole of a big file.
class Reader {
public:
    Reader(IFiles& files, KernelHandle file, uint64_t size)
        : files_(files), file_(file), size_(size) {}
    uint64_t Size() const { return size_; }

    // False when any of the bytes lies outside the file or cannot be read.
    bool Read(uint64_t offset, size_t count, uint8_t* out) {
        if (offset > size_ || count > size_ - offset) return false;
        while (count > 0) {
            const std::string& block = Block(offset / kBlockSize);
            size_t within = static_cast<size_t>(offset % kBlockSize);
            if (block.size() <= within) return false;
            size_t n = std::min(count, block.size() - within);
            std::memcpy(out, block.data() + within, n);
            out += n;
            offset += n;
            count -= n;
        }
        return true;
    }
    bool U16(uint64_t offset, uint32_t& value) { return Number(offset, 2, value); }
    bool U32(uint64_t offset, uint32_t& value) { return Number(offset, 4, value); }

private:
    static constexpr uint64_t kBlockSize = 4096;
    struct Cached {
        uint64_t index = ~uint64_t{0};
        std::string bytes;
    };

    bool Number(uint64_t offset, int bytes, uint32_t& value) {
        uint8_t raw[4];
        if (!Read(offset, size_t(bytes), raw)) return false;
        value = Le(raw, bytes);
        return true;
    }
    const std::string& Block(uint64_t index) {
        for (const Cached& cached : cache_)
            if (cached.index == index) return cached.bytes;
        Cached& slot = cache_[next_];
        next_ = (next_ + 1) % cache_.size();
        slot.index = index;
        slot.bytes = files_.ReadFileAt(file_, index * kBlockSize, kBlockSize);
        return slot.bytes;
    }

    IFiles& files_;
    KernelHandle file_;
    uint64_t size_;
    std::array<Cached, 16> cache_;
    size_t next_ = 0;
};

// One image of an icon, `size` bytes at `offset`: a PNG or a device-independent
// bitmap whose colours, XOR and AND data all lie inside it.
bool SoundImage(Reader& reader, uint64_t offset, uint64_t size) {
    uint8_t h[40];
    if (size < sizeof h || !reader.Read(offset, sizeof h, h)) return false;
    static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::memcmp(h, kPng, sizeof kPng) == 0) {
        uint32_t width = Be32(h + 16), height = Be32(h + 20);
        uint8_t depth = h[24], colour = h[25];
        return Be32(h + 8) == 13 && std::memcmp(h + 12, "IHDR", 4) == 0 && width >= 1 &&
               width <= kMaxSide && height >= 1 && height <= kMaxSide &&
               (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16) &&
               (colour == 0 || colour == 2 || colour == 3 || colour == 4 || colour == 6);
    }
    uint32_t headerSize = Le(h, 4), bits = Le(h + 14, 2), compression = Le(h + 16, 4);
    uint32_t used = Le(h + 32, 4);
    int64_t width = int32_t(Le(h + 4, 4)), height = int32_t(Le(h + 8, 4));
    // The height counts the XOR and the AND rows together.
    if (headerSize < 40 || width < 1 || width > kMaxSide || height < 1 || height > 2 * kMaxSide)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
    if (compression != kBiRgb && compression != kBiBitfields) return false;
    uint64_t colours = used != 0 ? std::min<uint64_t>(used, 256) : (bits <= 8 ? 1u << bits : 0);
    uint64_t header = std::max<uint64_t>(headerSize, compression == kBiBitfields ? 52 : 40);
    auto stride = [](uint64_t rowBits) { return (rowBits + 31) / 32 * 4; };
    uint64_t rows = (uint64_t(height) + 1) / 2;
    return header + 4 * colours +
               rows * (stride(uint64_t(width) * bits) + stride(uint64_t(width))) <=
           size;
}

bool SoundIco(Reader& reader) {
    uint32_t reserved = 0, type = 0, count = 0;
    if (!reader.U16(0, reserved) || !reader.U16(2, type) || !reader.U16(4, count)) return false;
    if (reserved != 0 || type != 1 || count == 0) return false;
    for (uint64_t entry = 6; entry < 6 + 16 * uint64_t(count); entry += 16) {
        uint32_t bytes = 0, offset = 0;
        if (!reader.U32(entry + 8, bytes) || !reader.U32(entry + 12, offset) ||
            uint64_t(offset) + bytes > reader.Size() || !SoundImage(reader, offset, bytes))
            return false;
    }
    return true;
}

struct Section {
    uint32_t address = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
};

struct Entry {
    uint32_t name = 0;
    uint32_t target = 0;
    bool byId = false;  // among the entries the system finds by number
};

// The resource directory of an executable: every directory and data entry
// must lie between the root and the end of the resource section's bytes.
class Resources {
public:
    Resources(Reader& reader, std::vector<Section> sections, uint64_t base, uint64_t limit)
        : reader_(reader), sections_(std::move(sections)), base_(base), limit_(limit) {}

    std::optional<std::vector<Entry>> Directory(uint32_t offset) {
        uint32_t named = 0, ids = 0;
        if (!Inside(offset, 16) || !reader_.U16(base_ + offset + 12, named) ||
            !reader_.U16(base_ + offset + 14, ids) || !Inside(offset + 16ull, 8ull * (named + ids)))
            return std::nullopt;
        std::vector<uint8_t> raw(8 * size_t(named + ids));
        if (!raw.empty() && !reader_.Read(base_ + offset + 16, raw.size(), raw.data()))
            return std::nullopt;
        std::vector<Entry> entries;
        for (size_t i = 0; i < raw.size(); i += 8)
            entries.push_back({Le(&raw[i], 4), Le(&raw[i + 4], 4), i / 8 >= named});
        return entries;
    }

    // A type's directory of names, each with its languages: at least one
    // language each (the system takes the first without counting), and each a
    // data entry whose bytes `visit` checks.
    bool Leaves(const Entry& type,
                const std::function<bool(const Entry&, uint64_t, uint64_t)>& visit) {
        auto names = Subdirectory(type);
        if (!names) return false;
        for (const Entry& name : *names) {
            auto languages = Subdirectory(name);
            if (!languages || languages->empty()) return false;
            for (const Entry& language : *languages) {
                uint64_t at = 0, size = 0;
                if ((language.target & kSubdirectory) || !Data(language.target, at, size) ||
                    !visit(name, at, size))
                    return false;
            }
        }
        return true;
    }

private:
    bool Inside(uint64_t offset, uint64_t count) const { return base_ + offset + count <= limit_; }

    std::optional<std::vector<Entry>> Subdirectory(const Entry& entry) {
        if (!(entry.target & kSubdirectory)) return std::nullopt;
        return Directory(entry.target & ~kSubdirectory);
    }

    // Where a data entry's bytes lie in the file. The system maps them through
    // whichever section holds them (the last one wins), so every such section
    // must put them inside the file, and there must be one.
    bool Data(uint32_t offset, uint64_t& at, uint64_t& size) {
        uint32_t address = 0, bytes = 0;
        if (!Inside(offset, 16) || !reader_.U32(base_ + offset, address) ||
            !reader_.U32(base_ + offset + 4, bytes))
            return false;
        bool mapped = false;
        for (const Section& s : sections_) {
            if (address < s.address || uint64_t(address) + bytes > uint64_t(s.address) + s.rawSize)
                continue;
            at = uint64_t(s.rawOffset) + (address - s.address);
            if (at + bytes > reader_.Size()) return false;
            mapped = true;
        }
        size = bytes;
        return mapped;
    }

    Reader& reader_;
    std::vector<Section> sections_;
    uint64_t base_;
    uint64_t limit_;
};

// A group's directory: its images, each naming an RT_ICON that exists.
bool SoundGroup(Reader& reader, uint64_t at, uint64_t size, const std::vector<bool>& icons) {
    uint32_t reserved = 0, type = 0, count = 0;
    if (!reader.U16(at, reserved) || !reader.U16(at + 2, type) || !reader.U16(at + 4, count) ||
        reserved != 0 || type != 1 || 6 + 14 * uint64_t(count) > size)
        return false;
    for (uint64_t entry = at + 6; entry < at + 6 + 14 * uint64_t(count); entry += 14) {
        uint32_t id = 0;
        if (!reader.U16(entry + 12, id) || !icons[id]) return false;
    }
    return true;
}

bool SoundPe(Reader& reader) {
    uint32_t pe = 0, signature = 0, sectionCount = 0, optionalSize = 0, magic = 0;
    if (!reader.U32(0x3C, pe) || !reader.U32(pe, signature) || signature != 0x4550) return false;
    const uint64_t fileHeader = uint64_t(pe) + 4;
    const uint64_t optional = fileHeader + 20;
    if (!reader.U16(fileHeader + 2, sectionCount) || !reader.U16(fileHeader + 16, optionalSize) ||
        !reader.U16(optional, magic))
        return false;
    // The data directories follow the optional header's fixed part, longer in PE32+.
    const uint64_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    uint32_t directoryCount = 0, root = 0;
    constexpr uint32_t kResourceDirectory = 2;
    if (directories == 0 || optionalSize < directories + 8 * (kResourceDirectory + 1) ||
        !reader.U32(optional + directories - 4, directoryCount) ||
        directoryCount <= kResourceDirectory ||
        !reader.U32(optional + directories + 8 * kResourceDirectory, root) || root == 0 ||
        sectionCount == 0 || sectionCount > kMaxSections)
        return false;

    std::vector<Section> sections(sectionCount);
    uint64_t base = 0, limit = 0;
    for (uint32_t i = 0; i < sectionCount; ++i) {
        uint64_t header = optional + optionalSize + 40ull * i;
        Section& s = sections[i];
        if (!reader.U32(header + 12, s.address) || !reader.U32(header + 16, s.rawSize) ||
            !reader.U32(header + 20, s.rawOffset))
            return false;
        if (limit == 0 && root >= s.address && root - s.address < s.rawSize) {
            base = uint64_t(s.rawOffset) + (root - s.address);
            limit = std::min<uint64_t>(uint64_t(s.rawOffset) + s.rawSize, reader.Size());
        }
    }
    if (base >= limit) return false;
    Resources resources(reader, std::move(sections), base, limit);
    auto types = resources.Directory(0);
    if (!types) return false;

    // The system finds a type, and an icon by its number, among the numbered
    // entries by a binary search: whichever it lands on must be sound.
    auto typed = [&](uint32_t type) {
        std::vector<Entry> found;
        for (const Entry& e : *types)
            if (e.byId && (e.name & 0xFFFF) == type) found.push_back(e);
        return found;
    };
    const std::vector<Entry> groups = typed(kRtGroupIcon);
    if (groups.empty()) return false;  // no icons at all
    std::vector<bool> icons(0x10000, false);
    for (const Entry& type : typed(kRtIcon)) {
        bool sound = resources.Leaves(type, [&](const Entry& name, uint64_t at, uint64_t size) {
            if (name.byId) icons[name.name & 0xFFFF] = true;
            return SoundImage(reader, at, size);
        });
        if (!sound) return false;
    }
    for (const Entry& type : groups) {
        bool sound = resources.Leaves(type, [&](const Entry&, uint64_t at, uint64_t size) {
            return SoundGroup(reader, at, size, icons);
        });
        if (!sound) return false;
    }
    return true;
}

}  // namespace

bool IconDataIsSound(IFiles& files, const std::string& path) {
    ScopedFile file(files, files.OpenFileForReading(path));
    if (!file) return false;
    auto size = files.GetFileSize(file.get());
    if (!size) return false;
    Reader reader(files, file.get(), *size);
    uint32_t magic = 0;
    constexpr uint32_t kMz = 0x5A4D;
    if (!reader.U16(0, magic)) return false;
    return magic == kMz ? SoundPe(reader) : SoundIco(reader);
}

}  // namespace kelvorin
