#include "platform/web/FontMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr char kWeightedLetters[] = "abcdefghijklmnopqrstuvwxyz ";
// Per mille of English text, as in platform/qt/Fonts.cpp.
constexpr std::array<int, 27> kPerMille = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                           56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
// Liberation Serif's weighted average advance, in its 2048 units per em.
constexpr int kFallbackAdvance = 822;

// Big-endian reads that give 0 past the end, so a damaged file cannot read out of bounds.
class TableReader {
public:
    explicit TableReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    uint16_t u16(size_t offset) const
    {
        if (offset > bytes_.size() || bytes_.size() - offset < 2)
            return 0;
        return static_cast<uint16_t>(bytes_[offset] << 8 | bytes_[offset + 1]);
    }
    int16_t s16(size_t offset) const { return static_cast<int16_t>(u16(offset)); }
    uint32_t u32(size_t offset) const { return uint32_t{u16(offset)} << 16 | u16(offset + 2); }

    // Where the table with this tag starts; 0 if the file has none.
    size_t table(const char* tag) const
    {
        for (size_t i = 0, count = u16(4); i < count; ++i) {
            const size_t entry = 12 + 16 * i;
            if (entry + 16 <= bytes_.size() && std::memcmp(&bytes_[entry], tag, 4) == 0)
                return u32(entry + 8);
        }
        return 0;
    }

    // The glyph of a character through a Unicode subtable of format 4; 0 if none.
    int glyphOf(size_t cmap, unsigned character) const
    {
        for (size_t i = 0, count = u16(cmap + 2); i < count; ++i) {
            const size_t record = cmap + 4 + 8 * i;
            const bool unicode = u16(record) == 0 || (u16(record) == 3 && u16(record + 2) == 1);
            const size_t subtable = cmap + u32(record + 4);
            if (unicode && u16(subtable) == 4)
                return glyphInFormat4(subtable, character);
        }
        return 0;
    }

private:
    int glyphInFormat4(size_t subtable, unsigned character) const
    {
        const size_t segments = u16(subtable + 6) / 2;
        const size_t ends = subtable + 14;
        const size_t starts = ends + 2 * segments + 2;
        const size_t deltas = starts + 2 * segments;
        const size_t rangeOffsets = deltas + 2 * segments;
        for (size_t s = 0; s < segments; ++s) {
            if (character > u16(ends + 2 * s))
                continue;
            const unsigned start = u16(starts + 2 * s);
            if (character < start)
                return 0;
            const unsigned delta = u16(deltas + 2 * s);
            const size_t rangeOffset = u16(rangeOffsets + 2 * s);
            if (rangeOffset == 0)
                return static_cast<int>((character + delta) & 0xffff);
            const unsigned glyph = u16(rangeOffsets + 2 * s + rangeOffset + 2 * (character - start));
            return glyph == 0 ? 0 : static_cast<int>((glyph + delta) & 0xffff);
        }
        return 0;
    }

    const std::vector<uint8_t>& bytes_;
};

} // namespace

FontMetrics::FontMetrics(const std::vector<uint8_t>& trueTypeFile)
{
    advances_.fill(kFallbackAdvance);
    const TableReader font(trueTypeFile);
    const size_t head = font.table("head");
    const size_t hhea = font.table("hhea");
    const size_t hmtx = font.table("hmtx");
    const size_t cmap = font.table("cmap");
    const int unitsPerEm = font.u16(head + 18);
    const int metricsCount = font.u16(hhea + 34);
    if (head == 0 || hhea == 0 || hmtx == 0 || cmap == 0 || unitsPerEm < 16 || metricsCount == 0)
        return;
    unitsPerEm_ = unitsPerEm;
    ascender_ = font.s16(hhea + 4);
    descender_ = -font.s16(hhea + 6);
    for (size_t i = 0; i < advances_.size(); ++i) {
        const int glyph = std::min(font.glyphOf(cmap, static_cast<unsigned char>(kWeightedLetters[i])),
                                   metricsCount - 1);
        advances_[i] = font.u16(hmtx + 4 * static_cast<size_t>(glyph));
    }
}

int FontMetrics::pixelSize(double points)
{
    if (!(points > 0))
        points = 12.0;
    // Qt keeps the pixel size to two decimals, then sets the face at the nearest whole pixel.
    const double pixels = std::floor(points * 4.0 / 3.0 * 100.0 + 0.5) / 100.0;
    return std::max(1, static_cast<int>(std::floor(pixels + 0.5)));
}

FontMetrics::Cell FontMetrics::cellAt(double points) const
{
    Cell cell;
    cell.pixelSize = pixelSize(points);
    // FreeType's scale in 16.16, then each font value in 26.6, rounded to a whole pixel.
    const int64_t scale = (int64_t{cell.pixelSize} * 64 * 65536 + unitsPerEm_ / 2) / unitsPerEm_;
    const auto wholePixels = [scale](int units) {
        const int64_t fixed26 = (int64_t{std::abs(units)} * scale + 0x8000) >> 16;
        return static_cast<int>((fixed26 + 32) >> 6);
    };
    cell.ascent = wholePixels(ascender_);
    cell.descent = wholePixels(descender_);
    int64_t weighted = 0;
    for (size_t i = 0; i < advances_.size(); ++i)
        weighted += int64_t{advances_[i]} * cell.pixelSize * 64 / unitsPerEm_ * kPerMille[i];
    cell.averageWidth = std::max(1, static_cast<int>(std::floor(weighted / 64.0 / 1000.0 + 0.5)));
    return cell;
}
