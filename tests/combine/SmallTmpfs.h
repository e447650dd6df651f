#pragma once

#include <string>

// A tiny file system that fills up quickly; needs the right to mount.
class SmallTmpfs {
public:
    explicit SmallTmpfs(std::string path);
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;
    SmallTmpfs(SmallTmpfs&&) = delete;
    SmallTmpfs& operator=(SmallTmpfs&&) = delete;
    ~SmallTmpfs();

    bool mounted() const { return m_mounted; }

private:
    std::string m_path;
    bool m_mounted = false;
};
