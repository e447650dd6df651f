#pragma once

#include "DiskFile.h"
#include "JoinFinding.h"
#include "SourceFacts.h"

#include <string>
#include <vector>

// What would go wrong in joining `sources` into the held target, found before it is emptied:
// sources that cannot be opened, an incomplete or misordered series, volumes of a format, no
// source for a target that holds data, too little space or too large a file. Reads at most
// the first bytes of each source, never waits for one, and lists each series' folder once.
class JoinCheck {
public:
    // `sources`: the ticked rows' paths in list order.
    JoinCheck(const std::vector<std::string>& sources, const DiskFile& target,
              const std::string& targetPath);

    const std::vector<JoinFinding>& findings() const { return m_findings; }
    const std::vector<SourceFacts>& facts() const { return m_facts; }

private:
    // Opens and measures one source; its first bytes, empty when unread.
    std::string probe(const std::string& path, const DiskFile& target, const VolumeFacts& volume);
    void checkFormats(const std::vector<std::string>& heads);
    void checkSpace(const DiskFile& target, const std::string& targetPath,
                    const VolumeFacts& volume);

    std::vector<JoinFinding> m_findings;
    std::vector<SourceFacts> m_facts;
    // Every source lies on the target's file system, and that one can share extents.
    bool m_sharedExtents = true;
};
