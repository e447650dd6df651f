#pragma once

enum class Language {
    // The program's texts as they are written, Chinese and English side by side.
    AsWritten,
    English,
    Chinese,
};
