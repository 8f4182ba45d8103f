// The colour port over the system's colour dialog, answered from a thread timer that runs inside
// the dialog's own message loop.
#include "platform/win32/Win32ColourDialog.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Handles.h"

namespace tg {
namespace {

struct Answer {
    WPARAM button = IDOK;
    HWND owner = nullptr;  // the dialog's owner, as seen while it was up
    bool seen = false;
    int ticks = 0;
};
Answer* g_answer = nullptr;

BOOL CALLBACK AnswerIfColourDialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
    g_answer->seen = true;
    g_answer->owner = GetWindow(window, GW_OWNER);
    PostMessageW(window, WM_COMMAND, g_answer->button, 0);
    return FALSE;
}

void CALLBACK Press(HWND, UINT, UINT_PTR, DWORD) {
    if (++g_answer->ticks > 100) EndDialog(GetActiveWindow(), IDCANCEL);  // rather a failure than a hang
    if (!g_answer->seen) EnumThreadWindows(GetCurrentThreadId(), AnswerIfColourDialog, 0);
}

bool ChooseAnswering(ColourRequest& request, Answer& answer) {
    g_answer = &answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Press);
    const bool chosen = Win32ColourDialog().Choose(request);
    KillTimer(nullptr, timer);
    return chosen;
}

TEST(Win32ColourDialogTest, OpensOverItsOwnerAtTheGivenColourAndAnswersTheButton) {
    const WindowHandle owner(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
    ColourRequest request;
    request.owner = reinterpret_cast<std::uintptr_t>(owner.get());
    request.rgbResult = 0x00336699;
    request.flags = ColourDialog::kRgbInit;
    Answer ok;
    EXPECT_TRUE(ChooseAnswering(request, ok));
    EXPECT_TRUE(ok.seen);
    EXPECT_EQ(ok.owner, owner.get());
    EXPECT_EQ(request.rgbResult, 0x00336699) << "OK at once keeps the colour it opened at";

    Answer cancel;
    cancel.button = IDCANCEL;
    request.rgbResult = 0x00112233;
    EXPECT_FALSE(ChooseAnswering(request, cancel));
    EXPECT_TRUE(cancel.seen);
    EXPECT_EQ(request.rgbResult, 0x00112233);
}

}  // namespace
}  // namespace tg
