#include "Catalog.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "RunOutcome.h"
#include "WideText.h"
#include "WindowDriver.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Room a push button's frame and focus rectangle leave its text, each side.
constexpr int kButtonMargin = 3;

// A bitmap's bits as the screen keeps them.
std::vector<char> Bits(HBITMAP bitmap) {
    BITMAP size{};
    ::GetObjectW(bitmap, sizeof(size), &size);
    std::vector<char> bits(static_cast<std::size_t>(size.bmWidthBytes) * size.bmHeight);
    ::GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return bits;
}

class LanguageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Without a locale in the environment, wine's interface language (from the locale it
        // was started under) decides.
        if (const char* ui = std::getenv("VELTRANE_TEST_UI_LANGUAGE");
            ui != nullptr && *ui != '\0') {
            for (const char* variable : {"LC_ALL=", "LC_MESSAGES=", "LANG="}) {
                _putenv(variable);
            }
        }
        Catalog::Open();
    }
};

} // namespace

// VELTRANE_TEST_LANGUAGE names the language the locale should give: en, zh, or C for the texts
// as written. Each label and button is measured with the dialog's own font against its template
// rectangle.
TEST_F(LanguageTest, TheWindowSpeaksTheUsersLanguageAndEveryTextFits) {
    WindowDriver window;
    HWND dialog = window.Dialog();
    ASSERT_NE(dialog, nullptr);
    const char* variable = std::getenv("VELTRANE_TEST_LANGUAGE");
    const std::string language = variable != nullptr ? variable : "";
    ASSERT_TRUE(language == "en" || language == "zh" || language == "C") << language;
    const char* start = DialogForms::Main().control(ControlIds::IDC_START).text;
    EXPECT_EQ(WindowDriver::Text(window.Item(ControlIds::IDC_START)),
              WideText::FromUtf8(language == "en" ? "Start" : start));
    // The banner goes with the texts: the picture is the form's ninth control.
    HBITMAP banner = ::LoadBitmapW(
        ::GetModuleHandleW(nullptr),
        MAKEINTRESOURCEW(language == "en" ? ControlIds::IDB_BANNER_EN : ControlIds::IDB_BANNER));
    HWND picture = ::GetWindow(::GetWindow(dialog, GW_CHILD), GW_HWNDFIRST);
    for (int i = 0; i < 8; ++i) {
        picture = ::GetWindow(picture, GW_HWNDNEXT);
    }
    EXPECT_EQ(
        Bits(reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0))),
        Bits(banner));
    ::DeleteObject(banner);
    // Chinese alone translates the engine's English notice.
    EXPECT_EQ(std::string(Catalog::Translated("combine end")) == "combine end", language != "zh");
    HDC dc = ::GetDC(dialog);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (const DialogForm* form : {&DialogForms::Main(), &DialogForms::About()}) {
        for (const FormControl& control : form->controls) {
            const std::wstring text = WideText::FromUtf8(Catalog::Translated(control.text));
            SIZE size{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            RECT rect{0, 0, control.rect.width, control.rect.height};
            ::MapDialogRect(dialog, &rect);
            const int margin = control.kind == ControlKind::Button ? 2 * kButtonMargin : 0;
            EXPECT_LE(size.cx, rect.right - margin) << control.name;
            EXPECT_LE(size.cy, rect.bottom) << control.name;
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(dialog, dc);
    // A run refused at once: its notice says, line by line, that the target is unchanged.
    window.SetTargetText(L"");
    window.Click(ControlIds::IDC_START);
    EXPECT_TRUE(
        window.CloseMessageBox(WideText::FromUtf8(Catalog::Translated("创建目标文件失败"))));
    EXPECT_TRUE(window.CloseMessageBox(
        WideText::FromUtf8(std::string(Catalog::Translated("combine end")) + "\n" +
                           Catalog::Translated(OutcomeLine(RunOutcome::Unchanged)))));
    EXPECT_EQ(std::string(Catalog::Translated(OutcomeLine(RunOutcome::Unchanged))) ==
                  "The target file was not changed",
              language == "en");
}
