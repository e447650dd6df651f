#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What veltrane-join was asked to do.
struct JoinOptions {
    struct Row {
        std::string path;
        bool checked = true;
    };

    bool help = false;
    bool version = false;
    bool quiet = false;
    bool trace = false;
    bool plainCopy = false;
    bool force = false;
    bool joinAnyway = false;
    // The checksum file to check the finished target against; empty to look for one.
    std::string checkAgainst;
    bool checksumSearch = true;
    // Print the target's SHA-256 as sha256sum does once it is read back.
    bool printSha256 = false;
    std::uint64_t stopAtBlock = 0;
    std::string target;
    std::vector<Row> rows;
};

// The command line read in GNU order: options anywhere before "--", "--unchecked" applying to
// the SOURCE that follows it. `error` says what was wrong, in coreutils' words, or is empty.
struct CommandLine {
    JoinOptions options;
    std::string error;

    static CommandLine parse(int argc, char** argv);
};
