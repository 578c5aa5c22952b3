#include "GdiplusObjects.h"

#include <windows.h>
// (after windows.h)
#include <psapi.h>

#include <cstring>
#include <mutex>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "WexaGdiplus.h"

namespace bench {

namespace {

using namespace Gdiplus::DllExports;
using Gdiplus::GpStatus;

std::mutex g_lock;
std::unordered_set<void*> g_live[kGdipKinds];
long g_made = 0;

void Track(int kind, void* object)
{
    if (!object) return;
    std::lock_guard<std::mutex> hold(g_lock);
    g_live[kind].insert(object);
    ++g_made;
}

void Untrack(int kind, void* object)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_live[kind].erase(object);
}

// One patched import: the function's name, the kind it makes or deletes, the
// real function and the counting one in its place.
struct Hook
{
    const char* name;
    void* real;
    void* counting;
};

const int kMaxHooks = 80;
void* g_real[kMaxHooks];

// The counting wrapper of a function that makes an object: the real one, then
// the object its out argument (argument Out) points to is counted.
template <int Slot, int Kind, int Out, typename... A>
GpStatus WINGDIPAPI Creating(A... args)
{
    auto real = reinterpret_cast<GpStatus(WINGDIPAPI*)(A...)>(g_real[Slot]);
    const GpStatus status = real(args...);
    if (status == Gdiplus::Ok) {
        auto out = std::get<Out>(std::make_tuple(args...));
        if (out) Track(Kind, *reinterpret_cast<void**>(out));
    }
    return status;
}

// The counting wrapper of a function that deletes its first argument.
template <int Slot, int Kind, typename First, typename... A>
GpStatus WINGDIPAPI Deleting(First object, A... args)
{
    Untrack(Kind, reinterpret_cast<void*>(object));
    auto real = reinterpret_cast<GpStatus(WINGDIPAPI*)(First, A...)>(g_real[Slot]);
    return real(object, args...);
}

template <int Slot, int Kind, int Out, typename... A>
Hook Make(const char* name, GpStatus(WINGDIPAPI*)(A...))
{
    static_assert(Slot < kMaxHooks, "more hooks than slots");
    return {name, &g_real[Slot], reinterpret_cast<void*>(&Creating<Slot, Kind, Out, A...>)};
}

template <int Slot, int Kind, typename... A>
Hook MakeDelete(const char* name, GpStatus(WINGDIPAPI*)(A...))
{
    static_assert(Slot < kMaxHooks, "more hooks than slots");
    return {name, &g_real[Slot], reinterpret_cast<void*>(&Deleting<Slot, Kind, A...>)};
}

enum { kFirstSlot = __COUNTER__ + 1 };
// A function whose last argument receives the new object, one with it elsewhere,
// and one that deletes.
#define MAKES(fn, kind) \
    Make<__COUNTER__ - kFirstSlot, kind, std::tuple_size<decltype(Args(&fn))>::value - 1>(#fn, &fn)
#define MAKES_AT(fn, kind, out) Make<__COUNTER__ - kFirstSlot, kind, out>(#fn, &fn)
#define DELETES(fn, kind)       MakeDelete<__COUNTER__ - kFirstSlot, kind>(#fn, &fn)

template <typename... A>
std::tuple<A...> Args(GpStatus(WINGDIPAPI*)(A...));

std::vector<Hook> Hooks()
{
    return {
        MAKES(GdipCreateBitmapFromStream, kGdipImage),
        MAKES(GdipCreateBitmapFromFile, kGdipImage),
        MAKES(GdipCreateBitmapFromStreamICM, kGdipImage),
        MAKES(GdipCreateBitmapFromFileICM, kGdipImage),
        MAKES(GdipCreateBitmapFromScan0, kGdipImage),
        MAKES(GdipCreateBitmapFromGraphics, kGdipImage),
        MAKES(GdipCreateBitmapFromGdiDib, kGdipImage),
        MAKES(GdipCreateBitmapFromHBITMAP, kGdipImage),
        MAKES(GdipCreateBitmapFromHICON, kGdipImage),
        MAKES(GdipCreateBitmapFromResource, kGdipImage),
        MAKES(GdipCloneBitmapArea, kGdipImage),
        MAKES(GdipCloneBitmapAreaI, kGdipImage),
        MAKES(GdipLoadImageFromStream, kGdipImage),
        MAKES(GdipLoadImageFromFile, kGdipImage),
        MAKES(GdipLoadImageFromStreamICM, kGdipImage),
        MAKES(GdipLoadImageFromFileICM, kGdipImage),
        MAKES(GdipCloneImage, kGdipImage),
        MAKES_AT(GdipGetImageThumbnail, kGdipImage, 3),
        DELETES(GdipDisposeImage, kGdipImage),
        MAKES(GdipCreateFromHDC, kGdipGraphics),
        MAKES(GdipCreateFromHDC2, kGdipGraphics),
        MAKES(GdipCreateFromHWND, kGdipGraphics),
        MAKES(GdipCreateFromHWNDICM, kGdipGraphics),
        MAKES(GdipGetImageGraphicsContext, kGdipGraphics),
        DELETES(GdipDeleteGraphics, kGdipGraphics),
        MAKES(GdipCreateSolidFill, kGdipBrush),
        MAKES(GdipCreateHatchBrush, kGdipBrush),
        MAKES(GdipCreateLineBrush, kGdipBrush),
        MAKES(GdipCreateLineBrushI, kGdipBrush),
        MAKES(GdipCreateLineBrushFromRect, kGdipBrush),
        MAKES(GdipCreateLineBrushFromRectI, kGdipBrush),
        MAKES(GdipCreateLineBrushFromRectWithAngle, kGdipBrush),
        MAKES(GdipCreateLineBrushFromRectWithAngleI, kGdipBrush),
        MAKES(GdipCreatePathGradient, kGdipBrush),
        MAKES(GdipCreatePathGradientI, kGdipBrush),
        MAKES(GdipCreatePathGradientFromPath, kGdipBrush),
        MAKES(GdipCreateTexture, kGdipBrush),
        MAKES(GdipCreateTexture2, kGdipBrush),
        MAKES(GdipCreateTexture2I, kGdipBrush),
        MAKES(GdipCreateTextureIA, kGdipBrush),
        MAKES(GdipCreateTextureIAI, kGdipBrush),
        MAKES(GdipCloneBrush, kGdipBrush),
        DELETES(GdipDeleteBrush, kGdipBrush),
        MAKES(GdipCreatePen1, kGdipPen),
        MAKES(GdipCreatePen2, kGdipPen),
        MAKES(GdipClonePen, kGdipPen),
        DELETES(GdipDeletePen, kGdipPen),
        MAKES(GdipCreateFont, kGdipFont),
        MAKES(GdipCreateFontFromDC, kGdipFont),
        MAKES(GdipCreateFontFromLogfontA, kGdipFont),
        MAKES(GdipCreateFontFromLogfontW, kGdipFont),
        MAKES(GdipCloneFont, kGdipFont),
        DELETES(GdipDeleteFont, kGdipFont),
        MAKES(GdipCreateFontFamilyFromName, kGdipFontFamily),
        MAKES(GdipCloneFontFamily, kGdipFontFamily),
        DELETES(GdipDeleteFontFamily, kGdipFontFamily),
        MAKES(GdipCreatePath, kGdipPath),
        MAKES(GdipCreatePath2, kGdipPath),
        MAKES(GdipCreatePath2I, kGdipPath),
        MAKES(GdipClonePath, kGdipPath),
        DELETES(GdipDeletePath, kGdipPath),
        MAKES(GdipCreateRegion, kGdipRegion),
        MAKES(GdipCreateRegionRect, kGdipRegion),
        MAKES(GdipCreateRegionRectI, kGdipRegion),
        MAKES(GdipCreateRegionPath, kGdipRegion),
        MAKES(GdipCreateRegionRgnData, kGdipRegion),
        MAKES(GdipCreateRegionHrgn, kGdipRegion),
        MAKES(GdipCloneRegion, kGdipRegion),
        DELETES(GdipDeleteRegion, kGdipRegion),
        MAKES(GdipCreateStringFormat, kGdipStringFormat),
        MAKES(GdipCloneStringFormat, kGdipStringFormat),
        DELETES(GdipDeleteStringFormat, kGdipStringFormat),
    };
}

// Puts the counting functions in the module's import table of gdiplus.dll.
// Returns the number of entries patched, -1 when a patch failed.
int PatchModule(HMODULE module, HMODULE gdiplus, const std::vector<Hook>& hooks)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return 0;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return 0;
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        if (_stricmp(reinterpret_cast<const char*>(base + imp->Name), "gdiplus.dll") != 0) continue;
        if (!imp->OriginalFirstThunk) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            for (const Hook& hook : hooks) {
                if (std::strcmp(hook.name, name) != 0) continue;
                void** real = static_cast<void**>(hook.real);
                if (!*real) *real = reinterpret_cast<void*>(GetProcAddress(gdiplus, name));
                DWORD old = 0;
                if (!VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old))
                    return -1;
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook.counting);
                VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

}  // namespace

long GdiplusCounts::Total() const
{
    long total = 0;
    for (long n : live) total += n;
    return total;
}

bool CountGdiplusObjects()
{
    HMODULE gdiplus = LoadLibraryW(L"gdiplus.dll");
    if (!gdiplus) return false;
    const std::vector<Hook> hooks = Hooks();
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &bytes)) return false;
    int patched = 0;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        if (modules[i] == gdiplus) continue;
        const int n = PatchModule(modules[i], gdiplus, hooks);
        if (n < 0) return false;
        patched += n;
    }
    return patched > 0;
}

GdiplusCounts LiveGdiplusObjects()
{
    GdiplusCounts counts;
    std::lock_guard<std::mutex> hold(g_lock);
    for (int k = 0; k < kGdipKinds; ++k) counts.live[k] = long(g_live[k].size());
    counts.made = g_made;
    return counts;
}

const char* GdiplusKindName(int kind)
{
    static const char* const names[kGdipKinds] = {"images", "graphics", "brushes",
                                                  "pens",   "fonts",    "families",
                                                  "paths",  "regions",  "formats"};
    return kind >= 0 && kind < kGdipKinds ? names[kind] : "?";
}

}  // namespace bench
