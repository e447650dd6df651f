#pragma once

#include <span>

// A dialog as its template lays it out, free of any toolkit: each window turns the kinds and
// traits into its own controls. Texts are UTF-8; rectangles are in dialog units.
enum class ControlKind { Text, Edit, Button, ListView, Progress, Picture, Icon };

enum ControlTrait : unsigned {
    kNoTraits = 0,
    kReadOnly = 1U << 0,
    kDefaultButton = 1U << 1,
    // The text's '&' is shown, not taken as a mnemonic.
    kNoPrefix = 1U << 2,
};

struct UnitRect {
    int x;
    int y;
    int width;
    int height;
};

struct FormControl {
    int id;
    ControlKind kind;
    // How tests and the Qt window find the control.
    const char* name;
    const char* text;
    UnitRect rect;
    unsigned traits;
};

struct DialogForm {
    int id;
    const char* caption;
    int width;
    int height;
    // Template order, which is also the tab order.
    std::span<const FormControl> controls;

    const FormControl& control(int controlId) const;
    const FormControl& control(const char* controlName) const;
};

namespace DialogForms {
const DialogForm& Main();
const DialogForm& About();
} // namespace DialogForms
