#pragma once

#include <string>
#include <windows.h>

// What a screen reader is told of the controls whose own text does not say what they are.
class AccessibleProps {
public:
    AccessibleProps() = default;
    AccessibleProps(const AccessibleProps&) = delete;
    AccessibleProps& operator=(const AccessibleProps&) = delete;
    AccessibleProps(AccessibleProps&&) = delete;
    AccessibleProps& operator=(AccessibleProps&&) = delete;
    virtual ~AccessibleProps() = default;

    virtual void Name(HWND control, const std::wstring& name) = 0;
    // A static text that opens `address`: a link named `name`, its address as value and
    // description.
    virtual void Link(HWND control, const std::wstring& name, const std::wstring& address) = 0;
};
