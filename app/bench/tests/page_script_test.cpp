// The floor's pages must be the program's pages: a page recorded from the page
// drawing and replayed with plain GDI has to give the very picture that the
// page drawing gives on GDI itself, and the replay must leave the DC as found.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/bench/page_script.h"
#include "app/tests/sample_choices.h"
#include "eudc/app_state.h"
#include "fw/preview/tests/gdi_object_counter.h"
#include "print/gdi_surface.h"
#include "print/page_renderer.h"

namespace {

using floorbench::ObjectLifetime;
using kestra::appState;

constexpr int kWidth = 760; // A4 at the screen's 96 dots an inch
constexpr int kHeight = 1090;
const kestra::PageSize kA4{1990, 2870};
const kestra::PageTexts kTexts = {"AR PL UMing TW", "Standard", "Face %s   EUDC file %s", "Page %d",
                                  "Code"};

class PageScriptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gdi_counter::Install());
        programtest::chooseFace(kestra::kEudcCodeCount);
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        pixels_ = static_cast<const DWORD*>(bits);
        keptBitmap_ = SelectObject(dc_, bitmap_);
        SetMapMode(dc_, MM_LOMETRIC);
    }
    void TearDown() override {
        SelectObject(dc_, keptBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    kestra::PageLayout layout() const { return kestra::computePageLayout(kA4, appState); }
    floorbench::PageScript record(int32_t page) {
        floorbench::PageRecorder recorder(dc_);
        kestra::PageRenderer(recorder, layout(), kA4, kTexts).printPage(page);
        return recorder.take();
    }
    // The page as the program draws it.
    std::vector<DWORD> drawn(int32_t page) {
        clear();
        kestra::GdiSurface surface(dc_);
        kestra::PageRenderer(surface, layout(), kA4, kTexts).printPage(page);
        return picture();
    }
    void clear() {
        GdiFlush();
        std::fill_n(const_cast<DWORD*>(pixels_), kWidth * kHeight, 0xFFFFFF);
    }
    std::vector<DWORD> picture() {
        GdiFlush();
        return std::vector<DWORD>(pixels_, pixels_ + kWidth * kHeight);
    }
    static size_t inked(const std::vector<DWORD>& picture) {
        return static_cast<size_t>(std::count_if(picture.begin(), picture.end(),
                                                 [](DWORD p) { return (p & 0xFFFFFF) == 0; }));
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ keptBitmap_ = nullptr;
    const DWORD* pixels_ = nullptr;
};

TEST_F(PageScriptTest, ReplayedPagesLookAsTheProgramDrawsThem) {
    struct Case {
        const char* name;
        bool annotated;
        ObjectLifetime lifetime;
    };
    const Case cases[] = {
        {"plain, objects kept for the job", false, ObjectLifetime::Job},
        {"plain, objects made page by page", false, ObjectLifetime::Page},
        {"annotated, objects kept for the job", true, ObjectLifetime::Job},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.annotated)
            programtest::annotateWithPhoneticAndCangjie();
        floorbench::PageReplayer replayer(dc_, c.lifetime);
        // One replayer for several pages, as for a whole job.
        for (int32_t page : {1, 2, layout().pageCount}) {
            SCOPED_TRACE(page);
            const std::vector<DWORD> expected = drawn(page);
            const floorbench::PageScript script = record(page);
            clear();
            replayer.play(script);
            const std::vector<DWORD> replayed = picture();
            EXPECT_GT(inked(expected), 500u) << "the page drew next to nothing";
            EXPECT_TRUE(replayed == expected) << "the replay differs from the page drawing";
        }
    }
}

TEST_F(PageScriptTest, ReplayPutsBackTheDcsObjectsAndDeletesItsOwn) {
    const HGDIOBJ font = GetCurrentObject(dc_, OBJ_FONT);
    const HGDIOBJ pen = GetCurrentObject(dc_, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dc_, OBJ_BRUSH);
    const floorbench::PageScript first = record(1), second = record(2);
    const int before = gdi_counter::LiveObjects();
    struct Case {
        ObjectLifetime lifetime;
        int liveBetweenPages; // two fonts and the rule pen, or nothing
    };
    for (const Case& c : {Case{ObjectLifetime::Job, 3}, Case{ObjectLifetime::Page, 0}}) {
        {
            floorbench::PageReplayer replayer(dc_, c.lifetime);
            for (const floorbench::PageScript* page : {&first, &second, &first}) {
                replayer.play(*page);
                EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), font);
                EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pen);
                EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), brush);
                EXPECT_EQ(gdi_counter::LiveObjects() - before, c.liveBetweenPages);
            }
        }
        EXPECT_EQ(gdi_counter::LiveObjects(), before);
    }
}

} // namespace
