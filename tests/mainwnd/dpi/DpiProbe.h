#pragma once
// The probe process of the DPI tests: the start-up DPI rule run in a fresh
// process, whose result comes back as the exit code (see EncodeProbe).
#include <cstring>

const char kDpiProbeArgument[] = "--dpi-probe";

struct ProbeResult
{
    int width = 0, height = 0;  // the screen as the process saw it before the rule
    int scale = 0;              // the monitor scale the rule works with
    bool aware = false;         // the rule made the process DPI aware
};

// Runs the rule in this process; the exit code for the parent.
int RunDpiProbe();
int EncodeProbe(const ProbeResult& result);
ProbeResult DecodeProbe(int code);
