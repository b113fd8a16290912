#pragma once
// Plain geometry records shared by the framework: points, sizes and rectangles whose right
// and bottom edges are exclusive.

namespace fw {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    TRect Inflate(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
    // The common part; an empty rectangle (all zero) when they do not overlap.
    TRect Intersect(const TRect& o) const;
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }

inline TRect TRect::Intersect(const TRect& o) const {
    TRect r{Left > o.Left ? Left : o.Left, Top > o.Top ? Top : o.Top,
            Right < o.Right ? Right : o.Right, Bottom < o.Bottom ? Bottom : o.Bottom};
    if (r.IsEmpty()) return {};
    return r;
}

}  // namespace fw
