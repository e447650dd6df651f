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
