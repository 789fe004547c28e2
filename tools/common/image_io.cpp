// PNG with stored (uncompressed) deflate blocks: larger files, no zlib.
#include "tools/common/image_io.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/virtual_display.h"

namespace {

uint32_t crc32_of(const uint8_t* data, size_t size, uint32_t crc = 0xffffffffu) {
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc;
}

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    put_be32(out, uint32_t(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    put_be32(out, crc32_of(typed.data(), typed.size()) ^ 0xffffffffu);
}

bool write_file(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool write_png_rgb(const std::string& path, int width, int height, const uint8_t* rgb) {
    std::vector<uint8_t> raw;  // each row: filter byte 0, then the pixels
    size_t row_bytes = size_t(width) * 3;
    raw.reserve((row_bytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * row_bytes, rgb + (y + 1) * row_bytes);
    }

    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put_be32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    put_be32(header, uint32_t(width));
    put_be32(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", z);
    put_chunk(png, "IEND", {});
    return write_file(path, png.data(), png.size());
}

bool write_wav_16(const std::string& path, int sample_rate, int channels, const int16_t* samples,
                  size_t frames) {
    uint32_t data_bytes = uint32_t(frames * channels * 2);
    std::vector<uint8_t> wav;
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) wav.push_back(uint8_t(v >> (8 * i)));
    };
    auto le16 = [&](uint32_t v) {
        wav.push_back(uint8_t(v));
        wav.push_back(uint8_t(v >> 8));
    };
    wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
    le32(36 + data_bytes);
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le32(16);
    le16(1);
    le16(uint32_t(channels));
    le32(uint32_t(sample_rate));
    le32(uint32_t(sample_rate * channels * 2));
    le16(uint32_t(channels * 2));
    le16(16);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    le32(data_bytes);
    for (size_t i = 0; i < frames * channels; ++i) le16(uint16_t(samples[i]));
    return write_file(path, wav.data(), wav.size());
}

uint64_t fnv1a64(const void* data, size_t size, uint64_t hash) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

namespace {
constexpr uint64_t kFnvPrime = 0x100000001b3ull;
}

void hash_words(WordHash* hash, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t i = 0;
    // Word by word up to the next lane 0, then four at a time.
    for (; i + 8 <= size && hash->words % 4 != 0; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        uint64_t& lane = hash->lanes[hash->words++ % 4];
        lane = (lane ^ word) * kFnvPrime;
    }
    uint64_t a = hash->lanes[0], b = hash->lanes[1], c = hash->lanes[2], d = hash->lanes[3];
    for (; i + 32 <= size; i += 32) {
        uint64_t w[4];
        std::memcpy(w, bytes + i, 32);
        a = (a ^ w[0]) * kFnvPrime;
        b = (b ^ w[1]) * kFnvPrime;
        c = (c ^ w[2]) * kFnvPrime;
        d = (d ^ w[3]) * kFnvPrime;
        hash->words += 4;
    }
    hash->lanes[0] = a, hash->lanes[1] = b, hash->lanes[2] = c, hash->lanes[3] = d;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        uint64_t& lane = hash->lanes[hash->words++ % 4];
        lane = (lane ^ word) * kFnvPrime;
    }
    for (; i < size; ++i) hash->lanes[0] = (hash->lanes[0] ^ bytes[i]) * kFnvPrime;
}

uint64_t word_hash_value(const WordHash& hash) {
    return fnv1a64(hash.lanes, sizeof hash.lanes);
}

std::string hex64(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Only the visible bytes count: the tail of a padded row is not the picture.
uint64_t hash_presented_frame(const PresentedFrame& frame) {
    uint64_t hash = 0xcbf29ce484222325ull;
    size_t row_bytes = size_t(frame.width) * (frame.bits_per_pixel / 8);
    for (int32_t y = 0; y < frame.height; ++y) {
        hash = fnv1a64(frame.pixels + size_t(y) * frame.pitch, row_bytes, hash);
    }
    if (frame.bits_per_pixel == 8) hash = fnv1a64(frame.palette, 768, hash);
    return hash;
}
