// Follows stb_truetype's reads for each character (its cmap choice and lookup, loca, hmtx, simple and
// composite outlines) with every read checked against the table it belongs to.
#include "platform/sdl/truetype_check.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tundrix {

namespace {

// Outlines nested deeper than this are refused (the rasteriser would follow a loop for ever).
constexpr int MAX_COMPOSITE_DEPTH = 8;
// Outline points read over all characters of one check: far more than any real font needs for a few
// hundred characters, and a bound on the time a hostile font can take.
constexpr size_t POINT_BUDGET = size_t{1} << 20;
// Glyph boxes larger than this many em are refused: a real glyph is at most a few em wide.
constexpr int64_t MAX_EMS = 4;
// A composite's parts may round one unit past its box.
constexpr double COMPOSITE_SLACK = 1.0;

struct Range {
    uint64_t begin = 0, end = 0;
    bool holds(uint64_t at, uint64_t bytes) const { return at >= begin && at + bytes <= end; }
};

struct Point {
    double x, y;
};

class Reader {
  public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint32_t u8(uint64_t at, const Range& in) { return ok(at, 1, in) ? bytes_[at] : 0; }
    uint32_t u16(uint64_t at, const Range& in) {
        return ok(at, 2, in) ? (uint32_t(bytes_[at]) << 8) | bytes_[at + 1] : 0;
    }
    int32_t s16(uint64_t at, const Range& in) { return static_cast<int16_t>(u16(at, in)); }
    int32_t s8(uint64_t at, const Range& in) { return static_cast<int8_t>(u8(at, in)); }
    uint32_t u32(uint64_t at, const Range& in) { return (u16(at, in) << 16) | u16(at + 2, in); }

    // The first table with this tag, as the rasteriser finds it; an empty range when there is none.
    Range table(const char* tag) {
        const Range file{0, bytes_.size()};
        const uint32_t count = u16(4, file);
        for (uint32_t i = 0; i < count && !failed(); ++i) {
            const uint64_t entry = 12 + uint64_t{16} * i;
            if (!file.holds(entry, 16)) fail("the table directory runs past the end");
            if (failed() || std::memcmp(bytes_.data() + entry, tag, 4) != 0) continue;
            const uint64_t offset = u32(entry + 8, file), length = u32(entry + 12, file);
            if (offset == 0) return {}; // the rasteriser takes offset 0 for a missing table
            if (!file.holds(offset, length)) fail(std::string("the ") + tag + " table runs past the end");
            return {offset, offset + length};
        }
        return {};
    }

    void fail(const std::string& why) {
        if (problem_.empty()) problem_ = why;
    }
    uint64_t size() const { return bytes_.size(); }
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }

  private:
    bool ok(uint64_t at, uint64_t bytes, const Range& in) {
        if (in.holds(at, bytes) && at + bytes <= bytes_.size()) return true;
        fail("a read outside its table at byte " + std::to_string(at));
        return false;
    }

    std::span<const uint8_t> bytes_;
    std::string problem_;
};

class FontWalk {
  public:
    explicit FontWalk(std::span<const uint8_t> bytes) : r_(bytes) {}

    bool open() {
        const Range file{0, r_.size()};
        const uint32_t version = r_.size() >= 12 ? r_.u32(0, file) : 0;
        if (version != 0x00010000u && version != 0x74727565u) {
            r_.fail("not a TrueType font");
            return false;
        }
        // The rasteriser walks the whole directory for a table that is not there.
        if (!file.holds(12, uint64_t{16} * r_.u16(4, file))) {
            r_.fail("the table directory runs past the end");
            return false;
        }
        cmap_ = r_.table("cmap");
        loca_ = r_.table("loca");
        head_ = r_.table("head");
        glyf_ = r_.table("glyf");
        hhea_ = r_.table("hhea");
        hmtx_ = r_.table("hmtx");
        const Range maxp = r_.table("maxp");
        for (const auto& [range, tag] :
             {std::pair{cmap_, "cmap"}, std::pair{loca_, "loca"}, std::pair{head_, "head"},
              std::pair{glyf_, "glyf"}, std::pair{hhea_, "hhea"}, std::pair{hmtx_, "hmtx"},
              std::pair{maxp, "maxp"}})
            if (!r_.failed() && range.end == 0) r_.fail(std::string("no ") + tag + " table");
        if (r_.failed()) return false;

        numGlyphs_ = r_.u16(maxp.begin + 4, maxp);
        indexToLocFormat_ = r_.u16(head_.begin + 50, head_);
        const int64_t unitsPerEm = r_.u16(head_.begin + 18, head_);
        const int64_t ascent = r_.s16(hhea_.begin + 4, hhea_), descent = r_.s16(hhea_.begin + 6, hhea_);
        longMetrics_ = r_.u16(hhea_.begin + 34, hhea_);
        if (r_.failed()) return false;
        if (unitsPerEm < 16 || unitsPerEm > 16384)
            r_.fail("an em of " + std::to_string(unitsPerEm) + " units");
        limit_ = std::min<int64_t>(INT16_MAX, MAX_EMS * unitsPerEm);
        // The rasteriser scales by the height from descent to ascent: it must be a sane, positive height.
        if (ascent - descent <= 0 || ascent - descent > limit_)
            r_.fail("no height between descent and ascent");
        if (indexToLocFormat_ > 1) r_.fail("an unknown glyph location format");
        if (longMetrics_ == 0) r_.fail("no horizontal metrics");
        if (numGlyphs_ == 0) r_.fail("no glyphs");
        return !r_.failed() && chooseCharacterMap();
    }

    // The glyph of a character, as the rasteriser looks it up; 0 when there is none.
    uint32_t glyphOf(uint32_t cp) {
        const uint64_t map = indexMap_;
        switch (format_) {
        case 0: {
            const int64_t bytes = r_.u16(map + 2, cmap_);
            return int64_t{cp} < bytes - 6 ? r_.u8(map + 6 + cp, cmap_) : 0;
        }
        case 6: {
            const uint32_t first = r_.u16(map + 6, cmap_), count = r_.u16(map + 8, cmap_);
            return cp >= first && cp < first + count ? r_.u16(map + 10 + uint64_t{cp - first} * 2, cmap_) : 0;
        }
        case 4:
            return format4Glyph(cp);
        default: // 12 or 13
            return groupGlyph(cp);
        }
    }

    // The advance and bearing the rasteriser reads for any glyph number, in range or not.
    void checkMetrics(uint32_t glyph) {
        if (glyph < longMetrics_) {
            r_.u16(hmtx_.begin + uint64_t{4} * glyph + 2, hmtx_);
            return;
        }
        r_.u16(hmtx_.begin + uint64_t{4} * (longMetrics_ - 1), hmtx_);
        r_.u16(hmtx_.begin + uint64_t{4} * longMetrics_ + uint64_t{2} * (glyph - longMetrics_), hmtx_);
    }

    // The glyph's outline points as the rasteriser will place them; false for a glyph without one.
    bool outline(uint32_t glyph, int depth, std::vector<Point>& points) {
        if (depth > MAX_COMPOSITE_DEPTH) {
            r_.fail("composite glyphs nested too deep");
            return false;
        }
        const Range g = glyphRange(glyph);
        if (r_.failed() || g.end == g.begin) return false;
        const uint64_t at = g.begin;
        const int32_t contours = r_.s16(at, g);
        const int32_t x0 = r_.s16(at + 2, g), y0 = r_.s16(at + 4, g), x1 = r_.s16(at + 6, g),
                      y1 = r_.s16(at + 8, g);
        if (r_.failed()) return false;
        if (x0 > x1 || y0 > y1 || std::max({-x0, -y0, x1, y1}) > limit_)
            r_.fail("glyph " + std::to_string(glyph) + " has an impossible box");
        if (contours > 0)
            simpleOutline(g, contours, points);
        else if (contours < 0)
            compositeOutline(g, depth, points);
        if (r_.failed()) return false;
        const double slack = contours < 0 ? COMPOSITE_SLACK : 0.0;
        for (const Point& p : points)
            if (p.x < x0 - slack || p.x > x1 + slack || p.y < y0 - slack || p.y > y1 + slack) {
                r_.fail("glyph " + std::to_string(glyph) + " has a point outside its box");
                return false;
            }
        return !points.empty();
    }

    Reader& reader() { return r_; }

  private:
    // The cmap subtable the rasteriser settles on: the last Unicode one of the list.
    bool chooseCharacterMap() {
        const uint32_t tables = r_.u16(cmap_.begin + 2, cmap_);
        for (uint32_t i = 0; i < tables && !r_.failed(); ++i) {
            const uint64_t record = cmap_.begin + 4 + uint64_t{8} * i;
            const uint32_t platform = r_.u16(record, cmap_), encoding = r_.u16(record + 2, cmap_);
            if ((platform == 3 && (encoding == 1 || encoding == 10)) || platform == 0)
                indexMap_ = cmap_.begin + r_.u32(record + 4, cmap_);
        }
        if (r_.failed()) return false;
        if (indexMap_ == 0) {
            r_.fail("no Unicode character map");
            return false;
        }
        format_ = r_.u16(indexMap_, cmap_);
        // Other formats stop the rasteriser on an assertion.
        if (!r_.failed() && format_ != 0 && format_ != 4 && format_ != 6 && format_ != 12 && format_ != 13)
            r_.fail("character map format " + std::to_string(format_));
        return !r_.failed();
    }

    // Format 4's binary search over segments, step by step with the rasteriser's own integer types.
    uint32_t format4Glyph(uint32_t cp) {
        const uint64_t map = indexMap_;
        const uint16_t segcount = static_cast<uint16_t>(r_.u16(map + 6, cmap_) >> 1);
        uint16_t searchRange = static_cast<uint16_t>(r_.u16(map + 8, cmap_) >> 1);
        uint16_t entrySelector = static_cast<uint16_t>(r_.u16(map + 10, cmap_));
        const uint16_t rangeShift = static_cast<uint16_t>(r_.u16(map + 12, cmap_) >> 1);
        const uint32_t endCount = static_cast<uint32_t>(map + 14);
        uint32_t search = endCount;
        if (cp > 0xFFFF) return 0;
        if (cp >= r_.u16(search + uint32_t{rangeShift} * 2, cmap_)) search += uint32_t{rangeShift} * 2;
        search -= 2;
        while (entrySelector && !r_.failed()) {
            searchRange >>= 1;
            const uint16_t end = static_cast<uint16_t>(r_.u16(search + uint32_t{searchRange} * 2, cmap_));
            if (cp > end) search += uint32_t{searchRange} * 2;
            --entrySelector;
        }
        search += 2;
        const uint16_t item = static_cast<uint16_t>((search - endCount) >> 1);
        const uint32_t start = r_.u16(map + 14 + uint64_t{segcount} * 2 + 2 + uint64_t{item} * 2, cmap_);
        const uint32_t last = r_.u16(endCount + uint64_t{item} * 2, cmap_);
        if (cp < start || cp > last) return 0;
        const uint64_t offsetAt = map + 14 + uint64_t{segcount} * 6 + 2 + uint64_t{item} * 2;
        const uint32_t offset = r_.u16(offsetAt, cmap_);
        if (offset == 0)
            return static_cast<uint16_t>(
                cp + r_.s16(map + 14 + uint64_t{segcount} * 4 + 2 + uint64_t{item} * 2, cmap_));
        return r_.u16(offset + uint64_t{cp - start} * 2 + offsetAt, cmap_);
    }

    // Formats 12 and 13: a binary search over groups of characters.
    uint32_t groupGlyph(uint32_t cp) {
        const uint64_t map = indexMap_;
        const uint32_t groups = r_.u32(map + 12, cmap_);
        int64_t low = 0, high = static_cast<int32_t>(groups);
        while (low < high && !r_.failed()) {
            const int64_t mid = low + ((high - low) >> 1);
            const uint64_t group = map + 16 + static_cast<uint64_t>(mid) * 12;
            const uint32_t first = r_.u32(group, cmap_), last = r_.u32(group + 4, cmap_);
            if (cp < first) {
                high = mid;
            } else if (cp > last) {
                low = mid + 1;
            } else {
                const uint32_t startGlyph = r_.u32(group + 8, cmap_);
                return format_ == 12 ? startGlyph + cp - first : startGlyph;
            }
        }
        return 0;
    }

    // Where the glyph's data lies in glyf; empty for a glyph without an outline.
    Range glyphRange(uint32_t glyph) {
        if (glyph >= numGlyphs_) return {}; // the rasteriser draws nothing for it
        uint64_t g1 = 0, g2 = 0;
        if (indexToLocFormat_ == 0) {
            g1 = uint64_t{r_.u16(loca_.begin + uint64_t{glyph} * 2, loca_)} * 2;
            g2 = uint64_t{r_.u16(loca_.begin + uint64_t{glyph} * 2 + 2, loca_)} * 2;
        } else {
            g1 = r_.u32(loca_.begin + uint64_t{glyph} * 4, loca_);
            g2 = r_.u32(loca_.begin + uint64_t{glyph} * 4 + 4, loca_);
        }
        if (r_.failed() || g1 == g2) return {};
        if (g1 > g2 || glyf_.begin + g2 > glyf_.end) {
            r_.fail("glyph " + std::to_string(glyph) + " lies outside the glyf table");
            return {};
        }
        return {glyf_.begin + g1, glyf_.begin + g2};
    }

    bool spend(size_t points) {
        if (points > budget_) {
            r_.fail("more outline points than any menu needs");
            return false;
        }
        budget_ -= points;
        return true;
    }

    void simpleOutline(const Range& g, int32_t contours, std::vector<Point>& points) {
        const uint64_t ends = g.begin + 10;
        uint32_t n = 0;
        std::vector<uint32_t> starts;
        for (int32_t c = 0; c < contours && !r_.failed(); ++c) {
            const uint32_t end = r_.u16(ends + uint64_t{2} * static_cast<uint32_t>(c), g);
            // Each contour ends after the one before it, or the rasteriser would run past its points.
            if (c > 0 && end < n) r_.fail("contours out of order");
            starts.push_back(n);
            n = end + 1;
        }
        if (r_.failed() || !spend(n)) return;
        const uint32_t instructions = r_.u16(ends + uint64_t{2} * static_cast<uint32_t>(contours), g);
        uint64_t at = ends + uint64_t{2} * static_cast<uint32_t>(contours) + 2 + instructions;
        std::vector<uint8_t> flags(n);
        for (uint32_t i = 0; i < n && !r_.failed();) {
            const uint8_t f = static_cast<uint8_t>(r_.u8(at++, g));
            uint32_t repeat = (f & 8) ? r_.u8(at++, g) : 0;
            flags[i++] = f;
            for (; repeat > 0 && i < n; --repeat)
                flags[i++] = f;
        }
        std::vector<int16_t> xs(n), ys(n);
        for (int pass = 0; pass < 2 && !r_.failed(); ++pass) {
            const uint8_t shortBit = pass == 0 ? 2 : 4, sameBit = pass == 0 ? 16 : 32;
            int32_t value = 0;
            for (uint32_t i = 0; i < n && !r_.failed(); ++i) {
                if (flags[i] & shortBit) {
                    const int32_t d = static_cast<int32_t>(r_.u8(at++, g));
                    value += (flags[i] & sameBit) ? d : -d;
                } else if (!(flags[i] & sameBit)) {
                    value += static_cast<int16_t>(r_.u16(at, g));
                    at += 2;
                }
                (pass == 0 ? xs : ys)[i] = static_cast<int16_t>(value);
            }
        }
        if (r_.failed()) return;
        // A contour that starts off the curve takes its second point as well.
        starts.push_back(n);
        for (size_t c = 0; c + 1 < starts.size(); ++c)
            if (!(flags[starts[c]] & 1) && starts[c + 1] - starts[c] < 2)
                r_.fail("a contour too short to draw");
        for (uint32_t i = 0; i < n; ++i)
            points.push_back({double(xs[i]), double(ys[i])});
    }

    void compositeOutline(const Range& g, int depth, std::vector<Point>& points) {
        uint64_t at = g.begin + 10;
        for (bool more = true; more && !r_.failed();) {
            const uint32_t flags = r_.u16(at, g), glyph = r_.u16(at + 2, g);
            at += 4;
            // Parts placed by matching points stop the rasteriser on an assertion.
            if (!(flags & 2)) {
                r_.fail("a composite part placed by matching points");
                return;
            }
            double e = 0, f = 0;
            if (flags & 1) {
                e = r_.s16(at, g);
                f = r_.s16(at + 2, g);
                at += 4;
            } else {
                e = r_.s8(at, g);
                f = r_.s8(at + 1, g);
                at += 2;
            }
            double a = 1, b = 0, c = 0, d = 1;
            const auto f2dot14 = [&](uint64_t where) { return r_.s16(where, g) / 16384.0; };
            if (flags & (1 << 3)) {
                a = d = f2dot14(at);
                at += 2;
            } else if (flags & (1 << 6)) {
                a = f2dot14(at);
                d = f2dot14(at + 2);
                at += 4;
            } else if (flags & (1 << 7)) {
                a = f2dot14(at);
                b = f2dot14(at + 2);
                c = f2dot14(at + 4);
                d = f2dot14(at + 6);
                at += 8;
            }
            more = (flags & (1 << 5)) != 0;
            if (r_.failed()) return;
            std::vector<Point> part;
            outline(glyph, depth + 1, part);
            if (r_.failed() || !spend(part.size())) return;
            // The rasteriser's own placement of a part, scale applied twice as it does.
            const double m = std::sqrt(a * a + b * b), n = std::sqrt(c * c + d * d);
            for (const Point& p : part)
                points.push_back({m * (a * p.x + c * p.y + e), n * (b * p.x + d * p.y + f)});
        }
    }

    Reader r_;
    Range cmap_, loca_, head_, glyf_, hhea_, hmtx_;
    uint32_t numGlyphs_ = 0, indexToLocFormat_ = 0, longMetrics_ = 0, format_ = 0;
    uint64_t indexMap_ = 0;
    int64_t limit_ = 0;
    size_t budget_ = POINT_BUDGET;
};

} // namespace

FontCheck checkFont(std::span<const uint8_t> font, std::span<const uint32_t> characters) {
    FontCheck result;
    FontWalk walk(font);
    if (walk.open()) {
        std::vector<Point> points;
        for (uint32_t cp : characters) {
            const uint32_t glyph = walk.glyphOf(cp);
            if (walk.reader().failed()) break;
            // The rasteriser takes glyph numbers as signed: a negative one would index before its tables.
            if (glyph > INT32_MAX) {
                walk.reader().fail("a glyph number out of range");
                break;
            }
            if (glyph == 0) {
                result.missing.push_back(cp);
                continue;
            }
            walk.checkMetrics(glyph);
            points.clear();
            if (!walk.outline(glyph, 0, points) && !walk.reader().failed()) result.blank.push_back(cp);
            if (walk.reader().failed()) break;
        }
    }
    result.drawable = !walk.reader().failed();
    result.problem = walk.reader().problem();
    if (!result.drawable) {
        result.missing.clear();
        result.blank.clear();
    }
    return result;
}

} // namespace tundrix
