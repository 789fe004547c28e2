// Packs pictures into the run-length code (see rle_pack.h).
#include "tools/assetgen/visual/rle_pack.h"

#include <algorithm>

namespace {

enum class Record : uint8_t { kLiteral, kZeros };

}  // namespace

std::vector<uint8_t> pack_rle(const std::vector<uint8_t>& bytes) {
    const size_t n = bytes.size();
    // cost[i]: fewest packed bytes for the first i bytes; the last record of
    // that best prefix starts at from[i] and is of kind kind[i].
    std::vector<size_t> cost(n + 1, SIZE_MAX), from(n + 1, 0);
    std::vector<Record> kind(n + 1, Record::kLiteral);
    cost[0] = 0;
    for (size_t i = 1; i <= n; ++i) {
        size_t lowest = i > size_t(kRleMaxRun) ? i - kRleMaxRun : 0;
        bool zeros = true;  // bytes j .. i-1 are all zero
        for (size_t j = i; j-- > lowest;) {
            zeros = zeros && bytes[j] == 0;
            if (zeros && cost[j] + 1 < cost[i]) {
                cost[i] = cost[j] + 1;
                from[i] = j;
                kind[i] = Record::kZeros;
            }
            size_t literal = cost[j] + 1 + (i - j);
            if (literal < cost[i]) {
                cost[i] = literal;
                from[i] = j;
                kind[i] = Record::kLiteral;
            }
        }
    }
    std::vector<size_t> cuts;
    for (size_t i = n; i > 0; i = from[i]) cuts.push_back(i);
    std::reverse(cuts.begin(), cuts.end());

    std::vector<uint8_t> out;
    out.reserve(cost[n]);
    for (size_t i : cuts) {
        size_t j = from[i];
        if (kind[i] == Record::kZeros) {
            out.push_back(uint8_t(128 + (i - j)));
        } else {
            out.push_back(uint8_t(i - j));
            out.insert(out.end(), bytes.begin() + j, bytes.begin() + i);
        }
    }
    return out;
}

bool pack_rle_to_length(const std::vector<uint8_t>& bytes, size_t length,
                        std::vector<uint8_t>& packed) {
    packed = pack_rle(bytes);
    if (packed.size() > length) return false;
    packed.resize(length, kRleNoOp);
    return true;
}

std::vector<uint8_t> with_length_prefix(const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> out(4 + stream.size());
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(stream.size() >> (8 * i));
    std::copy(stream.begin(), stream.end(), out.begin() + 4);
    return out;
}

PackedImage pack_with_decorations(const std::function<IndexImage(int)>& decorated, int most,
                                  size_t length) {
    int lo = 0, hi = most;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (pack_rle(decorated(mid).pixels).size() <= length)
            lo = mid;
        else
            hi = mid - 1;
    }
    PackedImage out;
    out.bare_bytes = pack_rle(decorated(0).pixels).size();
    out.image = decorated(lo);
    out.decorations = lo;
    out.fits = pack_rle_to_length(out.image.pixels, length, out.stream);
    size_t bare = pack_rle(out.image.pixels).size();
    out.no_ops = out.fits ? int(length - bare) : 0;
    return out;
}
