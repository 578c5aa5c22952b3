#pragma once
// Handlers of a tip window that do nothing (the balloon's defaults: 0, and 1
// for OnNcActivate, OnWindowPosChanged and OnClose). Used inside namespace
// WEXA in the tip windows' sources.
#define WEXA_TIP_DEFINE_EMPTY(Class)                 \
    int Class::OnMouseMove(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseLeave(UINT_PTR, LONG_PTR)      \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseHover(UINT_PTR, LONG_PTR)      \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnMouseWheel(UINT, short, CPoint)     \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonDown(UINT, CPoint)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonUp(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnLButtonDblClk(UINT, CPoint)         \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonDown(UINT, CPoint)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonUp(UINT, CPoint)             \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnRButtonDblClk(UINT, CPoint)         \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnKeyDown(UINT, UINT, UINT)           \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnNcHitTest(CPoint)                   \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnGetMinMaxInfo(MINMAXINFO*)          \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnNcCalcSize(int, NCCALCSIZE_PARAMS*) \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnNcActivate(int)                     \
    {                                                \
        return 1;                                    \
    }                                                \
    int Class::OnWindowPosChanging(WINDOWPOS*)       \
    {                                                \
        return 0;                                    \
    }                                                \
    int Class::OnWindowPosChanged(WINDOWPOS*)        \
    {                                                \
        return 1;                                    \
    }                                                \
    int Class::OnNcPaint()                           \
    {                                                \
        return 0;                                    \
    }
