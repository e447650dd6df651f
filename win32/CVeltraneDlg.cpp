#include "CVeltraneDlg.h"

#include "AccessibleNames.h"
#include "CAboutDlg.h"
#include "Catalog.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "DialogTemplateEx.h"
#include "DropOrder.h"
#include "FileDialogs.h"
#include "FileRows.h"
#include "JoinQuestion.h"
#include "MiddleCut.h"
#include "RowEdits.h"
#include "RunBoxText.h"
#include "ShellQuote.h"
#include "TextMark.h"
#include "WideText.h"
#include "WindowLinks.h"

#include <algorithm>
#include <commctrl.h>
#include <filesystem>
#include <optional>
#include <shellapi.h>
#include <shlwapi.h>
#include <tuple>
#include <utility>
#include <windowsx.h>

using namespace ControlIds;

namespace {

// A call from the worker, carried out by the window's thread: lParam is the call.
constexpr UINT WM_APP_CALL = WM_APP + 1;
// The bar's latest position is waiting to be shown.
constexpr UINT WM_APP_POSITION = WM_APP + 2;
constexpr int kCheckColumn = 0;
constexpr int kPathColumn = 1;
// The room the list leaves on each side of a cell's text.
constexpr int kCellMargin = 6;

// Message boxes are captioned with the executable's name without its extension.
std::wstring ApplicationName() {
    std::wstring path(MAX_PATH, L'\0');
    DWORD size = 0;
    while ((size = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(size);
    return std::filesystem::path(path).stem().wstring();
}

void InsertColumn(HWND list, int column, const char* heading, int width) {
    std::wstring text = WideText::FromUtf8(heading);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = width;
    lvc.pszText = text.data();
    lvc.iSubItem = column;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
}

bool IsChecked(HWND list, int row) {
    const auto state = ::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void SetChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// The row whose check box a list notice says has changed, -1 for every row.
std::optional<int> ChangedBox(const NMHDR& header) {
    if (header.idFrom != IDC_FILE_LIST || header.code != LVN_ITEMCHANGED) {
        return std::nullopt;
    }
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) == 0 ||
        ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0) {
        return std::nullopt;
    }
    return change.iItem;
}

// The files of a drop in the order Explorer shows them. Folders are left out.
std::vector<std::wstring> DroppedFiles(HDROP drop) {
    std::vector<std::wstring> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.push_back(path);
        }
    }
    return CVeltraneDlg::InDropOrder(std::move(files));
}

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(
                            ::SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
        rows.push_back(row);
    }
    return rows;
}

int FocusedRow(HWND list) {
    return static_cast<int>(
        ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

// Copies `text` into a buffer the list gave, cut to its size.
void CopyInto(const std::wstring& text, wchar_t* buffer, int capacity) {
    if (buffer != nullptr && capacity > 0) {
        ::lstrcpynW(buffer, text.c_str(), capacity);
    }
}

// The path of a row as the list draws it in a column `width` pixels wide.
std::wstring CutToWidth(HWND list, const std::wstring& path, int width) {
    HDC dc = ::GetDC(list);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    const std::u16string cut = MiddleCut::Cut(
        std::u16string(path.begin(), path.end()), width, [dc](const std::u16string& text) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()),
                                    static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        });
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    return {cut.begin(), cut.end()};
}

} // namespace

std::vector<std::wstring> CVeltraneDlg::InDropOrder(std::vector<std::wstring> files) {
    DropOrder::Sort(
        files, [](const std::wstring& path) { return ::PathFindFileNameW(path.c_str()); },
        [](const std::wstring& path) { return path.c_str(); }, &::StrCmpLogicalW);
    return files;
}

CVeltraneDlg::CVeltraneDlg(HINSTANCE instance, std::vector<std::wstring> files,
                           WindowServices services)
    : m_instance(instance), m_hIcon(::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_startFiles(std::move(files)),
      m_props(services.props != nullptr ? *services.props : m_propService),
      m_runBadge(services.badge != nullptr ? *services.badge : m_taskbar) {}

INT_PTR CVeltraneDlg::DoModal() {
    const DialogTemplateEx form(DialogForms::Main());
    return ::DialogBoxIndirectParamW(m_instance, form.Get(), nullptr, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CVeltraneDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        auto* dlg = reinterpret_cast<CVeltraneDlg*>(lParam);
        dlg->m_hWnd = hwnd;
    }
    auto* dlg = reinterpret_cast<CVeltraneDlg*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dlg == nullptr) {
        return FALSE;
    }
    const INT_PTR result = dlg->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        dlg->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CVeltraneDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSysCommand(wParam) ? TRUE : FALSE;
    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            OnCommand(LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        OnListNotice(*reinterpret_cast<NMHDR*>(lParam));
        return FALSE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == m_list) {
            OnListMenu(lParam);
            return TRUE;
        }
        return FALSE;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_APP_CALL:
        ApplyPendingPosition();
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return TRUE;
    case WM_APP_POSITION:
        ApplyPendingPosition();
        return TRUE;
    default:
        return FALSE;
    }
}

void CVeltraneDlg::OnInitDialog() {
    m_list = ::GetDlgItem(m_hWnd, IDC_FILE_LIST);
    m_progress = ::GetDlgItem(m_hWnd, IDC_PROGRESS);
    AddAboutItem();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetUpList();
    AttachLinks();
    NameControls();
    m_taskbar.Attach(m_hWnd);
    ::DragAcceptFiles(m_hWnd, TRUE);
    AddFiles(m_startFiles);
}

void CVeltraneDlg::AddAboutItem() {
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(m_instance, IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
    if (menu != nullptr && length > 0) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const std::string item = WideText::ToUtf8(std::wstring_view(text, length));
        ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX,
                      WideText::FromUtf8(Catalog::Translated(item.c_str())).c_str());
    }
}

void CVeltraneDlg::SetUpList() {
    ::SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    RECT client{};
    ::GetClientRect(m_list, &client);
    const int width = (client.right - client.left) / 2;
    InsertColumn(m_list, kCheckColumn, Catalog::Translated(Translatable("索引")), width);
    InsertColumn(m_list, kPathColumn, Catalog::Translated(Translatable("文件路径")), width);
    ::SetWindowSubclass(m_list, &ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void CVeltraneDlg::AttachLinks() {
    const std::wstring home = WideText::FromUtf8(WindowLinks::kHomeUrl);
    const std::wstring softSite = WideText::FromUtf8(WindowLinks::kSoftSiteUrl);
    m_linkHome.Attach(::GetDlgItem(m_hWnd, IDC_LINK_HOME));
    m_linkHome.SetLink(home, home);
    m_linkSoftSite.Attach(::GetDlgItem(m_hWnd, IDC_LINK_SOFTSITE));
    m_linkSoftSite.SetLink(softSite, softSite);
}

// Each link is named by the address it paints, as its own text would name it.
void CVeltraneDlg::NameControls() {
    for (const AccessibleNames::Named& named : AccessibleNames::kMain) {
        m_props.Name(::GetDlgItem(m_hWnd, named.id),
                     WideText::FromUtf8(Catalog::Translated(named.name)));
    }
    for (const auto& [id, url] : {std::pair{IDC_LINK_HOME, WindowLinks::kHomeUrl},
                                  std::pair{IDC_LINK_SOFTSITE, WindowLinks::kSoftSiteUrl}}) {
        const std::wstring address = WideText::FromUtf8(url);
        m_props.Link(::GetDlgItem(m_hWnd, id), address, address);
    }
}

bool CVeltraneDlg::OnSysCommand(WPARAM nID) {
    // The low four bits are the system's own.
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) {
        return false;
    }
    CAboutDlg::DoModal(m_instance, m_hWnd);
    return true;
}

bool CVeltraneDlg::OnPaint() {
    if (::IsIconic(m_hWnd) == FALSE) {
        return false;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return true;
}

void CVeltraneDlg::OnCommand(int id) {
    switch (id) {
    case IDC_START:
        OnStart();
        break;
    case IDC_STOP:
        OnStop();
        break;
    case IDC_ADD_FILE:
        OnAddFile();
        break;
    case IDC_BROWSE_TARGET:
        OnBrowseTarget();
        break;
    case IDOK:
    case IDCANCEL:
        OnClose(id);
        break;
    case IDM_REMOVE_ROWS:
        RemoveSelected();
        break;
    case IDM_MOVE_ROWS_UP:
        MoveSelected(RowEdits::Direction::Up);
        break;
    case IDM_MOVE_ROWS_DOWN:
        MoveSelected(RowEdits::Direction::Down);
        break;
    default:
        break;
    }
}

void CVeltraneDlg::OnStart() {
    if (m_engine.OnStart()) {
        m_runBadge.runStarted();
    }
}

void CVeltraneDlg::OnStop() {
    m_engine.OnStop();
    m_runBadge.stopAsked(m_runProgress.done());
}

// Nothing is refused here: a file already listed, or one that does not exist, is reported
// only when a run reaches it.
void CVeltraneDlg::OnAddFile() {
    AddFiles(FileDialogs::ChooseSources(m_hWnd));
}

void CVeltraneDlg::OnBrowseTarget() {
    if (const auto path = FileDialogs::ChooseTarget(m_hWnd)) {
        ::SetDlgItemTextW(m_hWnd, IDC_TARGET_PATH, path->c_str());
    }
}

void CVeltraneDlg::OnClose(int result) {
    // The worker refers to this window, so the window outlasts the run and its notice.
    if (m_engine.State().needsHost()) {
        showWindowMessage(RunMessage(RunMessage::Kind::WaitCurrentThread));
        return;
    }
    ::EndDialog(m_hWnd, result);
}

// Like a click on "添加文件", a drop is welcome during a run: its rows lie beyond the run.
void CVeltraneDlg::OnDropFiles(HDROP drop) {
    AddFiles(DroppedFiles(drop));
    ::DragFinish(drop);
}

LRESULT CALLBACK CVeltraneDlg::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
    if (reinterpret_cast<CVeltraneDlg*>(self)->OnListKey(msg, wParam)) {
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &ListProc, 0);
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

// The list's own keys are too few: Space ticks the focused row and every selected one (the
// list alone would tick one row), Ctrl+A selects every row, Delete removes the selected rows
// and Alt+Up and Alt+Down move them. True when the key was taken.
bool CVeltraneDlg::OnListKey(UINT msg, WPARAM key) {
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool alt = ::GetKeyState(VK_MENU) < 0;
    const bool plain = !control && !shift && !alt;
    if (msg == WM_SYSKEYDOWN && alt && !control && !shift && (key == VK_UP || key == VK_DOWN)) {
        MoveSelected(key == VK_UP ? RowEdits::Direction::Up : RowEdits::Direction::Down);
        return true;
    }
    if (msg == WM_KEYDOWN && plain && key == VK_DELETE) {
        RemoveSelected();
        return true;
    }
    if (msg == WM_KEYDOWN && control && !shift && !alt && key == 'A') {
        SetRowState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
        return true;
    }
    // The characters these keys make would only make the list beep or search.
    constexpr WPARAM kControlA = 0x01;
    if (msg == WM_CHAR && ((plain && key == VK_SPACE) || (control && key == kControlA))) {
        return true;
    }
    if (msg == WM_KEYDOWN && plain && key == VK_SPACE) {
        TickFocusedAndSelected();
        return true;
    }
    return false;
}

void CVeltraneDlg::TickFocusedAndSelected() {
    const int focused = FocusedRow(m_list);
    if (focused < 0) {
        return;
    }
    for (const FileRows::Tick& tick :
         FileRows::SpaceTicks(focused, IsChecked(m_list, focused), SelectedRows(m_list))) {
        SetChecked(m_list, tick.row, tick.checked);
    }
}

// At the pointer, or for the keyboard's menu key below the focused row.
void CVeltraneDlg::OnListMenu(LPARAM at) {
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        const int focused = FocusedRow(m_list);
        if (focused < 0 || ::SendMessageW(m_list, LVM_GETITEMRECT, focused,
                                          reinterpret_cast<LPARAM>(&row)) == FALSE) {
            row = {};
        }
        point = {row.left, row.bottom};
        ::ClientToScreen(m_list, &point);
    }
    HMENU menu = ::CreatePopupMenu();
    for (const auto& [id, text, keys] :
         {std::tuple{IDM_REMOVE_ROWS, Translatable("删除"), L"\tDel"},
          std::tuple{IDM_MOVE_ROWS_UP, Translatable("上移"), L"\tAlt+Up"},
          std::tuple{IDM_MOVE_ROWS_DOWN, Translatable("下移"), L"\tAlt+Down"}}) {
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id),
                      (WideText::FromUtf8(Catalog::Translated(text)) + keys).c_str());
    }
    // The chosen item comes back as a command to the window.
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CVeltraneDlg::OnListNotice(NMHDR& header) {
    if (header.idFrom != IDC_FILE_LIST) {
        return;
    }
    if (const std::optional<int> row = ChangedBox(header)) {
        OnBoxChanged(*row);
    } else if (header.code == LVN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if (info.item.iSubItem == kPathColumn && (info.item.mask & LVIF_TEXT) != 0) {
            const int width =
                static_cast<int>(::SendMessageW(m_list, LVM_GETCOLUMNWIDTH, kPathColumn, 0));
            CopyInto(CutToWidth(m_list, RowPath(info.item.iItem), width - 2 * kCellMargin),
                     info.item.pszText, info.item.cchTextMax);
        }
    } else if (header.code == LVN_GETINFOTIPW) {
        auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
        // The list may have put a text of its own there; the whole path replaces it.
        CopyInto(RowPath(tip.iItem), tip.pszText, tip.cchTextMax);
    }
}

std::wstring CVeltraneDlg::RowPath(int row) const {
    return WideText::FromUtf8(m_rows.path(row));
}

// The run reads the rows by their place: while it does, they stay as they are.
bool CVeltraneDlg::MayEditRows() {
    if (m_engine.State().readsRows()) {
        showWindowMessage(RunMessage(RunMessage::Kind::WaitCurrentThread));
        return false;
    }
    return true;
}

void CVeltraneDlg::RemoveSelected() {
    const std::vector<int> selected = SelectedRows(m_list);
    if (selected.empty() || !MayEditRows()) {
        return;
    }
    const std::vector<int> order = RowEdits::KeptOrder(m_rows.count(), selected);
    const int next = RowEdits::PlaceAfterRemoval(order, selected);
    Rearrange(order,
              next >= 0 ? std::vector<int>{order[static_cast<std::size_t>(next)]}
                        : std::vector<int>{},
              next);
}

void CVeltraneDlg::MoveSelected(RowEdits::Direction direction) {
    const std::vector<int> selected = SelectedRows(m_list);
    const std::vector<int> order = RowEdits::MovedOrder(m_rows.count(), selected, direction);
    if (!RowEdits::Changes(order) || !MayEditRows()) {
        return;
    }
    const std::vector<int> focused = RowEdits::PlacesOf(order, {FocusedRow(m_list)});
    Rearrange(order, selected, focused.empty() ? -1 : focused.front());
}

// The paths are drawn from the store, so only the index texts, the boxes and the selection
// change in the list.
void CVeltraneDlg::Rearrange(const std::vector<int>& order, const std::vector<int>& selected,
                             int focused) {
    m_rows.reorder(order);
    const std::vector<RowStore::Row> rows = m_rows.snapshot();
    const int count = static_cast<int>(rows.size());
    for (int row = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)) - 1;
         row >= count; --row) {
        ::SendMessageW(m_list, LVM_DELETEITEM, row, 0);
    }
    SetRowState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row = 0; row < count; ++row) {
        std::wstring index = WideText::FromUtf8(FileRows::IndexText(row));
        LVITEMW item{};
        item.iSubItem = kCheckColumn;
        item.pszText = index.data();
        ::SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        SetChecked(m_list, row, rows[static_cast<std::size_t>(row)].checked);
    }
    for (const int row : RowEdits::PlacesOf(order, selected)) {
        SetRowState(m_list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (focused >= 0) {
        SetRowState(m_list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
        ::SendMessageW(m_list, LVM_ENSUREVISIBLE, focused, FALSE);
    }
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void CVeltraneDlg::OnBoxChanged(int row) {
    if (row >= 0) {
        m_rows.setChecked(row, IsChecked(m_list, row));
        return;
    }
    for (int each = 0; each < m_rows.count(); ++each) {
        m_rows.setChecked(each, IsChecked(m_list, each));
    }
}

void CVeltraneDlg::AddFiles(const std::vector<std::wstring>& paths) {
    const int first = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    for (const std::wstring& path : paths) {
        AppendRow(path);
    }
    const int end = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    for (const int row : FileRows::RowsToScrollTo(first, end)) {
        ::SendMessageW(m_list, LVM_ENSUREVISIBLE, row, FALSE);
    }
}

void CVeltraneDlg::AppendRow(const std::wstring& path) {
    const int row = static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    // Stored first, so that the list's notices about the new row find it there.
    m_rows.append(WideText::ToUtf8(path));
    std::wstring index = WideText::FromUtf8(FileRows::IndexText(row));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = index.data();
    ::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    // Drawn from the store, cut to the column's width.
    item.iSubItem = kPathColumn;
    item.pszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void CVeltraneDlg::OnUiThread(const std::function<void()>& call) {
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        ApplyPendingPosition();
        call();
        return;
    }
    // Waits for the window's thread; once the window is gone, returns at once.
    ::SendMessageW(m_hWnd, WM_APP_CALL, 0, reinterpret_cast<LPARAM>(&call));
}

std::string CVeltraneDlg::targetBoxText() {
    std::string text;
    OnUiThread([this, &text] {
        HWND box = ::GetDlgItem(m_hWnd, IDC_TARGET_PATH);
        std::wstring wide(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            ::GetWindowTextW(box, wide.data(), static_cast<int>(wide.size()))));
        text = WideText::ToUtf8(wide);
    });
    return text;
}

std::vector<ListedRow> CVeltraneDlg::listedRows() {
    return m_rows.snapshot();
}

int CVeltraneDlg::rowCount() {
    return m_rows.count();
}

bool CVeltraneDlg::isRowChecked(int row) {
    return m_rows.isChecked(row);
}

// The run reads a ticked row's path as it reaches the row.
std::string CVeltraneDlg::rowPath(int row) {
    m_runProgress.sourceReached();
    return m_rows.path(row);
}

void CVeltraneDlg::runPlanned(const std::vector<SourceFacts>& pieces) {
    m_runProgress.planned(pieces);
}

void CVeltraneDlg::setSourceLength(std::uint64_t length) {
    m_runProgress.sourceBegins(length);
}

void CVeltraneDlg::setProgressRange(std::uint32_t lower, std::uint32_t upper) {
    OnUiThread([this, lower, upper] {
        ::SendMessageW(m_progress, PBM_SETRANGE32, lower, upper);
        m_runBadge.moved(m_runProgress.done());
    });
}

// Positions come at every block: the worker leaves the latest one and goes on, and the
// window shows it when it gets to it, at most one message waiting.
void CVeltraneDlg::setProgressPosition(std::uint32_t position) {
    // A window already gone shows nothing more.
    HWND window = m_hWnd;
    m_runProgress.blockReached(position);
    if (m_position.offer(position) && window != nullptr) {
        ::PostMessageW(window, WM_APP_POSITION, 0, 0);
    }
}

void CVeltraneDlg::ApplyPendingPosition() {
    if (const std::optional<std::uint32_t> position = m_position.take()) {
        ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(*position), 0);
        m_runBadge.moved(m_runProgress.done());
    }
}

void CVeltraneDlg::showWindowMessage(const RunMessage& message) {
    const std::string text = RunBoxText::Message(
        message, [](const char* line) { return std::string(Catalog::Translated(line)); });
    OnUiThread([this, &text] { ShowMessageBox(text); });
}

bool CVeltraneDlg::askToJoinAnyway(const std::vector<JoinFinding>& findings) {
    std::string text;
    for (const std::string& line : JoinQuestion::Lines(
             findings, [](const std::string& name) { return shellQuoted(name); },
             [](const char* line) { return std::string(Catalog::Translated(line)); })) {
        text += (text.empty() ? "" : "\n") + line;
    }
    bool join = false;
    OnUiThread([this, &text, &join] {
        join = ::MessageBoxW(m_hWnd, WideText::FromUtf8(text).c_str(), ApplicationName().c_str(),
                             MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    });
    return join;
}

void CVeltraneDlg::checkingTarget(std::uint64_t /*length*/) {
    m_runProgress.checkBegins();
}

void CVeltraneDlg::targetDigested(const TargetDigest& digest) {
    if (!digest.checksumFile.empty()) {
        m_checkedAgainst = digest.checksumFile;
    }
}

void CVeltraneDlg::showApplicationNotice(const std::string& text, RunOutcome outcome) {
    const std::string shown =
        RunBoxText::Notice(text, outcome, std::exchange(m_checkedAgainst, {}),
                           [](const char* line) { return std::string(Catalog::Translated(line)); });
    OnUiThread([this, &shown, outcome] {
        m_runBadge.runEnded(outcome, m_runProgress.done());
        ShowMessageBox(shown);
        m_runBadge.noticeClosed();
    });
}

void CVeltraneDlg::ShowMessageBox(const std::string& text) {
    ::MessageBoxW(m_hWnd, WideText::FromUtf8(text).c_str(), ApplicationName().c_str(), MB_OK);
}
