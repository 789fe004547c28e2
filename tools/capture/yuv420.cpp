#include "tools/capture/yuv420.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// BT.601 in studio range, in 15-bit fixed point (so that each coefficient
// fits a signed 16-bit lane): luma from 16 (black) to 235 (white), chroma
// from 16 to 240 around 128. Each chroma row sums to zero, so greys have
// no colour.
constexpr int32_t kFractionBits = 15;
constexpr int16_t kLumaRed = 8414, kLumaGreen = 16519, kLumaBlue = 3208;
constexpr int16_t kBlueDiffRed = -4857, kBlueDiffGreen = -9535, kBlueDiffBlue = 14392;
constexpr int16_t kRedDiffRed = 14392, kRedDiffGreen = -12052, kRedDiffBlue = -2340;
constexpr int32_t kLumaBlack = 16;
constexpr int32_t kChromaZero = 128;

constexpr int32_t kLumaBias = (kLumaBlack << kFractionBits) + (1 << (kFractionBits - 1));
// A chroma sample sums four pixels: two more bits to shift away.
constexpr int32_t kBlockShift = kFractionBits + 2;
constexpr int32_t kChromaBias = (kChromaZero << kBlockShift) + (1 << (kBlockShift - 1));

struct Planes {
    uint8_t* top_luma;
    uint8_t* bottom_luma;
    uint8_t* blue_diff;
    uint8_t* red_diff;
};

// The 2 x 2 block whose top left pixel is column x, the plain way.
void convert_block(const uint8_t* top, const uint8_t* bottom, int32_t x, const Planes& out) {
    const uint8_t* pixels[4] = {top + 3 * x, top + 3 * x + 3, bottom + 3 * x, bottom + 3 * x + 3};
    uint8_t* lumas[4] = {out.top_luma + x, out.top_luma + x + 1, out.bottom_luma + x,
                         out.bottom_luma + x + 1};
    int32_t red = 0, green = 0, blue = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t* p = pixels[i];
        *lumas[i] = uint8_t((kLumaRed * p[0] + kLumaGreen * p[1] + kLumaBlue * p[2] + kLumaBias) >>
                            kFractionBits);
        red += p[0];
        green += p[1];
        blue += p[2];
    }
    out.blue_diff[x / 2] = uint8_t(
        (kBlueDiffRed * red + kBlueDiffGreen * green + kBlueDiffBlue * blue + kChromaBias) >>
        kBlockShift);
    out.red_diff[x / 2] =
        uint8_t((kRedDiffRed * red + kRedDiffGreen * green + kRedDiffBlue * blue + kChromaBias) >>
                kBlockShift);
}

#if defined(__SSE2__)

// The last 16-byte load of four columns starts at their third pixel.
constexpr int32_t kBytesReadForFour = 6 + 16;

// Two pixels from three bytes each, widened to 16-bit lanes red, green,
// blue and the next pixel's red (which the coefficients below multiply by
// zero): one load of the 16 bytes at `p`, the second pixel shifted down.
__m128i load_two_pixels(const uint8_t* p) {
    const __m128i words = _mm_unpacklo_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                            _mm_setzero_si128());
    return _mm_unpacklo_epi64(words, _mm_srli_si128(words, 6));
}

// Dot products of lanes (r, g, b, -) with the coefficients, one 32-bit
// result a pixel, from two registers of two pixels each.
__m128i dot_four(__m128i first_two, __m128i last_two, __m128i coefficients) {
    const __m128 a = _mm_castsi128_ps(_mm_madd_epi16(first_two, coefficients));
    const __m128 b = _mm_castsi128_ps(_mm_madd_epi16(last_two, coefficients));
    // madd left (r*cr + g*cg, b*cb) pairs; add each pair.
    const __m128i even = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_add_epi32(even, odd);
}

// Four luma bytes from four 32-bit sums.
void store_luma(__m128i sums, uint8_t* out) {
    const __m128i shifted =
        _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(kLumaBias)), kFractionBits);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(shifted, shifted), shifted);
    const int32_t word = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &word, 4);
}

// One chroma sample of each of two blocks, in 32-bit lanes 0 and 1, from
// the blocks' colour sums in 16-bit lanes (r, g, b, -) twice.
__m128i chroma_of_blocks(__m128i blocks, int16_t from_red, int16_t from_green, int16_t from_blue) {
    const __m128i coefficients =
        _mm_setr_epi16(from_red, from_green, from_blue, 0, from_red, from_green, from_blue, 0);
    return _mm_srai_epi32(
        _mm_add_epi32(dot_four(blocks, blocks, coefficients), _mm_set1_epi32(kChromaBias)),
        kBlockShift);
}

// Columns x to x + 3 of both rows: four luma samples a row and two blocks
// of chroma. Reads the 22 bytes from pixel x on in each row.
void convert_four_columns(const uint8_t* top, const uint8_t* bottom, int32_t x, const Planes& out) {
    const __m128i luma =
        _mm_setr_epi16(kLumaRed, kLumaGreen, kLumaBlue, 0, kLumaRed, kLumaGreen, kLumaBlue, 0);
    const __m128i top_left = load_two_pixels(top + 3 * x);
    const __m128i top_right = load_two_pixels(top + 3 * x + 6);
    const __m128i bottom_left = load_two_pixels(bottom + 3 * x);
    const __m128i bottom_right = load_two_pixels(bottom + 3 * x + 6);
    store_luma(dot_four(top_left, top_right, luma), out.top_luma + x);
    store_luma(dot_four(bottom_left, bottom_right, luma), out.bottom_luma + x);

    // Each block's colour sums: both rows, then both pixels of the row.
    const __m128i left = _mm_add_epi16(top_left, bottom_left);
    const __m128i right = _mm_add_epi16(top_right, bottom_right);
    const __m128i blocks =
        _mm_add_epi16(_mm_unpacklo_epi64(left, right), _mm_unpackhi_epi64(left, right));
    const __m128i chroma_blue =
        chroma_of_blocks(blocks, kBlueDiffRed, kBlueDiffGreen, kBlueDiffBlue);
    const __m128i chroma_red = chroma_of_blocks(blocks, kRedDiffRed, kRedDiffGreen, kRedDiffBlue);
    out.blue_diff[x / 2] = uint8_t(_mm_cvtsi128_si32(chroma_blue));
    out.blue_diff[x / 2 + 1] = uint8_t(_mm_cvtsi128_si32(_mm_srli_si128(chroma_blue, 4)));
    out.red_diff[x / 2] = uint8_t(_mm_cvtsi128_si32(chroma_red));
    out.red_diff[x / 2 + 1] = uint8_t(_mm_cvtsi128_si32(_mm_srli_si128(chroma_red, 4)));
}

#endif

}  // namespace

size_t yuv420_bytes(int32_t width, int32_t height) {
    return size_t(width) * size_t(height) * 3 / 2;
}

void rgb_to_yuv420(const uint8_t* rgb, int32_t width, int32_t height, uint8_t* yuv) {
    const size_t row_bytes = size_t(width) * 3;
    uint8_t* luma = yuv;
    uint8_t* blue_diff = luma + size_t(width) * size_t(height);
    uint8_t* red_diff = blue_diff + size_t(width / 2) * size_t(height / 2);
    for (int32_t y = 0; y < height; y += 2) {
        const uint8_t* top = rgb + size_t(y) * row_bytes;
        const uint8_t* bottom = top + row_bytes;
        const Planes out = {luma + size_t(y) * size_t(width), luma + size_t(y + 1) * size_t(width),
                            blue_diff + size_t(y / 2) * size_t(width / 2),
                            red_diff + size_t(y / 2) * size_t(width / 2)};
        int32_t x = 0;
#if defined(__SSE2__)
        // Four columns at a time while the row holds the 22 bytes they read.
        for (; 3 * x + kBytesReadForFour <= 3 * width; x += 4) {
            convert_four_columns(top, bottom, x, out);
        }
#endif
        for (; x < width; x += 2) convert_block(top, bottom, x, out);
    }
}
