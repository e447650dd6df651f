#pragma once

#include "EngineTexts.h"

#include <string>
#include <system_error>
#include <utility>

// What a run has to tell its user, for each host to word its own way: a window shows the text
// alone, a console also names the file and the system's reason.
struct RunMessage {
    enum class Kind {
        WaitCurrentThread,
        OutOfMemory,
        CreateTarget,
        // A ticked row names the target itself; `otherPath` is that row's path.
        TargetIsSource,
        // The target holds data and the host asked not to replace it.
        TargetNotEmpty,
        OpenSource,
        ReadSource,
        // The source delivered fewer bytes than its length; the rest of its span is zeros.
        SourceEndedEarly,
        // The source held more than its opened length once its span was written; the rest is
        // not in the target.
        SourceGrew,
        WriteTarget,
        // The target read back does not match the checksum file `otherPath` gives for it.
        ChecksumMismatch,
        // A checksum file that is not one of the forms read; `path` is that file.
        ChecksumMalformed,
        // A side file met in the search for a checksum that is malformed: passed over, a
        // warning that leaves the run as it was.
        SideFileMalformed,
        // The checksum file the user named holds none for the target.
        ChecksumNotListed,
        OpenChecksum,
        // The finished target could not be read back to be checked.
        ReadBack,
    };

    explicit RunMessage(Kind kind, std::string path = {}, std::error_code error = {},
                        std::string otherPath = {})
        : kind(kind), path(std::move(path)), otherPath(std::move(otherPath)), error(error) {}

    Kind kind;
    // The file concerned; empty when none.
    std::string path;
    std::string otherPath;
    // The system's reason, when it gave one.
    std::error_code error;
    // Of a mismatch: the digest the checksum file gives, and the one read back.
    std::string expected;
    std::string actual;

    const char* text() const {
        switch (kind) {
        case Kind::WaitCurrentThread:
            return EngineTexts::kWaitCurrentThread;
        case Kind::OutOfMemory:
            return EngineTexts::kOutOfMemory;
        case Kind::CreateTarget:
        case Kind::TargetIsSource:
        case Kind::TargetNotEmpty:
            return EngineTexts::kCreateTargetFailed;
        case Kind::OpenSource:
            return EngineTexts::kOpenSourceFailed;
        case Kind::ReadSource:
        case Kind::SourceEndedEarly:
            return EngineTexts::kReadSourceFailed;
        case Kind::SourceGrew:
            return EngineTexts::kSourceGrew;
        case Kind::WriteTarget:
            return EngineTexts::kWriteTargetFailed;
        case Kind::ChecksumMismatch:
            return EngineTexts::kChecksumMismatch;
        case Kind::ChecksumMalformed:
        case Kind::SideFileMalformed:
            return EngineTexts::kChecksumMalformed;
        case Kind::ChecksumNotListed:
            return EngineTexts::kChecksumNotListed;
        case Kind::OpenChecksum:
            return EngineTexts::kOpenChecksumFailed;
        case Kind::ReadBack:
            return EngineTexts::kReadBackFailed;
        }
        return EngineTexts::kWriteTargetFailed;
    }
};
