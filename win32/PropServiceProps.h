#pragma once

#include "AccessibleProps.h"

#include <oleacc.h>
#include <vector>

// The names and links given through the system's accessibility property service, which screen
// readers ask before the controls themselves. Where the system has no such service, controls
// keep what they say of themselves.
class PropServiceProps final : public AccessibleProps {
public:
    PropServiceProps();
    PropServiceProps(const PropServiceProps&) = delete;
    PropServiceProps& operator=(const PropServiceProps&) = delete;
    PropServiceProps(PropServiceProps&&) = delete;
    PropServiceProps& operator=(PropServiceProps&&) = delete;
    // Takes back everything given, as the service wants of a window that is gone.
    ~PropServiceProps() override;

    void Name(HWND control, const std::wstring& name) override;
    void Link(HWND control, const std::wstring& name, const std::wstring& address) override;

private:
    void SetText(HWND control, const MSAAPROPID& property, const std::wstring& text);

    bool m_comStarted;
    IAccPropServices* m_service = nullptr;
    std::vector<HWND> m_given;
};
