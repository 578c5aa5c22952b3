#include "DpiProbe.h"

#include <windows.h>

#include "services/AppEnvironment.h"

int EncodeProbe(const ProbeResult& r)
{
    // width / 8 and height / 8 in 10 bits each, scale in 9 bits, awareness in 1.
    return (r.aware ? 1 : 0) | ((r.scale & 0x1FF) << 1) | (((r.width / 8) & 0x3FF) << 10) |
           (((r.height / 8) & 0x3FF) << 20);
}

ProbeResult DecodeProbe(int code)
{
    ProbeResult r;
    r.aware = (code & 1) != 0;
    r.scale = (code >> 1) & 0x1FF;
    r.width = ((code >> 10) & 0x3FF) * 8;
    r.height = ((code >> 20) & 0x3FF) * 8;
    return r;
}

int RunDpiProbe()
{
    ProbeResult r;
    r.width = GetSystemMetrics(SM_CXSCREEN);
    r.height = GetSystemMetrics(SM_CYSCREEN);
    r.scale = GetMonitorScale();
    r.aware = ApplyDpiRule();
    // An aware answer must have made the process aware (Wine starts processes
    // aware already, so the other way round tells nothing).
    bool awareAfter = IsProcessDPIAware() != FALSE;
    if (r.aware && !awareAfter) return -1;
    return EncodeProbe(r);
}
