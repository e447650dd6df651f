#include "Catalog.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "WideText.h"
#include "WindowDriver.h"

#include <commctrl.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace ControlIds;

namespace {

// Room a push button's frame and focus rectangle leave its text, each side.
constexpr int kButtonMargin = 3;

struct ShownTexts {
    const char* language;
    const wchar_t* caption;
    const wchar_t* targetLabel;
    const wchar_t* start;
    const wchar_t* indexHeading;
};

constexpr ShownTexts kExpected[] = {
    {"English", L"Veltrane- Orvik Software-File Joiner", L"Target:", L"Start", L"Index"},
    {"Chinese", L"Veltrane- Orvik软件-多文件合并", L"目标文件:", L"确定", L"索引"},
};

// The language this run's locale should give, named by the test's environment.
const ShownTexts& Expected() {
    const char* language = std::getenv("VELTRANE_TEST_LANGUAGE");
    for (const ShownTexts& texts : kExpected) {
        if (language != nullptr && std::string(language) == texts.language) {
            return texts;
        }
    }
    throw std::invalid_argument("VELTRANE_TEST_LANGUAGE names no language");
}

std::wstring Heading(HWND list, int column) {
    wchar_t text[64] = {};
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    ::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    return text;
}

class LanguageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Without a locale in the environment, wine's interface language (from the locale it
        // was started under) decides.
        if (std::getenv("VELTRANE_TEST_UI_LANGUAGE") != nullptr) {
            for (const char* variable : {"LC_ALL=", "LC_MESSAGES=", "LANG="}) {
                _putenv(variable);
            }
        }
        Catalog::Open();
    }
};

} // namespace

TEST_F(LanguageTest, TheWindowSpeaksTheUsersLanguage) {
    const ShownTexts& expected = Expected();
    WindowDriver window;
    ASSERT_NE(window.Dialog(), nullptr);
    EXPECT_EQ(WindowDriver::Text(window.Dialog()), expected.caption);
    EXPECT_EQ(WindowDriver::Text(::GetWindow(window.Dialog(), GW_CHILD)), expected.targetLabel);
    EXPECT_EQ(WindowDriver::Text(window.Item(IDC_START)), expected.start);
    EXPECT_EQ(Heading(window.Item(IDC_FILE_LIST), 0), expected.indexHeading);
}

// Measured with the dialog's own font, which both templates name.
TEST_F(LanguageTest, EveryTextFitsItsControl) {
    WindowDriver window;
    HWND dialog = window.Dialog();
    ASSERT_NE(dialog, nullptr);
    HDC dc = ::GetDC(dialog);
    auto* font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font);
    for (const DialogForm* form : {&DialogForms::Main(), &DialogForms::About()}) {
        for (const FormControl& control : form->controls) {
            if (control.kind != ControlKind::Text && control.kind != ControlKind::Button) {
                continue;
            }
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
}
