#include "ForeignLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

ForeignLock::ForeignLock(const std::string& path)
    : m_fd(::open(path.c_str(), O_RDWR | O_CREAT, 0644)) {
    EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0);
}

ForeignLock::~ForeignLock() {
    ::close(m_fd);
}
