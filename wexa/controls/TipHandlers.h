#pragma once
// Handlers of a tip window that do nothing (the balloon's defaults: 0, and 1
// for OnNcActivate, OnWindowPosChanged and OnClose). Used inside namespace
// WEXA in the tip windows' sources.
#include "framework/WindowMessages.h"

#define WEXA_TIP_DEFINE_EMPTY(Class)           \
    WEXA_DEFINE_IDLE_INPUT_HANDLERS(Class)     \
    int Class::OnNcActivate(int)               \
    {                                          \
        return 1;                              \
    }                                          \
    int Class::OnWindowPosChanging(WINDOWPOS*) \
    {                                          \
        return 0;                              \
    }                                          \
    int Class::OnWindowPosChanged(WINDOWPOS*)  \
    {                                          \
        return 1;                              \
    }                                          \
    int Class::OnNcPaint()                     \
    {                                          \
        return 0;                              \
    }
