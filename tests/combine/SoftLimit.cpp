#include "SoftLimit.h"

SoftLimit::SoftLimit(int resource, rlim_t value) : m_resource(resource) {
    ::getrlimit(m_resource, &m_saved);
    rlimit lowered = m_saved;
    lowered.rlim_cur = value;
    ::setrlimit(m_resource, &lowered);
}

SoftLimit::~SoftLimit() {
    ::setrlimit(m_resource, &m_saved);
}
