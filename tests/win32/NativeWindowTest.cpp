#include "CMyStaticLink.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "Digest.h"
#include "FileBytes.h"
#include "ShellQuote.h"
#include "WideText.h"
#include "WindowDriver.h"

#include <array>
#include <commctrl.h>
#include <dlgs.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <shlobj.h>
#include <uxtheme.h>

namespace fs = std::filesystem;
using namespace ControlIds;

namespace {

std::wstring Wide(const char* utf8) {
    return WideText::FromUtf8(utf8);
}

// As the dialog manager places a control: origin and size are converted each on their own.
RECT DialogRect(HWND dialog, const UnitRect& units) {
    RECT rect{units.x, units.y, units.width, units.height};
    ::MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
}

RECT ChildRect(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The dialog's children in creation order, which is the template's.
std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// The window class of each kind of control, in the order of ControlKind.
const std::array<const wchar_t*, 7> kClassOfKind{
    L"Static", L"Edit", L"Button", WC_LISTVIEWW, PROGRESS_CLASSW, L"Static", L"Static"};

fs::path WriteFile(const fs::path& file, std::size_t size, unsigned seed) {
    FileBytes::write(WideText::ToUtf8(file.wstring()), FileBytes::pattern(size, seed));
    return file;
}

std::string Bytes(const fs::path& file) {
    return FileBytes::read(WideText::ToUtf8(file.wstring()));
}

// Long enough for wine's dialogs on a loaded machine; only a failure waits it out.
bool Eventually(const std::function<bool()>& condition) {
    return WindowDriver::Poll(5, condition);
}

bool HasPixelWhere(HWND window, const std::function<bool(COLORREF)>& matches) {
    RECT client{};
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    bool found = false;
    for (int y = 0; y < client.bottom && !found; ++y) {
        for (int x = 0; x < client.right && !found; ++x) {
            found = matches(::GetPixel(dc, x, y));
        }
    }
    ::ReleaseDC(window, dc);
    return found;
}

bool HasPixel(HWND window, COLORREF colour) {
    return HasPixelWhere(window, [colour](COLORREF pixel) { return pixel == colour; });
}

bool WaitForPixel(HWND window, COLORREF colour) {
    return Eventually([=] { return HasPixel(window, colour); });
}

// Presses the keys together, then lets them go, into the focused window, as the keyboard would.
void PressKeys(std::vector<WORD> keys) {
    std::vector<INPUT> inputs(2 * keys.size(), INPUT{INPUT_KEYBOARD, {}});
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].ki.wVk = keys[i];
        inputs[inputs.size() - 1 - i].ki = {keys[i], 0, KEYEVENTF_KEYUP, 0, 0};
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// As the mouse moves it: an input event, which the window under the pointer always hears of, where
// wine may move the pointer for SetCursorPos without a word to any window.
void MoveCursor(int x, int y) {
    const auto normalized = [](int at, int screen) {
        return static_cast<LONG>((at * 65536 + screen - 1) / screen);
    };
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = normalized(x, ::GetSystemMetrics(SM_CXSCREEN));
    move.mi.dy = normalized(y, ::GetSystemMetrics(SM_CYSCREEN));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof(move));
    Eventually([=] {
        POINT at{};
        return ::GetCursorPos(&at) != FALSE && at.x == x && at.y == y;
    });
}

// A drop of these files as Explorer would make it; the window frees it.
HDROP MakeDrop(const std::vector<std::wstring>& files) {
    std::size_t chars = 1;
    for (const auto& file : files) {
        chars += file.size() + 1;
    }
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& file : files) {
        names = std::copy(file.begin(), file.end(), names) + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// Written on the window's thread inside the messages the test sends, read after they return.
std::vector<std::wstring> g_opened;

void RecordOpen(const std::wstring& url) {
    g_opened.push_back(url);
}

class NativeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / L"veltrane-window-测试";
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

} // namespace

TEST_F(NativeWindowTest, EveryControlHasItsTextRectangleAndTabPlace) {
    WindowDriver window;
    HWND dialog = window.Dialog();
    ASSERT_NE(dialog, nullptr);
    const DialogForm& form = DialogForms::Main();
    EXPECT_EQ(WindowDriver::Text(dialog), Wide(form.caption));
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT size = DialogRect(dialog, {0, 0, form.width, form.height});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    EXPECT_EQ(::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    EXPECT_EQ(::GetWindowLongW(dialog, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

    const std::vector<HWND> children = Children(dialog);
    ASSERT_EQ(children.size(), form.controls.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const FormControl& control = form.controls[i];
        SCOPED_TRACE(control.name);
        EXPECT_EQ(::GetDlgCtrlID(children[i]), control.id);
        EXPECT_EQ(_wcsicmp(WindowDriver::ClassName(children[i]).c_str(),
                           kClassOfKind.at(static_cast<std::size_t>(control.kind))),
                  0);
        const RECT expected = DialogRect(dialog, control.rect);
        const RECT actual = ChildRect(children[i]);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        if (control.kind != ControlKind::Icon) {
            EXPECT_EQ(actual.right, expected.right);
            EXPECT_EQ(actual.bottom, expected.bottom);
        }
        if (control.kind == ControlKind::Text || control.kind == ControlKind::Button) {
            EXPECT_EQ(WindowDriver::Text(children[i]), Wide(control.text));
        }
    }
    // Tab walks the controls with a tab stop in template order, and round again.
    const std::array tabOrder{IDC_TARGET_PATH, IDC_BROWSE_TARGET, IDC_FILE_LIST,
                              IDC_START,       IDC_STOP,          IDC_ADD_FILE};
    for (std::size_t i = 0; i < tabOrder.size(); ++i) {
        EXPECT_EQ(::GetNextDlgTabItem(dialog, window.Item(tabOrder[i]), FALSE),
                  window.Item(tabOrder[(i + 1) % tabOrder.size()]));
    }
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ::GetGUIThreadInfo(window.UiThread(), &focus);
    EXPECT_EQ(focus.hwndFocus, window.Item(IDC_TARGET_PATH));
    EXPECT_NE(::GetWindowLongW(window.Item(IDC_TARGET_PATH), GWL_STYLE) & ES_READONLY, 0);

    HWND list = window.Item(IDC_FILE_LIST);
    EXPECT_EQ(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    // No themed controls asked for (wine themes its list and bar whatever a program asks).
    for (const int id : {IDC_TARGET_PATH, IDC_BROWSE_TARGET, IDC_START, IDC_STOP, IDC_ADD_FILE}) {
        EXPECT_EQ(::GetWindowTheme(window.Item(id)), nullptr) << id;
    }
    RECT listClient{};
    ::GetClientRect(list, &listClient);
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0), listClient.right / 2);
    }

    HMENU menu = ::GetSystemMenu(dialog, FALSE);
    const int items = ::GetMenuItemCount(menu);
    EXPECT_EQ(::GetMenuItemID(menu, items - 1), IDM_ABOUTBOX);
    EXPECT_EQ(::GetMenuState(menu, items - 2, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    std::array<wchar_t, 64> aboutText{};
    ::GetMenuStringW(menu, IDM_ABOUTBOX, aboutText.data(), aboutText.size(), MF_BYCOMMAND);
    EXPECT_STREQ(aboutText.data(), L"&About Veltrane...");
}

TEST_F(NativeWindowTest, AboutItemOpensTheAboutBox) {
    WindowDriver window;
    // The system's own low bits do not matter.
    ::PostMessageW(window.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
    const DialogForm& form = DialogForms::About();
    HWND about = window.WaitForWindow(Wide(form.caption));
    ASSERT_NE(about, nullptr);
    const std::vector<HWND> children = Children(about);
    ASSERT_EQ(children.size(), form.controls.size());
    EXPECT_EQ(WindowDriver::Text(children[1]), Wide("多文件合并工具"));
    EXPECT_EQ(WindowDriver::Text(children[2]), Wide("Orvik软件免费工具系列"));
    EXPECT_NE(::SendMessageW(children[0], STM_GETICON, 0, 0), 0);
    EXPECT_EQ(::GetWindowLongW(children[3], GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    // Centred on the main window.
    RECT box{};
    RECT main{};
    ::GetWindowRect(about, &box);
    ::GetWindowRect(window.Dialog(), &main);
    EXPECT_LE(std::abs((box.left + box.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) - (main.top + main.bottom)), 1);
    ::PostMessageW(children[3], BM_CLICK, 0, 0);
    EXPECT_TRUE(Eventually([about] { return ::IsWindow(about) == FALSE; }));
    EXPECT_TRUE(::IsWindow(window.Dialog()));
}

TEST_F(NativeWindowTest, CommandLineRowsThenADropInExplorersOrderAndSpaceTicksTheSelection) {
    const std::wstring first = (m_dir / L"命令行.bin").wstring();
    WindowDriver window({first, L"C:\\absent.bin"});
    fs::create_directories(m_dir / L"folder");
    const std::vector<std::wstring> dropped{(m_dir / L"disk-s10.vmdk").wstring(),
                                            (m_dir / L"folder").wstring(),
                                            (m_dir / L"Disk-s2.vmdk").wstring()};
    // Sent where Explorer posts, so that the rows are there once it returns.
    ::SendMessageW(window.Dialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(dropped)), 0);
    const std::vector<std::wstring> paths{first, L"C:\\absent.bin", dropped[2], dropped[0]};
    ASSERT_EQ(window.RowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(window.RowText(row, 0), std::to_wstring(row));
        EXPECT_EQ(window.RowText(row, 1), paths[static_cast<std::size_t>(row)]);
        EXPECT_FALSE(window.IsChecked(row));
    }
    HWND list = window.Item(IDC_FILE_LIST);
    EXPECT_NE(::SendMessageW(list, LVM_ISITEMVISIBLE, 3, 0), 0);

    LVITEMW select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
    ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    const std::vector<bool> ticked{false, true, true, false};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(window.IsChecked(row), ticked[static_cast<std::size_t>(row)]) << row;
    }
    // The run reads what the list shows, however the boxes were ticked.
    window.SetChecked(3, true);
    window.SetChecked(1, false);
    std::vector<RowStore::Row> shown;
    for (int row = 0; row < window.RowCount(); ++row) {
        shown.push_back({WideText::ToUtf8(window.RowText(row, 1)), window.IsChecked(row)});
    }
    EXPECT_EQ(window.StoredRows(), shown);
}

// More rows than fit: each batch, from the command line or a drop, shows its first row at the top.
TEST_F(NativeWindowTest, EachBatchOfNewRowsShowsItsFirstRow) {
    std::vector<std::wstring> files;
    for (int i = 0; i < 30; ++i) {
        files.push_back((m_dir / (L"f" + std::to_wstring(i))).wstring());
    }
    WindowDriver window(files);
    HWND list = window.Item(IDC_FILE_LIST);
    EXPECT_EQ(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
    ::SendMessageW(window.Dialog(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files)), 0);
    ASSERT_EQ(window.RowCount(), 60);
    EXPECT_EQ(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 30);
}

// The system's dialogs take a typed name: ".vmdk" goes to a new name without an extension, and
// the open dialog spares the name of a file that exists.
TEST_F(NativeWindowTest, FileDialogsFollowTheTypedNameRule) {
    WriteFile(m_dir / L"xaa", 1, 1);
    WindowDriver window;
    const auto choose = [&window](int button, const wchar_t* caption, const fs::path& name) {
        window.Click(button);
        HWND dialog = window.WaitForWindow(caption);
        ASSERT_NE(dialog, nullptr);
        ::SetDlgItemTextW(dialog, cmb13, name.c_str());
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Eventually([dialog] { return ::IsWindow(dialog) == FALSE; }));
    };
    choose(IDC_ADD_FILE, L"Open", m_dir / L"disk");
    choose(IDC_ADD_FILE, L"Open", m_dir / L"xaa");
    choose(IDC_BROWSE_TARGET, L"Save As", m_dir / L"target");
    ASSERT_EQ(window.RowCount(), 2);
    EXPECT_EQ(window.RowText(0, 1), (m_dir / L"disk.vmdk").wstring());
    EXPECT_EQ(window.RowText(1, 1), (m_dir / L"xaa").wstring());
    EXPECT_EQ(WindowDriver::Text(window.Item(IDC_TARGET_PATH)), (m_dir / L"target.vmdk").wstring());
}

TEST_F(NativeWindowTest, RunJoinsTheTickedRowsByteForByteAndEndsWithTheNotice) {
    const fs::path a = WriteFile(m_dir / L"片段-a.bin", 3, 1);
    const fs::path skipped = WriteFile(m_dir / L"skipped.bin", 10, 2);
    const fs::path b = WriteFile(m_dir / L"片段-b.bin", 2 * FileBytes::kMiB + 5, 3);
    const fs::path target = m_dir / L"目标.vmdk";
    WindowDriver window({a.wstring(), skipped.wstring(), b.wstring()});
    window.SetChecked(0, true);
    window.SetChecked(2, true);
    window.SetTargetText(target.wstring());
    window.Click(IDC_START);
    ASSERT_NE(window.WaitForWindow(L"win32_window_tests"), nullptr);
    // The run is over, but its notice still holds the window: a close is refused.
    ::PostMessageW(window.Dialog(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(window.CloseMessageBox(L"wait current thread"));
    ASSERT_TRUE(window.CloseMessageBox(L"combine end"));
    EXPECT_EQ(Bytes(target), Bytes(a) + Bytes(b));
    HWND progress = window.Item(IDC_PROGRESS);
    // The bar follows the last source's two whole blocks, its last step at the second.
    EXPECT_EQ(::SendMessageW(progress, PBM_GETRANGE, FALSE, 0), 2);
    EXPECT_EQ(::SendMessageW(progress, PBM_GETPOS, 0, 0), 1);
    EXPECT_TRUE(window.Close());
}

TEST_F(NativeWindowTest, ACheckedTargetNamesItsChecksumFileAndAMismatchIsAnError) {
    const fs::path source = WriteFile(m_dir / L"校验.bin", (2 * FileBytes::kMiB) + 9, 5);
    const fs::path target = m_dir / L"checked.img";
    const fs::path sums = m_dir / L"checked.img.sha256";
    Digest digest(Digest::Algorithm::Sha256);
    digest.update(Bytes(source));
    const std::string actual = digest.finish();
    const std::string named = shellQuoted(WideText::ToUtf8(sums.wstring()));
    for (const bool matches : {true, false}) {
        const std::string expected = matches ? actual : std::string(64, '0');
        FileBytes::write(WideText::ToUtf8(sums.wstring()), expected + "  checked.img\r\n");
        WindowDriver window({source.wstring()});
        window.SetChecked(0, true);
        window.SetTargetText(target.wstring());
        window.Click(IDC_START);
        if (!matches) {
            EXPECT_TRUE(window.CloseMessageBox(Wide(("目标文件与校验和不符\n校验和文件：" + named +
                                                     "\n应为：" + expected + "\n实为：" + actual)
                                                        .c_str())));
        }
        EXPECT_TRUE(
            window.CloseMessageBox(Wide((matches ? "combine end\n已校验：与 " + named + " 一致"
                                                 : std::string("combine end\n目标文件与校验和不符"))
                                            .c_str())));
        EXPECT_EQ(Bytes(target), Bytes(source));
        EXPECT_TRUE(window.Close());
        fs::remove(target);
    }
}

TEST_F(NativeWindowTest, UnopenableSourceHoldsTheRunWhichRefusesCloseAndHonoursStop) {
    const fs::path good = WriteFile(m_dir / L"good.bin", 4096, 4);
    const fs::path target = m_dir / L"target.bin";
    WindowDriver window({(m_dir / L"missing.bin").wstring(), good.wstring()});
    window.SetChecked(0, true);
    window.SetChecked(1, true);
    window.SetTargetText(target.wstring());
    window.Click(IDC_START);
    // The missing file is found before the target is emptied; joined all the same, it is
    // reported again as the run reaches it.
    ASSERT_TRUE(window.AnswerQuestion(L"Join anyway?", IDYES));
    ASSERT_NE(window.WaitForWindow(L"win32_window_tests"), nullptr);
    // While the message holds the run, closing, Start and Stop all reach the window.
    ::PostMessageW(window.Dialog(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(window.CloseMessageBox(L"wait current thread"));
    window.Click(IDC_START);
    EXPECT_TRUE(window.CloseMessageBox(L"wait current thread"));
    window.Click(IDC_STOP);
    ::SendMessageW(window.Dialog(), WM_NULL, 0, 0);
    EXPECT_TRUE(window.CloseMessageBox(Wide("打开源文件失败")));
    EXPECT_TRUE(window.CloseMessageBox(Wide("combine end\n已停止：目标文件不完整")));
    EXPECT_TRUE(::IsWindow(window.Dialog()));
    EXPECT_EQ(fs::file_size(target), 0U);

    // The next Start clears the stop; a bad target is reported and the run still ends.
    window.SetTargetText(L"");
    window.Click(IDC_START);
    EXPECT_TRUE(window.CloseMessageBox(Wide("创建目标文件失败")));
    EXPECT_TRUE(window.CloseMessageBox(Wide("combine end\n目标文件未改变")));
    EXPECT_TRUE(window.Close());
}

TEST_F(NativeWindowTest, FindingsAreAskedAboutBeforeTheTargetIsEmptied) {
    const fs::path good = WriteFile(m_dir / L"good.bin", 4096, 7);
    const fs::path target = WriteFile(m_dir / L"asked.bin", 100, 8);
    const std::string before = Bytes(target);
    for (const bool join : {false, true}) {
        WindowDriver window({(m_dir / L"missing.bin").wstring(), good.wstring()});
        window.SetChecked(0, true);
        window.SetChecked(1, true);
        window.SetTargetText(target.wstring());
        window.Click(IDC_START);
        EXPECT_TRUE(window.AnswerQuestion(L"Join anyway?", join ? IDYES : IDNO)) << join;
        if (join) {
            EXPECT_TRUE(window.CloseMessageBox(Wide("打开源文件失败")));
        }
        EXPECT_TRUE(window.CloseMessageBox(Wide(join ? "combine end\n出现错误：目标文件可能不完整"
                                                     : "combine end\n目标文件未改变")));
        EXPECT_EQ(Bytes(target), join ? Bytes(good) : before);
        EXPECT_TRUE(window.Close());
    }
}

TEST_F(NativeWindowTest, StopBeforeTheTargetIsEmptiedLeavesItAsItWas) {
    const fs::path source = WriteFile(m_dir / L"source.bin", 4096, 5);
    const fs::path target = WriteFile(m_dir / L"target.bin", 100, 6);
    const std::string before = Bytes(target);
    WindowDriver window({source.wstring()});
    window.SetChecked(0, true);
    window.SetTargetText(target.wstring());
    // Another program has the target open: the run tries again for a second, then takes it.
    const HANDLE other = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    window.Click(IDC_START);
    window.Click(IDC_STOP);
    ::CloseHandle(other);
    EXPECT_TRUE(window.CloseMessageBox(Wide("combine end\n目标文件未改变")));
    EXPECT_EQ(Bytes(target), before);
    EXPECT_TRUE(window.Close());
}

TEST_F(NativeWindowTest, LinksTurnRedUnderTheMouseAndOpenTheirAddressOnRelease) {
    const CMyStaticLink::UrlOpener old = CMyStaticLink::SetUrlOpener(&RecordOpen);
    WindowDriver window;
    HWND link = window.Item(IDC_LINK_HOME);
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    constexpr COLORREF kRed = RGB(255, 0, 0);
    EXPECT_TRUE(WaitForPixel(link, kBlue));
    RECT rect{};
    ::GetWindowRect(link, &rect);
    // The pointer's own moves reach the label, as a user's would.
    MoveCursor((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_TRUE(WaitForPixel(link, kRed));
    EXPECT_FALSE(HasPixel(link, kBlue));
    EXPECT_FALSE(HasPixel(window.Item(IDC_LINK_SOFTSITE), kRed));

    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(g_opened.empty());
    ::SendMessageW(link, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(g_opened, std::vector<std::wstring>{L"http://www.orvik.example"});
    MoveCursor(rect.right + 40, rect.bottom + 40);
    EXPECT_TRUE(WaitForPixel(link, kBlue));
    // Smoothed blue on grey keeps red and green equal; drawn over its red self, it turns purple.
    EXPECT_TRUE(Eventually([link] {
        return !HasPixelWhere(link, [](COLORREF c) { return GetRValue(c) > GetGValue(c) + 24; });
    }));
    CMyStaticLink::SetUrlOpener(old);
}

// Rows are added several at a time, moved, removed and numbered again, never while the run
// reads them; the run then joins them in their new order.
TEST_F(NativeWindowTest, ListEditsRenumberWaitForTheRunAndSetTheJoinsOrder) {
    std::map<std::wstring, std::string> bytes;
    for (const wchar_t* name : {L"a.bin", L"b.bin", L"c.bin", L"d.bin"}) {
        bytes[name] = Bytes(WriteFile(m_dir / name, 3 + bytes.size() * 1000, bytes.size() + 1));
    }
    WindowDriver window;
    HWND list = window.Item(IDC_FILE_LIST);
    const auto add = [&window](const std::wstring& typed) {
        window.Click(IDC_ADD_FILE);
        HWND dialog = window.WaitForWindow(L"Open");
        ::SetDlgItemTextW(dialog, cmb13, typed.c_str());
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Eventually([dialog] { return ::IsWindow(dialog) == FALSE; }));
    };
    // Each row's index as shown, and its tick and path as the run reads them.
    const auto rowsAre = [&window, this](const std::wstring& expected) {
        std::wstring shown;
        EXPECT_TRUE(Eventually([&] {
            shown.clear();
            const std::vector<RowStore::Row> rows = window.StoredRows();
            for (std::size_t row = 0; row < rows.size(); ++row) {
                shown += window.RowText(static_cast<int>(row), 0) +
                         (rows[row].checked ? L"x" : L"-") +
                         fs::path(WideText::FromUtf8(rows[row].path)).filename().wstring() + L" ";
            }
            return shown == expected;
        })) << shown;
    };
    const auto quoted = [this](const wchar_t* name) {
        return L"\"" + (m_dir / name).wstring() + L"\" ";
    };
    // Typed names come in the order typed, names of files that all exist in Explorer's.
    add(quoted(L"c.bin") + quoted(L"a.bin") + quoted(L"absent"));
    add(quoted(L"d.bin") + quoted(L"b.bin"));
    rowsAre(L"0-c.bin 1-a.bin 2-absent.vmdk 3-b.bin 4-d.bin ");

    ::SendMessageW(window.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    PressKeys({VK_HOME});
    PressKeys({VK_MENU, VK_DOWN});
    rowsAre(L"0-a.bin 1-c.bin 2-absent.vmdk 3-b.bin 4-d.bin ");
    PressKeys({VK_END});
    ::PostMessageW(window.Dialog(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
    HWND menu = WindowDriver::Poll(2, [] { return ::FindWindowW(L"#32768", nullptr); });
    auto* items = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
    std::array<wchar_t, 64> text{};
    ::GetMenuStringW(items, 2, text.data(), text.size(), MF_BYPOSITION);
    EXPECT_EQ(text.data(), Wide("下移\tAlt+Down"));
    ::PostMessageW(window.Dialog(), WM_CANCELMODE, 0, 0);
    ::PostMessageW(window.Dialog(), WM_COMMAND, IDM_MOVE_ROWS_UP, 0);
    rowsAre(L"0-a.bin 1-c.bin 2-absent.vmdk 3-d.bin 4-b.bin ");
    PressKeys({VK_CONTROL, 'A'});
    PressKeys({VK_SPACE});
    const std::wstring ticked = L"0xa.bin 1xc.bin 2xabsent.vmdk 3xd.bin 4xb.bin ";
    rowsAre(ticked);

    window.SetTargetText((m_dir / L"joined.vmdk").wstring());
    window.Click(IDC_START);
    ASSERT_TRUE(window.AnswerQuestion(L"Join anyway?", IDYES));
    // The run is held by the missing file's message: it reads the rows by their place.
    ASSERT_NE(window.WaitForWindow(L"win32_window_tests"), nullptr);
    ::PostMessageW(window.Dialog(), WM_COMMAND, IDM_REMOVE_ROWS, 0);
    EXPECT_TRUE(window.CloseMessageBox(L"wait current thread"));
    rowsAre(ticked);
    EXPECT_TRUE(window.CloseMessageBox(Wide("打开源文件失败")));
    EXPECT_TRUE(window.CloseMessageBox(Wide("combine end\n出现错误：目标文件可能不完整")));
    EXPECT_EQ(Bytes(m_dir / L"joined.vmdk"),
              bytes[L"a.bin"] + bytes[L"c.bin"] + bytes[L"d.bin"] + bytes[L"b.bin"]);
    ::SendMessageW(window.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    for (const WORD key : {VK_HOME, VK_DOWN, VK_DOWN, VK_DELETE}) {
        PressKeys({key});
    }
    rowsAre(L"0xa.bin 1xc.bin 2xd.bin 3xb.bin ");
}

// Paths alike but for their end stay apart: drawn cut in their middle, whole in the tip and in
// the row the run reads.
TEST_F(NativeWindowTest, LongPathsAreDrawnCutInTheMiddleAndWholeInTheTip) {
    const fs::path folder = m_dir / std::wstring(120, L'f');
    const std::vector<std::wstring> paths{(folder / L"disk-s01.vmdk").wstring(),
                                          (folder / L"disk-s02.vmdk").wstring()};
    WindowDriver window(paths);
    for (int row = 0; row < 2; ++row) {
        const std::wstring& path = paths[static_cast<std::size_t>(row)];
        const std::wstring drawn = window.RowText(row, 1);
        EXPECT_TRUE(drawn.starts_with(path.substr(0, 3)) && drawn.find(L'\u2026') != drawn.npos &&
                    drawn.ends_with(path.substr(path.size() - 14)))
            << drawn;
        EXPECT_EQ(window.StoredRows().at(static_cast<std::size_t>(row)).path,
                  WideText::ToUtf8(path));
        std::array<wchar_t, INFOTIPSIZE> tip{};
        NMLVGETINFOTIPW notice{};
        notice.hdr.code = LVN_GETINFOTIPW;
        notice.hdr.idFrom = IDC_FILE_LIST;
        notice = {notice.hdr, 0, tip.data(), INFOTIPSIZE, row, 0, 0};
        ::SendMessageW(window.Dialog(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
        EXPECT_EQ(std::wstring(tip.data()), path);
    }
}

// Windows' /? and the usual -h and --help show how to start the program, and no window.
TEST(CommandLineTest, HelpShowsTheUsageAndEnds) {
    for (const wchar_t* option : {L"/?", L"-h", L"--help"}) {
        // Found beside the tests.
        std::wstring commandLine = L"Veltrane.exe " + std::wstring(option);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &process));
        // A message box captioned with the program's name, the only window it shows.
        HWND box = WindowDriver::Poll(20, [] { return ::FindWindowW(L"#32770", L"Veltrane"); });
        const std::wstring text = WindowDriver::Text(::GetDlgItem(box, 0xFFFF));
        EXPECT_TRUE(text.starts_with(L"Veltrane.exe [FILE ...]\n")) << text;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(::WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << option;
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}
