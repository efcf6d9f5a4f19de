#include "fw/preview/tests/gdi_object_counter.h"

#include <windows.h>

#include <cstring>
#include <set>

namespace gdi_counter {
namespace {

std::set<void*>& live() {
    static std::set<void*> handles;
    return handles;
}

template <typename T> T track(T handle) {
    if (handle)
        live().insert(reinterpret_cast<void*>(handle));
    return handle;
}

bool untrack(void* handle) {
    return live().erase(handle) > 0;
}

decltype(&CreateFontA) realCreateFontA;
decltype(&CreatePen) realCreatePen;
decltype(&CreateSolidBrush) realCreateSolidBrush;
decltype(&CreateCompatibleDC) realCreateCompatibleDC;
decltype(&CreateCompatibleBitmap) realCreateCompatibleBitmap;
decltype(&CreateDCA) realCreateDCA;
decltype(&CreateEnhMetaFileA) realCreateEnhMetaFileA;
decltype(&CloseEnhMetaFile) realCloseEnhMetaFile;
decltype(&DeleteEnhMetaFile) realDeleteEnhMetaFile;
decltype(&DeleteObject) realDeleteObject;
decltype(&DeleteDC) realDeleteDC;

HFONT WINAPI countCreateFontA(int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD s,
                              DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
    return track(realCreateFontA(h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face));
}
HPEN WINAPI countCreatePen(int style, int width, COLORREF color) {
    return track(realCreatePen(style, width, color));
}
HBRUSH WINAPI countCreateSolidBrush(COLORREF color) {
    return track(realCreateSolidBrush(color));
}
HDC WINAPI countCreateCompatibleDC(HDC dc) {
    return track(realCreateCompatibleDC(dc));
}
HBITMAP WINAPI countCreateCompatibleBitmap(HDC dc, int cx, int cy) {
    return track(realCreateCompatibleBitmap(dc, cx, cy));
}
HDC WINAPI countCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
    return track(realCreateDCA(driver, device, port, mode));
}
HDC WINAPI countCreateEnhMetaFileA(HDC ref, LPCSTR file, const RECT* frame, LPCSTR text) {
    return track(realCreateEnhMetaFileA(ref, file, frame, text));
}
HENHMETAFILE WINAPI countCloseEnhMetaFile(HDC dc) {
    untrack(dc);
    return track(realCloseEnhMetaFile(dc));
}
BOOL WINAPI countDeleteEnhMetaFile(HENHMETAFILE metafile) {
    untrack(metafile);
    return realDeleteEnhMetaFile(metafile);
}
BOOL WINAPI countDeleteObject(HGDIOBJ object) {
    const BOOL deleted = realDeleteObject(object);
    if (deleted)
        untrack(object);
    return deleted;
}
BOOL WINAPI countDeleteDC(HDC dc) {
    untrack(dc);
    return realDeleteDC(dc);
}

template <typename F> bool patch(const char* name, F replacement, F& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), "gdi32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            original = reinterpret_cast<F>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    // Not imported by this program: nothing of ours can leak through it.
    original = reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), name)));
    return original != nullptr;
}

} // namespace

bool Install() {
    static const bool installed =
        patch("CreateFontA", countCreateFontA, realCreateFontA) &&
        patch("CreatePen", countCreatePen, realCreatePen) &&
        patch("CreateSolidBrush", countCreateSolidBrush, realCreateSolidBrush) &&
        patch("CreateCompatibleDC", countCreateCompatibleDC, realCreateCompatibleDC) &&
        patch("CreateCompatibleBitmap", countCreateCompatibleBitmap, realCreateCompatibleBitmap) &&
        patch("CreateDCA", countCreateDCA, realCreateDCA) &&
        patch("CreateEnhMetaFileA", countCreateEnhMetaFileA, realCreateEnhMetaFileA) &&
        patch("CloseEnhMetaFile", countCloseEnhMetaFile, realCloseEnhMetaFile) &&
        patch("DeleteEnhMetaFile", countDeleteEnhMetaFile, realDeleteEnhMetaFile) &&
        patch("DeleteObject", countDeleteObject, realDeleteObject) &&
        patch("DeleteDC", countDeleteDC, realDeleteDC);
    return installed;
}

int LiveObjects() {
    return static_cast<int>(live().size());
}

} // namespace gdi_counter
