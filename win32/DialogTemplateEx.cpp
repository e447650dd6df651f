#include "DialogTemplateEx.h"

#include "BannerChoice.h"
#include "Catalog.h"
#include "ControlIds.h"
#include "DialogForm.h"
#include "WideText.h"

#include <commctrl.h>

namespace {

// The main window opens in the middle of the screen, where a window of its own is looked for.
constexpr DWORD kMainStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                             DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | DS_CENTER;
constexpr DWORD kAboutStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
constexpr WORD kDialogFontPoints = 8;
constexpr WORD kOrdinalMark = 0xFFFF;

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(const FormControl& control) {
    const DWORD traits = control.traits;
    switch (control.kind) {
    case ControlKind::Edit:
        return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP |
                             ((traits & kReadOnly) != 0 ? DWORD{ES_READONLY} : 0)};
    case ControlKind::Button:
        return {L"BUTTON",
                WS_TABSTOP | static_cast<DWORD>((traits & kDefaultButton) != 0 ? BS_DEFPUSHBUTTON
                                                                               : BS_PUSHBUTTON)};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_ALIGNLEFT | WS_BORDER | WS_TABSTOP};
    case ControlKind::Progress:
        return {PROGRESS_CLASSW, WS_BORDER};
    case ControlKind::Picture:
        // The banner is stretched to its rectangle, whatever the dialog font's size.
        return {L"STATIC", SS_BITMAP | SS_REALSIZECONTROL};
    case ControlKind::Icon:
        return {L"STATIC", SS_ICON};
    case ControlKind::Text:
        break;
    }
    return {L"STATIC", SS_LEFT | ((traits & kNoPrefix) != 0 ? DWORD{SS_NOPREFIX} : 0)};
}

// Pictures and icons name their image by resource number instead of a text; the banner is the
// one in the language of the texts.
int ImageOf(const FormControl& control) {
    if (control.kind == ControlKind::Picture) {
        return BannerChoice::ForCatalog(Catalog::Language()) == BannerChoice::Banner::English
                   ? ControlIds::IDB_BANNER_EN
                   : ControlIds::IDB_BANNER;
    }
    return control.kind == ControlKind::Icon ? ControlIds::IDR_MAINFRAME : 0;
}

} // namespace

DialogTemplateEx::DialogTemplateEx(const DialogForm& form) {
    AddDialogHeader(form);
    for (const FormControl& control : form.controls) {
        AlignToDword();
        const ControlClass kind = ClassOf(control);
        AddDword(0); // help id
        AddDword(0); // extended style
        AddDword(WS_CHILD | WS_VISIBLE | kind.style);
        for (const int value :
             {control.rect.x, control.rect.y, control.rect.width, control.rect.height}) {
            AddWord(static_cast<WORD>(value));
        }
        AddDword(static_cast<DWORD>(control.id));
        AddText(kind.name);
        if (const int image = ImageOf(control); image != 0) {
            AddWord(kOrdinalMark);
            AddWord(static_cast<WORD>(image));
        } else {
            AddUtf8(Catalog::Translated(control.text));
        }
        AddWord(0); // no creation data
    }
}

void DialogTemplateEx::AddDialogHeader(const DialogForm& form) {
    const bool main = form.id == ControlIds::IDD_MAIN;
    AddWord(1);            // version
    AddWord(kOrdinalMark); // extended template
    AddDword(0);           // help id
    AddDword(main ? WS_EX_APPWINDOW : 0);
    AddDword(main ? kMainStyle : kAboutStyle);
    AddWord(static_cast<WORD>(form.controls.size()));
    for (const int value : {0, 0, form.width, form.height}) {
        AddWord(static_cast<WORD>(value));
    }
    AddWord(0); // no menu
    AddWord(0); // the dialog class
    AddUtf8(Catalog::Translated(form.caption));
    AddWord(kDialogFontPoints);
    AddWord(FW_NORMAL);
    AddWord(MAKEWORD(FALSE, DEFAULT_CHARSET)); // not italic; the character set
    AddText(L"MS Shell Dlg");
}

void DialogTemplateEx::AddDword(DWORD dword) {
    AddWord(LOWORD(dword));
    AddWord(HIWORD(dword));
}

void DialogTemplateEx::AddText(const wchar_t* text) {
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        AddWord(static_cast<WORD>(*c));
    }
    AddWord(0);
}

void DialogTemplateEx::AddUtf8(const char* text) {
    AddText(WideText::FromUtf8(text).c_str());
}

void DialogTemplateEx::AlignToDword() {
    if (m_words.size() % 2 != 0) {
        AddWord(0);
    }
}
