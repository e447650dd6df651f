#pragma once

// Marks a text the user reads where it is written, so that the catalog check finds it; each
// program translates it where it shows it.
constexpr const char* Translatable(const char* text) {
    return text;
}
