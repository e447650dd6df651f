#pragma once

#include "TextMark.h"

// The engine's own texts; each host shows them in its user's language.
namespace EngineTexts {
inline constexpr const char* kWaitCurrentThread = Translatable("wait current thread");
inline constexpr const char* kCombineEnd = Translatable("combine end");
inline constexpr const char* kCreateTargetFailed = Translatable("创建目标文件失败");
inline constexpr const char* kOpenSourceFailed = Translatable("打开源文件失败");
inline constexpr const char* kReadSourceFailed = Translatable("读取源文件失败");
inline constexpr const char* kSourceGrew = Translatable("源文件在合并期间变长");
inline constexpr const char* kWriteTargetFailed = Translatable("写入目标文件失败");
inline constexpr const char* kOutOfMemory = Translatable("内存不足");
inline constexpr const char* kChecksumMismatch = Translatable("目标文件与校验和不符");
inline constexpr const char* kChecksumMalformed = Translatable("校验和文件格式有误，未采用");
inline constexpr const char* kChecksumNotListed = Translatable("校验和文件中没有目标文件的校验和");
inline constexpr const char* kOpenChecksumFailed = Translatable("打开校验和文件失败");
inline constexpr const char* kReadBackFailed = Translatable("读回目标文件失败，未校验");
} // namespace EngineTexts
