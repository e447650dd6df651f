#pragma once

#include "VolumeFacts.h"

#include <cstddef>
#include <functional>
#include <optional>

// For tests: makes chosen calls of the file layer answer the way a failing or unusual system
// would, so that the engine's answers to them can be checked on any disk. Nothing is armed in
// a normal run, and then each call costs one atomic load.
class FileFaults {
public:
    // WriteOut: the wait for a written range to reach the disk, on systems that wait for one.
    // Identity: the query of a file's id, which some network volumes answer with none (Windows).
    // FolderFlush: the flush of the folder that a created target's name lives in (POSIX).
    // ReadBack: the moment a finished target, its cache dropped, is about to be read back.
    enum class Call {
        Lock,
        KernelCopy,
        Read,
        Write,
        WriteOut,
        Flush,
        FolderFlush,
        Identity,
        ReadBack
    };

    struct Fault {
        Call call = Call::Read;
        // The system's error number the call fails with; 0 to let it run, on at most `count`
        // bytes (0: it moves nothing, as at a file's end).
        int error = 0;
        std::size_t count = 0;
        // Calls of that kind that go through untouched before the fault strikes, once.
        int skip = 0;
        // Runs as the fault strikes, on the thread making the call, before it runs or fails.
        std::function<void()> struck = nullptr;
    };

    // Arms `fault` in addition to those armed already.
    static void arm(const Fault& fault);
    // Every file then reports lying on `facts`, in place of its own volume, until disarmed.
    static void fakeVolume(const VolumeFacts& facts);
    static void disarmAll();
    // The fault armed for this call, used up by the asking; for the file layer only.
    static std::optional<Fault> take(Call call);
    static std::optional<VolumeFacts> fakedVolume();
};
