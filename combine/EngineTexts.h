#pragma once

// The engine's own texts, shown to the user as they stand.
namespace EngineTexts {
inline constexpr const char* kWaitCurrentThread = "wait current thread";
inline constexpr const char* kCombineEnd = "combine end";
inline constexpr const char* kCreateTargetFailed = "创建目标文件失败";
inline constexpr const char* kOpenSourceFailed = "打开源文件失败";
inline constexpr const char* kReadSourceFailed = "读取源文件失败";
inline constexpr const char* kWriteTargetFailed = "写入目标文件失败";
inline constexpr const char* kOutOfMemory = "内存不足";
} // namespace EngineTexts
