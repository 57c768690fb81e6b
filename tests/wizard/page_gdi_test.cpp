// The wizard pages under Wine: showing a page and repainting it many times
// makes no GDI object per paint and does not grow the process's count of
// GDI objects; the brush and font a page makes, and the pictures of its
// bitmap statics, go with the page object. Each page is shown in this
// process through its own DoModal; a thread timer, run by the page's modal
// loop, repaints the page and works its controls, then closes it with Cancel.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <ostream>
#include <string>

#include "constants.h"
#include "gdi_count.h"
#include "gdi_ledger.h"
#include "page1_licence.h"
#include "page2_components.h"
#include "page3_location.h"
#include "page4_finish.h"
#include "resource.h"
#include "wizard_app.h"

// The globals that the setup program defines in its entry file.
namespace tavrin {
const int ProductBits = 64;
Text InstallPathChoice = kDefaultInstallPath;
InstallContext theInstallContext;
}  // namespace tavrin

namespace {

using tavrin_test::Describe;
using tavrin_test::GdiLedger;
using tavrin_test::ProcessGdiObjectCount;

// What one showing of a page does from inside its modal loop, and what was
// measured around its counted rounds.
struct Visit {
    void (*exercise)(HWND page, int round) = nullptr;
    int captionId = 0;  // 0: the page has no version caption
    int warmUpRounds = 0;
    int rounds = 0;

    bool ran = false;
    INT_PTR modalResult = 0;  // what DoModal gave
    HWND page = nullptr;
    bool counting = false;
    int colourRequests = 0;   // WM_CTLCOLOR* to the page during the rounds
    int captionRequests = 0;  // of those, for the version caption
    long processBefore = 0;
    long processAfter = 0;
    long createdBefore = 0;
    long createdAfter = 0;
    std::map<void*, std::string> liveBefore;
    std::map<void*, std::string> liveAfter;
};

Visit* g_visit = nullptr;
int g_ticksWithoutPage = 0;
// About two seconds of 10 ms ticks for the page to show itself.
constexpr int kTicksToShow = 200;

void Notify(HWND page, int id, int code) {
    ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
}

// A click on a box or radio button: its new state, then the notification
// the page would get from the button.
void SetButton(HWND page, int id, bool checked) {
    ::CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
    Notify(page, id, BN_CLICKED);
}

// Page 1: three screens forward, three back; agree and disagree in turn.
void LeafAndChoose(HWND page, int round) {
    Notify(page, round % 6 < 3 ? IDC_NEXT_SCREEN : IDC_PREV_SCREEN, BN_CLICKED);
    const bool agree = round % 2 == 0;
    ::CheckDlgButton(page, IDC_AGREE, agree ? BST_CHECKED : BST_UNCHECKED);
    SetButton(page, IDC_DISAGREE, !agree);
}

// Page 2: the boxes of the two releases found, in turn.
void ToggleBoxes(HWND page, int round) {
    const int id = round % 2 == 0 ? IDC_ACAD2010 : IDC_ACAD2018;
    SetButton(page, id, ::IsDlgButtonChecked(page, id) != BST_CHECKED);
}

// Page 3: another folder text, and the bar moved.
void TypeAndStep(HWND page, int round) {
    ::SetDlgItemTextA(page, IDC_PATH_EDIT, round % 2 == 0 ? "D:\\软件\\Tavrin" : "C:\\Tavrin");
    ::SendDlgItemMessageA(page, IDC_PROGRESS, PBM_SETPOS, round % 51, 0);
}

// Page 4: its only button disabled and enabled again.
void ToggleOk(HWND page, int round) { ::EnableWindow(::GetDlgItem(page, IDOK), round % 2 == 0 ? FALSE : TRUE); }

void Round(const Visit& visit, HWND page, int round) {
    ::RedrawWindow(page, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    visit.exercise(page, round);
    ::UpdateWindow(page);
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND PageOfThisThread() {
    HWND page = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&page));
    return page;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    Visit& visit = *g_visit;
    HWND page = PageOfThisThread();
    if (page == nullptr) return;
    if (!::IsWindowVisible(page) && ++g_ticksWithoutPage < kTicksToShow) return;
    ::KillTimer(nullptr, timer);
    if (::IsWindowVisible(page)) {
        visit.page = page;
        for (int round = 0; round < visit.warmUpRounds; ++round) Round(visit, page, round);
        visit.processBefore = ProcessGdiObjectCount();
        visit.createdBefore = GdiLedger::Created();
        visit.liveBefore = GdiLedger::Live();
        visit.counting = true;
        for (int round = 0; round < visit.rounds; ++round) Round(visit, page, round);
        visit.counting = false;
        visit.processAfter = ProcessGdiObjectCount();
        visit.createdAfter = GdiLedger::Created();
        visit.liveAfter = GdiLedger::Live();
        visit.ran = true;
    }
    Notify(page, IDCANCEL, BN_CLICKED);
}

LRESULT CALLBACK WatchColourRequests(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_visit != nullptr && g_visit->counting && message->hwnd == g_visit->page &&
        message->message >= WM_CTLCOLORMSGBOX && message->message <= WM_CTLCOLORSTATIC) {
        ++g_visit->colourRequests;
        const HWND control = reinterpret_cast<HWND>(message->lParam);
        if (g_visit->captionId != 0 && ::GetDlgCtrlID(control) == g_visit->captionId) ++g_visit->captionRequests;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shows one page object through its DoModal, with `visit` run from inside
// its modal loop; the page object is gone when this returns.
template <class Page>
void ShowPage(Visit& visit) {
    g_visit = &visit;
    g_ticksWithoutPage = 0;
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &WatchColourRequests, nullptr, ::GetCurrentThreadId());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnTick);
    {
        Page page(nullptr);
        visit.modalResult = page.DoModal();
    }
    ::KillTimer(nullptr, timer);
    if (hook != nullptr) ::UnhookWindowsHookEx(hook);
    g_visit = nullptr;
}

struct PageCase {
    const char* name;
    void (*show)(Visit&);
    void (*exercise)(HWND page, int round);
    int captionId;
};

// Test names and failure messages name the page.
void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

const PageCase kPages[] = {
    {"licence", &ShowPage<tavrin::Dlg_Page1>, &LeafAndChoose, IDC_CAPTION},
    {"components", &ShowPage<tavrin::Dlg_Page2>, &ToggleBoxes, IDC_CAPTION},
    {"location", &ShowPage<tavrin::Dlg_Page3>, &TypeAndStep, IDC_CAPTION_PAGE3},
    {"finish", &ShowPage<tavrin::Dlg_Page4>, &ToggleOk, 0},
};

// Many paints of every control; a per-paint object shows as hundreds.
constexpr int kRepaintRounds = 300;
// Rounds before counting, so that the system's own caches (fonts, device
// contexts, the icon) are filled when the count starts.
constexpr int kWarmUpRounds = 10;
// Showings of a page after a first one that fills those caches.
constexpr int kShowings = 6;

// Fonts made by the program's code so far, by any of the font calls.
long FontsMade() {
    return GdiLedger::CreatedBy("CreateFontA") + GdiLedger::CreatedBy("CreateFontW") +
           GdiLedger::CreatedBy("CreateFontIndirectA") + GdiLedger::CreatedBy("CreateFontIndirectW");
}

class PageGdiTest : public ::testing::TestWithParam<PageCase> {
protected:
    static void SetUpTestSuite() {
        // Two releases found, so that the component page has boxes to click.
        tavrin::theInstallContext.ReleaseFolders[2] = {"C:\\Program Files\\AutoCAD 2010\\"};
        tavrin::theInstallContext.ReleaseFolders[10] = {"C:\\Program Files\\Autodesk\\AutoCAD 2018\\"};
        tavrin::LicenceChoice = 1;
    }

    void SetUp() override {
        ASSERT_TRUE(GdiLedger::Install()) << "the test program imports no CreateSolidBrush or DeleteObject";
        ASSERT_GE(ProcessGdiObjectCount(), 0) << "the system reports no count of GDI objects";
    }

    Visit NewVisit(int rounds) const {
        Visit visit;
        visit.exercise = GetParam().exercise;
        visit.captionId = GetParam().captionId;
        visit.warmUpRounds = kWarmUpRounds;
        visit.rounds = rounds;
        return visit;
    }
};

TEST_P(PageGdiTest, RepaintingMakesNoObjectAndGrowsNoCount) {
    Visit visit = NewVisit(kRepaintRounds);
    GetParam().show(visit);
    ASSERT_TRUE(visit.ran) << "the page did not show itself; DoModal gave " << visit.modalResult;

    // The rounds did repaint: every one asks the page for colours, the
    // caption's included.
    EXPECT_GE(visit.colourRequests, kRepaintRounds);
    if (visit.captionId != 0) {
        EXPECT_GE(visit.captionRequests, kRepaintRounds);
    }

    const std::map<void*, std::string> held = tavrin_test::Added(visit.liveBefore, visit.liveAfter);
    EXPECT_EQ(visit.createdAfter - visit.createdBefore, 0)
        << "objects made by the page's code while repainting; still held: " << Describe(held);
    EXPECT_TRUE(held.empty()) << "held after the repaints: " << Describe(held);
    EXPECT_EQ(visit.processAfter, visit.processBefore)
        << "the process's GDI objects grew over " << kRepaintRounds << " repaints";
}

TEST_P(PageGdiTest, EveryObjectGoesWithThePage) {
    // The first showing fills the system's caches.
    Visit first = NewVisit(kWarmUpRounds);
    GetParam().show(first);
    ASSERT_TRUE(first.ran) << "the page did not show itself; DoModal gave " << first.modalResult;
    const long processAfterFirst = ProcessGdiObjectCount();

    for (int showing = 0; showing < kShowings; ++showing) {
        const std::map<void*, std::string> liveBefore = GdiLedger::Live();
        const long brushesBefore = GdiLedger::CreatedBy("CreateSolidBrush");
        const long fontsBefore = FontsMade();
        Visit visit = NewVisit(kWarmUpRounds);
        GetParam().show(visit);
        ASSERT_TRUE(visit.ran) << "the page did not show itself; DoModal gave " << visit.modalResult;
        // One background brush per showing, and one caption font where
        // the page has a caption.
        EXPECT_EQ(GdiLedger::CreatedBy("CreateSolidBrush") - brushesBefore, 1) << "brushes made in showing " << showing;
        EXPECT_EQ(FontsMade() - fontsBefore, GetParam().captionId != 0 ? 1 : 0) << "fonts made in showing " << showing;
        const std::map<void*, std::string> left = tavrin_test::Added(liveBefore, GdiLedger::Live());
        EXPECT_TRUE(left.empty()) << "showing " << showing << " left behind: " << Describe(left);
    }
    EXPECT_EQ(ProcessGdiObjectCount(), processAfterFirst)
        << "the process's GDI objects grew over " << kShowings << " showings of the page";
}

INSTANTIATE_TEST_SUITE_P(Pages, PageGdiTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

}  // namespace
