#include "SmallTmpfs.h"

#include <filesystem>
#include <sys/mount.h>

SmallTmpfs::SmallTmpfs(std::string path) : m_path(std::move(path)) {
    std::filesystem::create_directory(m_path);
    m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=1m") == 0;
}

SmallTmpfs::~SmallTmpfs() {
    if (m_mounted) {
        ::umount(m_path.c_str());
    }
}
