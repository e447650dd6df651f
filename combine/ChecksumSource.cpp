#include "ChecksumSource.h"

#include "DiskFile.h"
#include "Utf8Path.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 4> kSideExtensions{".sha256", ".sha512", ".sha1", ".md5"};
constexpr std::array<std::string_view, 4> kListNames{"SHA256SUMS", "SHA512SUMS", "SHA1SUMS",
                                                     "MD5SUMS"};

std::string baseName(std::string_view name) {
#ifdef _WIN32
    const std::size_t slash = name.find_last_of("/\\");
#else
    const std::size_t slash = name.find_last_of('/');
#endif
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string joined(const std::filesystem::path& folder, std::string_view name) {
    return Utf8Path::Text(folder / Utf8Path::Native(std::string(name)));
}

} // namespace

ChecksumSource::ChecksumSource(const std::string& target, const std::string& firstSource)
    : m_base(baseName(target)) {
    for (const std::string& path : {target, firstSource}) {
        if (path.empty()) {
            continue;
        }
        const std::filesystem::path folder = Utf8Path::Native(path).parent_path();
        if (std::ranges::find(m_folders, folder) == m_folders.end()) {
            m_folders.push_back(folder);
        }
    }
}

std::variant<ChecksumSource::Expected, RunMessage>
ChecksumSource::named(const std::string& file) const {
    using Kind = RunMessage::Kind;
    const SideFile side = Read(file);
    switch (side.state) {
    case SideFile::State::Missing:
        return RunMessage(Kind::OpenChecksum, file, side.error);
    case SideFile::State::Malformed:
        return RunMessage(Kind::ChecksumMalformed, file);
    case SideFile::State::PassedOver:
        return RunMessage(Kind::ChecksumNotListed, file);
    case SideFile::State::Read:
        break;
    }
    if (auto entry = EntryFor(side.entries, true)) {
        return Expected{entry->algorithm, entry->digest, file};
    }
    return RunMessage(Kind::ChecksumNotListed, file);
}

std::optional<ChecksumSource::Expected> ChecksumSource::search(const Report& report) const {
    for (const std::filesystem::path& folder : m_folders) {
        for (const std::string_view extension : kSideExtensions) {
            if (auto found =
                    TryFile(joined(folder, m_base + std::string(extension)), true, report)) {
                return found;
            }
        }
    }
    for (const bool sfv : {false, true}) {
        for (const std::string& list : Lists(sfv)) {
            if (auto found = TryFile(list, false, report)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

std::optional<ChecksumSource::Expected> ChecksumSource::TryFile(const std::string& path, bool alone,
                                                                const Report& report) const {
    const SideFile side = Read(path);
    if (side.state == SideFile::State::Malformed) {
        report(RunMessage(RunMessage::Kind::SideFileMalformed, path));
    }
    if (side.state != SideFile::State::Read) {
        return std::nullopt;
    }
    auto entry = EntryFor(side.entries, alone);
    return entry ? std::optional(Expected{entry->algorithm, entry->digest, path}) : std::nullopt;
}

ChecksumSource::SideFile ChecksumSource::Read(const std::string& path) {
    SideFile side;
    DiskFile file;
    if (!file.probeSource(path, DiskFile())) {
        side.error = file.lastError();
        return side;
    }
    if (file.length() == 0 || file.isStandardOutput()) {
        side.state = SideFile::State::PassedOver;
        return side;
    }
    std::string text(std::min<std::uint64_t>(file.length(), kMostRead), '\0');
    text.resize(file.readHead(text));
    // A longer file is cut at its last whole line within what was read.
    if (file.length() > kMostRead) {
        text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    }
    const bool sfv = Utf8Path::Native(path).extension() == ".sfv";
    auto entries = ChecksumList::Parse(text, sfv);
    side.state = entries ? SideFile::State::Read : SideFile::State::Malformed;
    if (entries) {
        side.entries = std::move(*entries);
    }
    return side;
}

std::optional<ChecksumList::Entry>
ChecksumSource::EntryFor(const std::vector<ChecksumList::Entry>& entries, bool alone) const {
    if (alone && entries.size() == 1) {
        return entries.front();
    }
    const auto named = std::ranges::find_if(entries, [this](const ChecksumList::Entry& entry) {
        return !entry.name.empty() && baseName(entry.name) == m_base;
    });
    return named == entries.end() ? std::nullopt : std::optional(*named);
}

std::vector<std::string> ChecksumSource::Lists(bool sfv) const {
    std::vector<std::string> lists;
    for (const std::filesystem::path& folder : m_folders) {
        std::vector<std::string> names;
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
             !error && entry != end; entry.increment(error)) {
            names.push_back(Utf8Path::Text(entry->path().filename()));
        }
        std::ranges::sort(names);
        const auto isList = [&](const std::string& name) {
            if (sfv) {
                return name.ends_with(".sfv");
            }
            // TARGET.sha256 and its kind were tried already.
            return std::ranges::any_of(kSideExtensions, [&](std::string_view extension) {
                return name.ends_with(extension) && name != m_base + std::string(extension);
            });
        };
        if (!sfv) {
            for (const std::string_view list : kListNames) {
                if (std::ranges::find(names, list) != names.end()) {
                    lists.push_back(joined(folder, list));
                }
            }
        }
        for (const std::string& name : names) {
            if (isList(name)) {
                lists.push_back(joined(folder, name));
            }
        }
    }
    return lists;
}
