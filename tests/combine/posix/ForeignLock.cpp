#include "ForeignLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

ForeignLock::ForeignLock(const std::string& path)
    : m_fd(::open(path.c_str(), O_RDWR | O_CREAT, 0644)) {
    // The mark every run agrees on: a write lock on the last byte but one a lock can name.
    struct flock mark {};
    mark.l_type = F_WRLCK;
    mark.l_whence = SEEK_SET;
    mark.l_start = std::numeric_limits<off_t>::max() - 1;
    mark.l_len = 1;
    EXPECT_EQ(::fcntl(m_fd, F_OFD_SETLK, &mark), 0);
}

ForeignLock::~ForeignLock() {
    ::close(m_fd);
}
