#include "Console.h"

#include <cstdio>
#include <gtest/gtest.h>

TEST(ConsoleTest, WideArgumentsArriveAsUtf8AndBrokenOnesNameNoFile) {
    std::wstring chinese = L"目标 1.vmdk";
    std::wstring beyondTheBasicPlane = L"\U0001F4BE.img";
    std::wstring loneSurrogate = L"a\xD800.img";
    std::vector<wchar_t*> argv{chinese.data(), beyondTheBasicPlane.data(), loneSurrogate.data()};

    EXPECT_EQ(Console::utf8Arguments(3, argv.data()),
              (std::vector<std::string>{"目标 1.vmdk", "\xF0\x9F\x92\xBE.img", ""}));
}

TEST(ConsoleTest, OnlyARealConsoleGetsAProgressLine) {
    std::FILE* nul = std::fopen("NUL", "w");
    std::FILE* file = std::tmpfile();
    ASSERT_NE(nul, nullptr);
    ASSERT_NE(file, nullptr);

    EXPECT_FALSE(Console::canRedrawLine(nul));
    EXPECT_FALSE(Console::canRedrawLine(file));
    std::fclose(nul);
    std::fclose(file);
}
