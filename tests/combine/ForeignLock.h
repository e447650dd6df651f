#pragma once

#include <string>

// Holds a file the way another running copy of the tool holds its target.
class ForeignLock {
public:
    explicit ForeignLock(const std::string& path);
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;
    ForeignLock(ForeignLock&&) = delete;
    ForeignLock& operator=(ForeignLock&&) = delete;
    ~ForeignLock();

private:
    int m_fd;
};
