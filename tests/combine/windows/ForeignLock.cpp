#include "ForeignLock.h"

#include "FileBytes.h"

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

ForeignLock::ForeignLock(const std::string& path) {
    // Share mode 0, as a run opens its target; the handle kept as a C library descriptor.
    const HANDLE file = ::CreateFileW(FileBytes::native(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
    EXPECT_GE(m_fd, 0);
}

ForeignLock::~ForeignLock() {
    ::_close(m_fd);
}
