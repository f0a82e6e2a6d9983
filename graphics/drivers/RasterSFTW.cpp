#include "graphics/drivers/RasterSFTW.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "app/CPUInfo.h"

namespace Engine::Graphics {

namespace {

constexpr int32_t kOne = 65536;
constexpr int32_t kHalf = 32768;

// S(i) = min(i, 255) and P(x, y) = (x * (y + 1)) >> 8.
uint8_t g_saturate[512];
uint8_t g_product[256][256];
std::optional<ERasterPath> g_forcedPath;

inline uint32_t Byte(uint32_t value, int k) { return (value >> (8 * k)) & 0xFF; }

// Table arithmetic, one pixel.
inline uint32_t ModulateTable(uint32_t texel, uint32_t color) {
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) out |= uint32_t(g_product[Byte(texel, k)][Byte(color, k)]) << (8 * k);
    return out;
}

template <int Mode>
inline uint32_t BlendTable(uint32_t d, uint32_t s) {
    const uint32_t sa = s >> 24;
    uint32_t out = 0;
    if constexpr (Mode == RASTER_ALPHA) {
        for (int k = 0; k < 3; ++k)
            out |= uint32_t(g_product[Byte(s, k)][sa] + g_product[Byte(d, k)][255 - sa]) << (8 * k);
        return out | (sa << 24);
    } else {
        for (int k = 0; k < 4; ++k) {
            const uint32_t dk = Byte(d, k), sk = Byte(s, k);
            uint32_t r;
            if constexpr (Mode == RASTER_ADD)
                r = g_saturate[dk + sk];
            else if constexpr (Mode == RASTER_PREMULTIPLIED)
                r = g_saturate[g_product[dk][255 - sa] + sk];
            else
                r = g_saturate[dk + g_product[sk][sa]];
            out |= r << (8 * k);
        }
        return out;
    }
}

// Vector arithmetic on two pixels widened to eight 16-bit words. The factors
// are F1 = 2 (a + 1) and F2 = 512 - 2 a of the source alpha a; multiplying
// by 128 first keeps the products' high words exact.
template <int Mode>
inline __m128i BlendWords(__m128i d, __m128i s) {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    if constexpr (Mode == RASTER_PREMULTIPLIED) {
        const __m128i f2 = _mm_sub_epi16(_mm_set1_epi16(512), _mm_slli_epi16(alpha, 1));
        return _mm_add_epi16(_mm_mulhi_epu16(_mm_slli_epi16(d, 7), f2), s);
    } else {
        const __m128i f1 = _mm_slli_epi16(_mm_add_epi16(alpha, _mm_set1_epi16(1)), 1);
        if constexpr (Mode == RASTER_ALPHA)
            return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(s, d), 7), f1));
        else
            return _mm_add_epi16(d, _mm_mulhi_epu16(_mm_slli_epi16(s, 7), f1));
    }
}

// Up to four pixels in one register.
template <int Mode, bool Modulate>
inline __m128i BlendVector(__m128i d, __m128i s, __m128i colorPlusOne) {
    const __m128i zero = _mm_setzero_si128();
    __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
    if constexpr (Modulate) {
        sLo = _mm_srli_epi16(_mm_mullo_epi16(sLo, colorPlusOne), 8);
        sHi = _mm_srli_epi16(_mm_mullo_epi16(sHi, colorPlusOne), 8);
    }
    if constexpr (Mode == RASTER_REPLACE) return _mm_packus_epi16(sLo, sHi);
    if constexpr (Mode == RASTER_ADD) return _mm_adds_epu8(d, _mm_packus_epi16(sLo, sHi));
    const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    return _mm_packus_epi16(BlendWords<Mode>(dLo, sLo), BlendWords<Mode>(dHi, sHi));
}

// Sources of a span: each hands out its texels left to right.
struct CSolidSource {
    uint32_t color;
    uint32_t Next() { return color; }
    __m128i Next4() { return _mm_set1_epi32(int(color)); }
};

struct CRunSource {
    const uint32_t* texel;
    uint32_t Next() { return *texel++; }
    __m128i Next4() {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texel));
        texel += 4;
        return four;
    }
};

struct CSteppedSource {
    const uint32_t* row;
    int64_t u, du;
    uint32_t Next() {
        const uint32_t t = row[u >> 16];
        u += du;
        return t;
    }
    __m128i Next4() {
        const uint32_t a = Next(), b = Next(), c = Next(), d = Next();
        return _mm_setr_epi32(int(a), int(b), int(c), int(d));
    }
};

struct CAffineSource {
    const uint32_t* texels;
    int32_t width;
    int64_t u, v, du, dv;
    uint32_t Next() {
        const uint32_t t = texels[size_t(v >> 16) * size_t(width) + size_t(u >> 16)];
        u += du;
        v += dv;
        return t;
    }
    __m128i Next4() {
        const uint32_t a = Next(), b = Next(), c = Next(), d = Next();
        return _mm_setr_epi32(int(a), int(b), int(c), int(d));
    }
};

template <class Source>
using SpanFunction = void (*)(uint32_t* out, int32_t n, Source& source, uint32_t color);

template <class Source, bool Vector, bool Modulate, int Mode>
void DrawSpan(uint32_t* out, int32_t n, Source& source, uint32_t color) {
    if constexpr (Mode == RASTER_REPLACE && !Modulate) {
        // A plain 32-bit fill or copy.
        if constexpr (std::is_same_v<Source, CSolidSource>) {
            std::fill_n(out, n, source.color);
        } else if constexpr (std::is_same_v<Source, CRunSource>) {
            std::memcpy(out, source.texel, size_t(n) * 4);
            source.texel += n;
        } else {
            for (int32_t i = 0; i < n; ++i) out[i] = source.Next();
        }
    } else if constexpr (Vector) {
        const __m128i colorPlusOne =
            _mm_add_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(int(color)), _mm_setzero_si128()), _mm_set1_epi16(1));
        int32_t i = 0;
        for (; i + 4 <= n; i += 4) {
            __m128i* at = reinterpret_cast<__m128i*>(out + i);
            _mm_storeu_si128(at, BlendVector<Mode, Modulate>(_mm_loadu_si128(at), source.Next4(), colorPlusOne));
        }
        for (; i < n; ++i) {
            const __m128i d = _mm_cvtsi32_si128(int(out[i]));
            const __m128i s = _mm_cvtsi32_si128(int(source.Next()));
            out[i] = uint32_t(_mm_cvtsi128_si32(BlendVector<Mode, Modulate>(d, s, colorPlusOne)));
        }
    } else {
        for (int32_t i = 0; i < n; ++i) {
            uint32_t s = source.Next();
            if constexpr (Modulate) s = ModulateTable(s, color);
            if constexpr (Mode == RASTER_REPLACE)
                out[i] = s;
            else
                out[i] = BlendTable<Mode>(out[i], s);
        }
    }
}

template <class Source, bool Vector, bool Modulate>
SpanFunction<Source> SpanForMode(int32_t mode) {
    switch (mode) {
    case RASTER_REPLACE: return &DrawSpan<Source, Vector, Modulate, RASTER_REPLACE>;
    case RASTER_ADD: return &DrawSpan<Source, Vector, Modulate, RASTER_ADD>;
    case RASTER_PREMULTIPLIED: return &DrawSpan<Source, Vector, Modulate, RASTER_PREMULTIPLIED>;
    case RASTER_ALPHA: return &DrawSpan<Source, Vector, Modulate, RASTER_ALPHA>;
    case RASTER_ADD_ALPHA: return &DrawSpan<Source, Vector, Modulate, RASTER_ADD_ALPHA>;
    default: return nullptr;
    }
}

// The inner loop for the processor's path, the mode and whether the colour
// modulates; null for a mode that draws nothing.
template <class Source>
SpanFunction<Source> SelectSpan(int32_t mode, bool modulate) {
    if (GetRasterPath() == ERasterPath::Vector)
        return modulate ? SpanForMode<Source, true, true>(mode) : SpanForMode<Source, true, false>(mode);
    return modulate ? SpanForMode<Source, false, true>(mode) : SpanForMode<Source, false, false>(mode);
}

inline uint32_t* RowOf(const CRasterTarget& target, int32_t y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(target.pixels) + int64_t(y) * target.pitch);
}

inline bool Outside(int64_t coordinate, int32_t limit) {
    const int64_t texel = coordinate >> 16;
    return texel < 0 || texel >= limit;
}

// Drops pixels from both ends of a run whose texel (start + i * step) >> 16
// lies outside 0..limit-1; returns how many went from the start.
int32_t TrimToTexture(int64_t& start, int64_t step, int32_t& n, int32_t limit) {
    int32_t skipped = 0;
    while (n > 0 && Outside(start, limit)) {
        start += step;
        --n;
        ++skipped;
    }
    while (n > 0 && Outside(start + int64_t(n - 1) * step, limit)) --n;
    return skipped;
}

// One axis of a textured rectangle after clipping: the first pixel, the
// pixel count and the texel coordinate under the first pixel's centre.
struct CAxisSpan {
    int32_t first = 0;
    int32_t count = 0;
    int64_t texel = 0;
};

// Clips one axis of a rectangle from p0 to p1 (16.16) with texels t0..t1
// against the target's extent. texelAt gives the texel under a pixel
// centre from its distance to p0.
template <class TexelAt>
CAxisSpan ClipAxis(int64_t p0, int64_t p1, int32_t extent, int64_t t0, int64_t t1, TexelAt texelAt) {
    CAxisSpan span;
    const int64_t i0 = p0 >> 16;
    int64_t i1 = p1 >> 16;
    int64_t c = std::max<int64_t>(i0, 0);
    if (i1 >= extent) {
        i1 = extent - 1;
        p1 = int64_t(extent) * kOne;
    }
    int64_t first = texelAt(c * kOne - p0 + kHalf);
    while (first < t0 && c <= i1) first = texelAt(++c * kOne - p0 + kHalf);
    // A pixel stays while its left edge lies before p1.
    int64_t n = i1 - i0 + 1;
    const int64_t before = p1 - c * kOne;
    n = std::min<int64_t>(n, before <= 0 ? 0 : (before + kOne - 1) / kOne);
    n = std::max<int64_t>(n, 0);
    // ...and its centre maps before t1 (and not before the first texel).
    int64_t last = texelAt((c + n) * kOne - p0 - kHalf);
    while (n > 0 && !(last < t1 && last >= first)) last = texelAt((c + --n) * kOne - p0 - kHalf);
    span.first = int32_t(c);
    span.count = int32_t(n);
    span.texel = first;
    return span;
}

// Cuts a clipped axis to the texture; step is the texel step per pixel.
void CutToTexture(CAxisSpan& span, int64_t step, int32_t limit) {
    span.first += TrimToTexture(span.texel, step, span.count, limit);
}

template <class Source>
void DrawRows(const CRasterTarget& target, const CAxisSpan& columns, const CAxisSpan& rows, SpanFunction<Source> draw,
              uint32_t color, int64_t rowStep, const auto& makeSource) {
    int64_t v = rows.texel;
    for (int32_t r = 0; r < rows.count; ++r, v += rowStep) {
        Source source = makeSource(int32_t(v >> 16));
        draw(RowOf(target, rows.first + r) + columns.first, columns.count, source, color);
    }
}

} // namespace

void BuildRasterTables() {
    for (int i = 0; i < 512; ++i) g_saturate[i] = uint8_t(std::min(i, 255));
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y) g_product[x][y] = uint8_t((x * (y + 1)) >> 8);
}

ERasterPath GetRasterPath() {
    if (g_forcedPath) return *g_forcedPath;
    return (GetCPUInfo().dwFeatures & CPU_FEATURE_MMX) ? ERasterPath::Vector : ERasterPath::Table;
}

void ForceRasterPath(std::optional<ERasterPath> path) { g_forcedPath = path; }

void RasterFillRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t color,
                    int32_t mode) {
    if (x0 >= x1 || y0 >= y1 || x1 < 1 || y1 < 1 || x0 >= target.width || y0 >= target.height) return;
    const SpanFunction<CSolidSource> draw = SelectSpan<CSolidSource>(mode, false);
    if (!draw) return;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, target.width);
    y1 = std::min(y1, target.height);
    CSolidSource source{color};
    for (int32_t y = y0; y < y1; ++y) draw(RowOf(target, y) + x0, x1 - x0, source, color);
}

void RasterCopyRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    const CRasterTexture& texture, int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t mode,
                    uint32_t color) {
    if (x0 >= x1 || y0 >= y1) return;
    if ((x1 >> 16) < 0 || (y1 >> 16) < 0 || (x0 >> 16) >= target.width || (y0 >> 16) >= target.height) return;
    const SpanFunction<CRunSource> draw = SelectSpan<CRunSource>(mode, color != RASTER_WHITE);
    if (!draw || !texture.texels) return;
    CAxisSpan columns = ClipAxis(x0, x1, target.width, ua, ub, [ua](int64_t offset) { return offset + ua; });
    CAxisSpan rows = ClipAxis(y0, y1, target.height, va, vb, [va](int64_t offset) { return offset + va; });
    CutToTexture(columns, kOne, texture.width);
    CutToTexture(rows, kOne, texture.height);
    if (columns.count <= 0 || rows.count <= 0) return;
    const uint32_t* first = texture.texels + (columns.texel >> 16);
    DrawRows<CRunSource>(target, columns, rows, draw, color, kOne, [&](int32_t row) {
        return CRunSource{first + size_t(row) * size_t(texture.width)};
    });
}

void RasterStretchRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const CRasterTexture& texture, int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t mode,
                       uint32_t color) {
    if (!(x0 < x1 && y0 < y1 && x1 >= kOne && y1 >= kOne && (x0 >> 16) < target.width &&
          (y0 >> 16) < target.height))
        return;
    const SpanFunction<CSteppedSource> draw = SelectSpan<CSteppedSource>(mode, color != RASTER_WHITE);
    if (!draw || !texture.texels) return;
    const double ru = double(int64_t(ub) - ua) / double(int64_t(x1) - x0);
    const double rv = double(int64_t(vb) - va) / double(int64_t(y1) - y0);
    const int64_t du = int64_t(ru * kOne), dv = int64_t(rv * kOne);
    CAxisSpan columns = ClipAxis(x0, x1, target.width, ua, ub,
                                 [ru, ua](int64_t offset) { return int64_t(double(offset) * ru + ua); });
    CAxisSpan rows = ClipAxis(y0, y1, target.height, va, vb,
                              [rv, va](int64_t offset) { return int64_t(double(offset) * rv + va); });
    CutToTexture(columns, du, texture.width);
    CutToTexture(rows, dv, texture.height);
    if (columns.count <= 0 || rows.count <= 0) return;
    DrawRows<CSteppedSource>(target, columns, rows, draw, color, dv, [&](int32_t row) {
        return CSteppedSource{texture.texels + size_t(row) * size_t(texture.width), columns.texel, du};
    });
}

void RasterTriangle(const CRasterTarget& target, const CRasterVertex vertices[3], const CRasterTexture& texture,
                    uint32_t color, int32_t mode) {
    CRasterVertex top = vertices[0], middle = vertices[1], bottom = vertices[2];
    if (middle.y < top.y) std::swap(top, middle);
    if (bottom.y < top.y) std::swap(top, bottom);
    if (bottom.y < middle.y) std::swap(middle, bottom);
    if (bottom.y < 0 || top.y >= target.height || top.y == bottom.y) return;
    const SpanFunction<CAffineSource> draw = SelectSpan<CAffineSource>(mode, color != RASTER_WHITE);
    if (!draw || !texture.texels || texture.width <= 0 || texture.height <= 0) return;

    // Per-row increments of x, u and v along an edge, truncated towards zero.
    struct CEdge {
        int64_t x, u, v;
        int64_t dx = 0, du = 0, dv = 0;
        int32_t y;
        CEdge(const CRasterVertex& from, const CRasterVertex& to)
            : x(from.x), u(from.u), v(from.v), y(from.y) {
            if (to.y == from.y) return;
            dx = (int64_t(to.x) - from.x) / (to.y - from.y);
            du = (int64_t(to.u) - from.u) / (to.y - from.y);
            dv = (int64_t(to.v) - from.v) / (to.y - from.y);
        }
        void At(int32_t row, int64_t& ox, int64_t& ou, int64_t& ov) const {
            const int64_t steps = int64_t(row) - y;
            ox = x + steps * dx;
            ou = u + steps * du;
            ov = v + steps * dv;
        }
    };
    const CEdge longEdge(top, bottom), upperEdge(top, middle), lowerEdge(middle, bottom);

    const int32_t end = std::min(bottom.y, target.height);
    for (int32_t y = std::max(top.y, 0); y < end; ++y) {
        int64_t ax, au, av, bx, bu, bv;
        longEdge.At(y, ax, au, av);
        (y < middle.y ? upperEdge : lowerEdge).At(y, bx, bu, bv);
        int64_t left = ax >> 16, right = bx >> 16, u = au, v = av, ur = bu, vr = bv;
        if (left > right) {
            std::swap(left, right);
            u = bu, v = bv, ur = au, vr = av;
        }
        if (right < 0 || left >= target.width || right == left) continue;
        const int64_t du = (ur - u) / (right - left), dv = (vr - v) / (right - left);
        if (left < 0) {
            u += du * -left;
            v += dv * -left;
            left = 0;
        }
        int32_t n = int32_t(std::min<int64_t>(right, target.width) - left);
        // Texels outside the texture are never read: the span's ends are cut.
        const int32_t skippedU = TrimToTexture(u, du, n, texture.width);
        v += dv * skippedU;
        const int32_t skippedV = TrimToTexture(v, dv, n, texture.height);
        u += du * skippedV;
        left += skippedU + skippedV;
        if (n <= 0) continue;
        CAffineSource source{texture.texels, texture.width, u, v, du, dv};
        draw(RowOf(target, y) + left, n, source, color);
    }
}

} // namespace Engine::Graphics
