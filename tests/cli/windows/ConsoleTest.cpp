#include "Console.h"

#include <gtest/gtest.h>

TEST(ConsoleTest, WideArgumentsArriveAsUtf8AndOnlyARealConsoleRedrawsALine) {
    std::wstring chinese = L"目标 1.vmdk";
    std::wstring beyondTheBasicPlane = L"\U0001F4BE";
    std::wstring loneSurrogate = L"a\xD800"; // no valid name: it must name no file
    std::vector<wchar_t*> argv{chinese.data(), beyondTheBasicPlane.data(), loneSurrogate.data()};
    EXPECT_EQ(Console::utf8Arguments(3, argv.data()),
              (std::vector<std::string>{"目标 1.vmdk", "\xF0\x9F\x92\xBE", ""}));

    std::FILE* nul = std::fopen("NUL", "w");
    EXPECT_FALSE(Console::canRedrawLine(nul));
    std::fclose(nul);
}
