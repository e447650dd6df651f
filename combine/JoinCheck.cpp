#include "JoinCheck.h"

#include "FileError.h"
#include "FormatSignatures.h"
#include "SeriesRule.h"
#include "Utf8Path.h"

#include <map>

namespace {

using Kind = JoinFinding::Kind;

std::uint64_t dataBytesOf(const DiskFile& file) {
    std::uint64_t bytes = 0;
    for (auto region = file.nextData(0); region.start < region.end;
         region = file.nextData(region.end)) {
        bytes += region.end - region.start;
    }
    return bytes;
}

} // namespace

JoinCheck::JoinCheck(const std::vector<std::string>& sources, const DiskFile& target,
                     const std::string& targetPath) {
    const VolumeFacts volume = target.volume();
    m_sharedExtents = volume.sharesExtents && volume.id != 0;
    std::vector<std::string> heads;
    heads.reserve(sources.size());
    for (const std::string& path : sources) {
        heads.push_back(probe(path, target, volume));
    }
    if (sources.empty() && target.length() > 0) {
        m_findings.push_back({.kind = Kind::NothingTicked, .paths = {targetPath}});
    }
    for (JoinFinding& finding : SeriesRule::Findings(m_facts)) {
        m_findings.push_back(std::move(finding));
    }
    checkFormats(heads);
    checkSpace(target, targetPath, volume);
}

std::string JoinCheck::probe(const std::string& path, const DiskFile& target,
                             const VolumeFacts& volume) {
    SourceFacts& facts = m_facts.emplace_back(SourceFacts{path});
    DiskFile source;
    if (source.probeSource(path, target)) {
        facts.opened = true;
        facts.length = source.length();
        facts.dataBytes = dataBytesOf(source);
        m_sharedExtents = m_sharedExtents && source.volume().id == volume.id;
        std::string head(FormatSignatures::kHeadBytes, '\0');
        head.resize(source.readHead(head));
        return head;
    }
    m_sharedExtents = false;
    const std::error_code reason = source.lastError();
    if (reason == std::errc::operation_would_block) {
        // Held under another program's lease: the run waits for it at its turn.
        std::error_code unknown;
        const auto length = std::filesystem::file_size(Utf8Path::Native(path), unknown);
        facts.length = unknown ? 0 : length;
        facts.dataBytes = facts.length;
    } else if (reason != FileError::IsTheTarget) {
        m_findings.push_back({.kind = Kind::CannotOpen, .paths = {path}, .error = reason});
    }
    return {};
}

void JoinCheck::checkFormats(const std::vector<std::string>& heads) {
    std::map<const FormatSignatures::Format*, std::vector<std::string>> volumes;
    std::vector<std::string> descriptors;
    for (std::size_t row = 0; row < heads.size(); ++row) {
        if (const auto* format = FormatSignatures::Recognised(heads[row])) {
            volumes[format].push_back(m_facts[row].path);
        } else if (FormatSignatures::IsDescriptor(heads[row])) {
            descriptors.push_back(m_facts[row].path);
        }
    }
    for (auto& [format, paths] : volumes) {
        if (paths.size() > 1) {
            m_findings.push_back(
                {.kind = Kind::FormatVolumes, .paths = std::move(paths), .detail = format->name});
        }
    }
    if (!descriptors.empty() && heads.size() > 1) {
        m_findings.push_back({.kind = Kind::DescriptorWithOthers, .paths = std::move(descriptors)});
    }
}

void JoinCheck::checkSpace(const DiskFile& target, const std::string& targetPath,
                           const VolumeFacts& volume) {
    std::uint64_t length = 0;
    std::uint64_t data = 0;
    for (const SourceFacts& source : m_facts) {
        length += source.length;
        data += source.dataBytes;
    }
    if (length > volume.largestFile) {
        m_findings.push_back({.kind = Kind::TooLarge,
                              .paths = {targetPath},
                              .needed = length,
                              .available = volume.largestFile});
    }
    // The target's own space is free again once it is emptied.
    const std::uint64_t own = target.allocatedBytes();
    const std::uint64_t available = volume.freeBytes > VolumeFacts::kUnlimited - own
                                        ? VolumeFacts::kUnlimited
                                        : volume.freeBytes + own;
    if (!m_sharedExtents && data > available) {
        m_findings.push_back(
            {.kind = Kind::NoSpace, .paths = {targetPath}, .needed = data, .available = available});
    }
}
