#include "MiddleCut.h"

namespace {

bool IsSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}

// The end of the path's first folder, its separator included ("/home/", "C:\"); 0 if none.
std::size_t HeadEnd(const std::u16string& path) {
    std::size_t at = 0;
    while (at < path.size() && IsSeparator(path[at])) {
        ++at;
    }
    while (at < path.size() && !IsSeparator(path[at])) {
        ++at;
    }
    return at < path.size() ? at + 1 : 0;
}

std::u16string Joined(const std::u16string& path, std::size_t headEnd, std::size_t tailStart) {
    return path.substr(0, headEnd) + MiddleCut::kEllipsis + path.substr(tailStart);
}

// Keeps `kept` characters, the end getting the odd one: the end tells like paths apart.
std::u16string CharacterCut(const std::u16string& path, std::size_t kept) {
    const std::size_t head = kept / 2;
    return Joined(path, head, path.size() - (kept - head));
}

} // namespace

std::u16string MiddleCut::Cut(const std::u16string& path, int width, const Measure& widthOf) {
    if (widthOf(path) <= width) {
        return path;
    }
    const std::size_t headEnd = HeadEnd(path);
    // The separator that starts the tail: the longest tail that fits wins.
    for (std::size_t at = headEnd; headEnd > 0 && at < path.size(); ++at) {
        if (IsSeparator(path[at]) && at > headEnd) {
            if (std::u16string cut = Joined(path, headEnd, at); widthOf(cut) <= width) {
                return cut;
            }
        }
    }
    std::size_t fits = 0;
    std::size_t tooMany = path.size();
    while (tooMany - fits > 1) {
        const std::size_t kept = fits + (tooMany - fits) / 2;
        (widthOf(CharacterCut(path, kept)) <= width ? fits : tooMany) = kept;
    }
    return CharacterCut(path, fits);
}
