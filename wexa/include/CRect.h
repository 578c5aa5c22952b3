#pragma once

// CPoint, CSize and CRect: thin value classes over the Win32 POINT, SIZE and
// RECT structures. They add no data members, so a CRect can be handed to any
// API that takes a RECT* and a RECT array can be viewed as CRects.
//
// Everything is inline and depends on nothing but the platform headers, so the
// library and the program each compile their own copy.
//
// The rectangle set operations behave like the user32 functions of the same
// name: a rectangle is empty when its width or height is zero or negative;
// PtInRect includes the left and top edges and excludes the right and bottom.

#include <windows.h>

class CSize;
class CRect;

// ---------------------------------------------------------------------------
// CPoint
// ---------------------------------------------------------------------------
class CPoint : public POINT
{
public:
    CPoint() noexcept
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY) noexcept
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT pt) noexcept
    {
        x = pt.x;
        y = pt.y;
    }
    explicit CPoint(SIZE size) noexcept
    {
        x = size.cx;
        y = size.cy;
    }
    // Packed coordinates as in the LPARAM of mouse messages (signed 16-bit each).
    explicit CPoint(LPARAM packed) noexcept
    {
        x = static_cast<short>(LOWORD(packed));
        y = static_cast<short>(HIWORD(packed));
    }

    void SetPoint(int newX, int newY) noexcept
    {
        x = newX;
        y = newY;
    }
    void Offset(int dx, int dy) noexcept
    {
        x += dx;
        y += dy;
    }
    void Offset(POINT delta) noexcept
    {
        x += delta.x;
        y += delta.y;
    }
    void Offset(SIZE delta) noexcept
    {
        x += delta.cx;
        y += delta.cy;
    }

    bool operator==(POINT other) const noexcept { return x == other.x && y == other.y; }
    bool operator!=(POINT other) const noexcept { return !(*this == other); }

    CPoint& operator+=(SIZE delta) noexcept
    {
        Offset(delta);
        return *this;
    }
    CPoint& operator-=(SIZE delta) noexcept
    {
        x -= delta.cx;
        y -= delta.cy;
        return *this;
    }
    CPoint& operator+=(POINT delta) noexcept
    {
        Offset(delta);
        return *this;
    }
    CPoint& operator-=(POINT delta) noexcept
    {
        x -= delta.x;
        y -= delta.y;
        return *this;
    }

    CPoint operator+(SIZE delta) const noexcept { return CPoint(x + delta.cx, y + delta.cy); }
    CPoint operator-(SIZE delta) const noexcept { return CPoint(x - delta.cx, y - delta.cy); }
    CPoint operator+(POINT delta) const noexcept { return CPoint(x + delta.x, y + delta.y); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
    inline CSize operator-(POINT other) const noexcept;  // distance between points
    inline CRect operator+(const RECT* rect) const noexcept;
    inline CRect operator-(const RECT* rect) const noexcept;
};

// ---------------------------------------------------------------------------
// CSize
// ---------------------------------------------------------------------------
class CSize : public SIZE
{
public:
    CSize() noexcept
    {
        cx = 0;
        cy = 0;
    }
    CSize(int initCX, int initCY) noexcept
    {
        cx = initCX;
        cy = initCY;
    }
    CSize(SIZE size) noexcept
    {
        cx = size.cx;
        cy = size.cy;
    }
    explicit CSize(POINT pt) noexcept
    {
        cx = pt.x;
        cy = pt.y;
    }
    // Packed as width in the low word and height in the high word.
    explicit CSize(DWORD packed) noexcept
    {
        cx = static_cast<short>(LOWORD(packed));
        cy = static_cast<short>(HIWORD(packed));
    }

    void SetSize(int newCX, int newCY) noexcept
    {
        cx = newCX;
        cy = newCY;
    }

    bool operator==(SIZE other) const noexcept { return cx == other.cx && cy == other.cy; }
    bool operator!=(SIZE other) const noexcept { return !(*this == other); }

    CSize& operator+=(SIZE other) noexcept
    {
        cx += other.cx;
        cy += other.cy;
        return *this;
    }
    CSize& operator-=(SIZE other) noexcept
    {
        cx -= other.cx;
        cy -= other.cy;
        return *this;
    }

    CSize operator+(SIZE other) const noexcept { return CSize(cx + other.cx, cy + other.cy); }
    CSize operator-(SIZE other) const noexcept { return CSize(cx - other.cx, cy - other.cy); }
    CSize operator-() const noexcept { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const noexcept { return CPoint(cx + pt.x, cy + pt.y); }
    CPoint operator-(POINT pt) const noexcept { return CPoint(cx - pt.x, cy - pt.y); }
    inline CRect operator+(const RECT* rect) const noexcept;
    inline CRect operator-(const RECT* rect) const noexcept;
};

// ---------------------------------------------------------------------------
// CRect
// ---------------------------------------------------------------------------
class CRect : public RECT
{
public:
    CRect() noexcept
    {
        left = 0;
        top = 0;
        right = 0;
        bottom = 0;
    }
    CRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& rect) noexcept { CopyRect(&rect); }
    CRect(const RECT* rect) noexcept { CopyRect(rect); }
    CRect(POINT topLeft, SIZE size) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = topLeft.x + size.cx;
        bottom = topLeft.y + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = bottomRight.x;
        bottom = bottomRight.y;
    }

    CRect& operator=(const RECT& rect) noexcept
    {
        CopyRect(&rect);
        return *this;
    }

    // --- measures -------------------------------------------------------------
    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

    // References into the rectangle itself, so corners can be assigned.
    CPoint& TopLeft() noexcept { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() noexcept { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const noexcept { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const noexcept { return *reinterpret_cast<const CPoint*>(&right); }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    // --- tests ----------------------------------------------------------------
    bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT pt) const noexcept
    {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }
    bool EqualRect(const RECT* rect) const noexcept
    {
        return rect && left == rect->left && top == rect->top && right == rect->right &&
               bottom == rect->bottom;
    }

    // --- setting --------------------------------------------------------------
    void SetRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRect(POINT topLeft, POINT bottomRight) noexcept
    {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* rect) noexcept
    {
        if (rect)
            SetRect(rect->left, rect->top, rect->right, rect->bottom);
        else
            SetRectEmpty();
    }
    void SwapLeftRight() noexcept
    {
        LONG t = left;
        left = right;
        right = t;
    }
    void NormalizeRect() noexcept
    {
        if (left > right) {
            LONG t = left;
            left = right;
            right = t;
        }
        if (top > bottom) {
            LONG t = top;
            top = bottom;
            bottom = t;
        }
    }

    // --- growing and moving ------------------------------------------------------
    void InflateRect(int dx, int dy) noexcept
    {
        left -= dx;
        top -= dy;
        right += dx;
        bottom += dy;
    }
    void InflateRect(SIZE size) noexcept { InflateRect(size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b) noexcept
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void InflateRect(const RECT* margins) noexcept
    {
        if (margins) InflateRect(margins->left, margins->top, margins->right, margins->bottom);
    }
    void DeflateRect(int dx, int dy) noexcept { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE size) noexcept { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) noexcept { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(const RECT* margins) noexcept
    {
        if (margins) DeflateRect(margins->left, margins->top, margins->right, margins->bottom);
    }

    void OffsetRect(int dx, int dy) noexcept
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(POINT delta) noexcept { OffsetRect(delta.x, delta.y); }
    void OffsetRect(SIZE delta) noexcept { OffsetRect(delta.cx, delta.cy); }

    void MoveToX(int newX) noexcept
    {
        right += newX - left;
        left = newX;
    }
    void MoveToY(int newY) noexcept
    {
        bottom += newY - top;
        top = newY;
    }
    void MoveToXY(int newX, int newY) noexcept
    {
        MoveToX(newX);
        MoveToY(newY);
    }
    void MoveToXY(POINT pt) noexcept { MoveToXY(pt.x, pt.y); }

    // Scales every coordinate by multiplier / divisor, rounded.
    void MulDiv(int multiplier, int divisor) noexcept
    {
        left = ::MulDiv(left, multiplier, divisor);
        top = ::MulDiv(top, multiplier, divisor);
        right = ::MulDiv(right, multiplier, divisor);
        bottom = ::MulDiv(bottom, multiplier, divisor);
    }

    // --- set operations -----------------------------------------------------------
    // The overlap of a and b. Without an overlap (or when either is empty) the
    // result is (0, 0, 0, 0) and the return value false. a or b may be this.
    bool IntersectRect(const RECT* a, const RECT* b) noexcept
    {
        if (!a || !b || IsEmpty(*a) || IsEmpty(*b) || a->left >= b->right || b->left >= a->right ||
            a->top >= b->bottom || b->top >= a->bottom) {
            SetRectEmpty();
            return false;
        }
        SetRect(Max(a->left, b->left), Max(a->top, b->top), Min(a->right, b->right),
                Min(a->bottom, b->bottom));
        return true;
    }

    // The smallest rectangle holding a and b; an empty one does not count.
    // Both empty: (0, 0, 0, 0) and false. a or b may be this.
    bool UnionRect(const RECT* a, const RECT* b) noexcept
    {
        const bool aEmpty = !a || IsEmpty(*a);
        const bool bEmpty = !b || IsEmpty(*b);
        if (aEmpty && bEmpty) {
            SetRectEmpty();
            return false;
        }
        if (aEmpty)
            CopyRect(b);
        else if (bEmpty)
            CopyRect(a);
        else
            SetRect(Min(a->left, b->left), Min(a->top, b->top), Max(a->right, b->right),
                    Max(a->bottom, b->bottom));
        return true;
    }

    // a without b, when that is a rectangle: b must cover a completely along
    // one side. Otherwise the result is a unchanged. When b covers a
    // entirely (or a is empty) the result is (0, 0, 0, 0) and false.
    bool SubtractRect(const RECT* a, const RECT* b) noexcept
    {
        if (!a || IsEmpty(*a)) {
            SetRectEmpty();
            return false;
        }
        const RECT source = *a;
        CRect overlap;
        CopyRect(&source);
        if (!b || !overlap.IntersectRect(&source, b)) return true;
        if (overlap.EqualRect(&source)) {
            SetRectEmpty();
            return false;
        }
        if (overlap.top == source.top && overlap.bottom == source.bottom) {
            if (overlap.left == source.left)
                left = overlap.right;
            else if (overlap.right == source.right)
                right = overlap.left;
        } else if (overlap.left == source.left && overlap.right == source.right) {
            if (overlap.top == source.top)
                top = overlap.bottom;
            else if (overlap.bottom == source.bottom)
                bottom = overlap.top;
        }
        return true;
    }

    // --- operators ------------------------------------------------------------------
    bool operator==(const RECT& rect) const noexcept { return EqualRect(&rect); }
    bool operator!=(const RECT& rect) const noexcept { return !EqualRect(&rect); }

    CRect& operator+=(POINT delta) noexcept
    {
        OffsetRect(delta);
        return *this;
    }
    CRect& operator+=(SIZE delta) noexcept
    {
        OffsetRect(delta);
        return *this;
    }
    CRect& operator+=(const RECT* margins) noexcept
    {
        InflateRect(margins);
        return *this;
    }
    CRect& operator-=(POINT delta) noexcept
    {
        OffsetRect(-delta.x, -delta.y);
        return *this;
    }
    CRect& operator-=(SIZE delta) noexcept
    {
        OffsetRect(-delta.cx, -delta.cy);
        return *this;
    }
    CRect& operator-=(const RECT* margins) noexcept
    {
        DeflateRect(margins);
        return *this;
    }
    CRect& operator&=(const RECT& rect) noexcept
    {
        IntersectRect(this, &rect);
        return *this;
    }
    CRect& operator|=(const RECT& rect) noexcept
    {
        UnionRect(this, &rect);
        return *this;
    }

    CRect operator+(POINT delta) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(delta);
        return r;
    }
    CRect operator-(POINT delta) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(-delta.x, -delta.y);
        return r;
    }
    CRect operator+(SIZE delta) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(delta);
        return r;
    }
    CRect operator-(SIZE delta) const noexcept
    {
        CRect r(*this);
        r.OffsetRect(-delta.cx, -delta.cy);
        return r;
    }
    CRect operator+(const RECT* margins) const noexcept
    {
        CRect r(*this);
        r.InflateRect(margins);
        return r;
    }
    CRect operator-(const RECT* margins) const noexcept
    {
        CRect r(*this);
        r.DeflateRect(margins);
        return r;
    }
    CRect operator&(const RECT& rect) const noexcept
    {
        CRect r;
        r.IntersectRect(this, &rect);
        return r;
    }
    CRect operator|(const RECT& rect) const noexcept
    {
        CRect r;
        r.UnionRect(this, &rect);
        return r;
    }

private:
    static bool IsEmpty(const RECT& r) noexcept { return r.right <= r.left || r.bottom <= r.top; }
    static LONG Min(LONG a, LONG b) noexcept { return a < b ? a : b; }
    static LONG Max(LONG a, LONG b) noexcept { return a > b ? a : b; }
};

// --- definitions that need the later classes ------------------------------------
inline CSize CPoint::operator-(POINT other) const noexcept
{
    return CSize(x - other.x, y - other.y);
}
inline CRect CPoint::operator+(const RECT* rect) const noexcept
{
    CRect r(rect);
    r.OffsetRect(x, y);
    return r;
}
inline CRect CPoint::operator-(const RECT* rect) const noexcept
{
    CRect r(rect);
    r.OffsetRect(-x, -y);
    return r;
}
inline CRect CSize::operator+(const RECT* rect) const noexcept
{
    CRect r(rect);
    r.OffsetRect(cx, cy);
    return r;
}
inline CRect CSize::operator-(const RECT* rect) const noexcept
{
    CRect r(rect);
    r.OffsetRect(-cx, -cy);
    return r;
}
