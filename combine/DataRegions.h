#pragma once

#include "DiskFile.h"

#include <cstdint>

// Walks a source's data regions front to back, asking the file system once per region, so
// that holes are neither read nor written and a dense file costs a single question.
class DataRegions {
public:
    explicit DataRegions(const DiskFile& source) : m_source(source) {}

    // The first data of [from, to), up to where that region ends or `to`; empty at `to`
    // when [from, to) is all hole. Calls must not go backwards.
    DiskFile::Region within(std::uint64_t from, std::uint64_t to);

private:
    const DiskFile& m_source;
    DiskFile::Region m_current;
};
