#pragma once

#include "Digest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a checksum file, as `sha256sum -c` and SFV readers take them: GNU lines
// ("DIGEST  NAME", "DIGEST *NAME", backslash-escaped names), BSD lines ("SHA256 (NAME) = DIGEST"),
// a digest alone, and SFV lines ("NAME CRC32") with ";" comments.
class ChecksumList {
public:
    struct Entry {
        Digest::Algorithm algorithm = Digest::Algorithm::Sha256;
        // Lowercase hexadecimal.
        std::string digest;
        // As the line gives it, escapes undone; empty for a digest alone.
        std::string name;
    };

    // Nothing when a line is not one of those forms or no line holds a digest: such a file is
    // not trusted.
    static std::optional<std::vector<Entry>> Parse(std::string_view text, bool sfv);

private:
    static std::optional<Entry> ParseLine(std::string_view line, bool sfv);
    static std::optional<Entry> ParseBsd(std::string_view line);
    static std::optional<Entry> ParseGnu(std::string_view line);
    static std::optional<Entry> ParseSfv(std::string_view line);
    // The digest in lowercase when `text` is one of `algorithm`'s length, else empty.
    static std::string DigestOf(std::string_view text, Digest::Algorithm algorithm);
    static std::optional<Digest::Algorithm> AlgorithmOfLength(std::size_t length);
    static std::optional<std::string> Unescaped(std::string_view name);
};
