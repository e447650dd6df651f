#pragma once

#include "ChecksumList.h"
#include "RunMessage.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Finds the checksum a finished target should have, in the files people keep beside a
// download: first a file the user names; else, beside the target and then beside the first
// source, TARGET.sha256 (.sha512, .sha1, .md5), then a list naming the target (SHA256SUMS and
// the like, *.sha256, *.md5), then an .sfv. Side files are opened without waiting and read up
// to 1 MiB; an empty one and the file standard output writes to are passed over.
class ChecksumSource {
public:
    struct Expected {
        Digest::Algorithm algorithm = Digest::Algorithm::Sha256;
        std::string digest;
        std::string file;
    };
    using Report = std::function<void(const RunMessage&)>;

    static constexpr std::size_t kMostRead = std::size_t{1} << 20;

    ChecksumSource(const std::string& target, const std::string& firstSource);

    // The target's checksum in `file`, or what keeps it from having one there.
    std::variant<Expected, RunMessage> named(const std::string& file) const;
    // The first checksum found for the target; each malformed side file met is reported.
    std::optional<Expected> search(const Report& report) const;

private:
    struct SideFile {
        enum class State { Missing, PassedOver, Malformed, Read } state = State::Missing;
        std::vector<ChecksumList::Entry> entries;
        std::error_code error;
    };

    static SideFile Read(const std::string& path);
    // The entry for the target; a file of one digest is the target's whatever name it gives.
    std::optional<ChecksumList::Entry> EntryFor(const std::vector<ChecksumList::Entry>& entries,
                                                bool alone) const;
    std::optional<Expected> TryFile(const std::string& path, bool alone,
                                    const Report& report) const;
    // The folders' lists (and, for `sfv`, SFV files) in the order they are tried.
    std::vector<std::string> Lists(bool sfv) const;

    std::string m_base;
    std::vector<std::filesystem::path> m_folders;
};
