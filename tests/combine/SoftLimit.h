#pragma once

#include <sys/resource.h>

// Lowers one of the process's soft limits for the life of the object.
class SoftLimit {
public:
    SoftLimit(int resource, rlim_t value);
    SoftLimit(const SoftLimit&) = delete;
    SoftLimit& operator=(const SoftLimit&) = delete;
    SoftLimit(SoftLimit&&) = delete;
    SoftLimit& operator=(SoftLimit&&) = delete;
    ~SoftLimit();

private:
    int m_resource;
    rlimit m_saved{};
};
