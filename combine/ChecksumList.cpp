#include "ChecksumList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace {

using Algorithm = Digest::Algorithm;

constexpr std::array<std::pair<std::string_view, Algorithm>, 4> kBsdTags{{
    {"SHA256", Algorithm::Sha256},
    {"SHA512", Algorithm::Sha512},
    {"SHA1", Algorithm::Sha1},
    {"MD5", Algorithm::Md5},
}};

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string_view trimmedRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<std::vector<ChecksumList::Entry>> ChecksumList::Parse(std::string_view text,
                                                                    bool sfv) {
    std::vector<Entry> entries;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (trimmedRight(line).empty() || line.front() == (sfv ? ';' : '#')) {
            continue;
        }
        auto entry = ParseLine(line, sfv);
        if (!entry) {
            return std::nullopt;
        }
        entries.push_back(std::move(*entry));
    }
    return entries.empty() ? std::nullopt : std::optional(std::move(entries));
}

std::optional<ChecksumList::Entry> ChecksumList::ParseLine(std::string_view line, bool sfv) {
    if (sfv) {
        return ParseSfv(line);
    }
    // A leading backslash says the name holds escapes, in either form.
    const bool escaped = line.front() == '\\';
    if (escaped) {
        line.remove_prefix(1);
    }
    auto entry = ParseBsd(line);
    if (!entry) {
        entry = ParseGnu(line);
    }
    if (entry && escaped) {
        auto name = Unescaped(entry->name);
        if (!name) {
            return std::nullopt;
        }
        entry->name = std::move(*name);
    }
    return entry;
}

std::optional<ChecksumList::Entry> ChecksumList::ParseBsd(std::string_view line) {
    for (const auto& [tag, algorithm] : kBsdTags) {
        if (!line.starts_with(tag)) {
            continue;
        }
        std::string_view rest = line.substr(tag.size());
        if (rest.starts_with(' ')) {
            rest.remove_prefix(1);
        }
        const std::size_t close = rest.rfind(") = ");
        if (!rest.starts_with('(') || close == std::string_view::npos) {
            return std::nullopt;
        }
        std::string digest = DigestOf(trimmedRight(rest.substr(close + 4)), algorithm);
        if (digest.empty()) {
            return std::nullopt;
        }
        return Entry{algorithm, std::move(digest), std::string(rest.substr(1, close - 1))};
    }
    return std::nullopt;
}

std::optional<ChecksumList::Entry> ChecksumList::ParseGnu(std::string_view line) {
    const auto* const hexEnd = std::find_if_not(line.begin(), line.end(), isHex);
    const auto length = static_cast<std::size_t>(hexEnd - line.begin());
    const auto algorithm = AlgorithmOfLength(length);
    if (!algorithm) {
        return std::nullopt;
    }
    std::string digest = DigestOf(line.substr(0, length), *algorithm);
    std::string_view rest = line.substr(length);
    if (trimmedRight(rest).empty()) {
        return Entry{*algorithm, std::move(digest), {}};
    }
    // One space, then a second one or the '*' of binary mode, then the name.
    if (rest.size() < 3 || rest[0] != ' ' || (rest[1] != ' ' && rest[1] != '*')) {
        return std::nullopt;
    }
    return Entry{*algorithm, std::move(digest), std::string(rest.substr(2))};
}

std::optional<ChecksumList::Entry> ChecksumList::ParseSfv(std::string_view line) {
    line = trimmedRight(line);
    const std::size_t gap = line.find_last_of(" \t");
    if (gap == std::string_view::npos) {
        return std::nullopt;
    }
    std::string digest = DigestOf(line.substr(gap + 1), Algorithm::Crc32);
    const std::string_view name = trimmedRight(line.substr(0, gap));
    if (digest.empty() || name.empty()) {
        return std::nullopt;
    }
    return Entry{Algorithm::Crc32, std::move(digest), std::string(name)};
}

std::string ChecksumList::DigestOf(std::string_view text, Digest::Algorithm algorithm) {
    if (text.size() != Digest::hexLength(algorithm) || !std::ranges::all_of(text, isHex)) {
        return {};
    }
    std::string digest(text);
    std::ranges::transform(digest, digest.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return digest;
}

std::optional<Digest::Algorithm> ChecksumList::AlgorithmOfLength(std::size_t length) {
    for (const Algorithm algorithm :
         {Algorithm::Sha256, Algorithm::Sha512, Algorithm::Sha1, Algorithm::Md5}) {
        if (Digest::hexLength(algorithm) == length) {
            return algorithm;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ChecksumList::Unescaped(std::string_view name) {
    std::string plain;
    plain.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            plain.push_back(name[i]);
            continue;
        }
        if (++i == name.size()) {
            return std::nullopt;
        }
        switch (name[i]) {
        case '\\':
            plain.push_back('\\');
            break;
        case 'n':
            plain.push_back('\n');
            break;
        case 'r':
            plain.push_back('\r');
            break;
        default:
            return std::nullopt;
        }
    }
    return plain;
}
