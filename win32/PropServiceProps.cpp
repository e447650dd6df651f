#include "PropServiceProps.h"

#include <algorithm>
#include <array>

namespace {
const std::array kGiven{PROPID_ACC_NAME, PROPID_ACC_ROLE, PROPID_ACC_VALUE, PROPID_ACC_DESCRIPTION};
} // namespace

PropServiceProps::PropServiceProps()
    : m_comStarted(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    // mingw-w64 gives this interface no uuidof for IID_PPV_ARGS.
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, reinterpret_cast<void**>(&m_service)))) {
        m_service = nullptr;
    }
}

PropServiceProps::~PropServiceProps() {
    if (m_service != nullptr) {
        for (HWND control : m_given) {
            m_service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      kGiven.data(), static_cast<int>(kGiven.size()));
        }
        m_service->Release();
    }
    if (m_comStarted) {
        ::CoUninitialize();
    }
}

void PropServiceProps::Name(HWND control, const std::wstring& name) {
    SetText(control, PROPID_ACC_NAME, name);
}

void PropServiceProps::Link(HWND control, const std::wstring& name, const std::wstring& address) {
    SetText(control, PROPID_ACC_NAME, name);
    SetText(control, PROPID_ACC_VALUE, address);
    SetText(control, PROPID_ACC_DESCRIPTION, address);
    if (m_service != nullptr) {
        VARIANT role{};
        role.vt = VT_I4;
        role.lVal = ROLE_SYSTEM_LINK;
        m_service->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               PROPID_ACC_ROLE, role);
    }
}

void PropServiceProps::SetText(HWND control, const MSAAPROPID& property, const std::wstring& text) {
    if (m_service == nullptr) {
        return;
    }
    m_service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                              text.c_str());
    if (std::ranges::find(m_given, control) == m_given.end()) {
        m_given.push_back(control);
    }
}
