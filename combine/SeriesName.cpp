#include "SeriesName.h"

#include <algorithm>

namespace {

constexpr std::size_t kMostDigits = 18; // what 64 bits always hold
// Suffixes of 2, 4, ... letters, each stage behind one more 'z'; later stages exceed any folder.
constexpr std::size_t kLastStage = 4;
constexpr std::uint64_t kLetters = 26;

std::size_t suffixLength(std::size_t stage) {
    return 2 * stage + 2;
}

// Names in a stage: the first letter never is a 'z', which would start the next stage.
std::uint64_t stageSize(std::size_t stage) {
    std::uint64_t size = kLetters - 1;
    for (std::size_t i = 1; i < suffixLength(stage); ++i) {
        size *= kLetters;
    }
    return size;
}

bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void addNumbers(std::string_view name, std::vector<SeriesName>& readings) {
    for (std::size_t start = 0; start < name.size();) {
        std::size_t end = start;
        while (end < name.size() && isDigit(name[end])) {
            ++end;
        }
        const std::size_t width = end - start;
        if (width >= 2 && width <= kMostDigits) {
            std::uint64_t value = 0;
            for (const char digit : name.substr(start, width)) {
                value = value * 10 + static_cast<std::uint64_t>(digit - '0');
            }
            // Appended piece by piece: GCC's -O3 sees overlaps in a chain of + that cannot be.
            std::string key = std::to_string(width);
            key.insert(key.begin(), '#');
            key.append("/").append(name.substr(0, start)).append("/").append(name.substr(end));
            readings.push_back({key, value, name[start] == '0', width});
        }
        start = std::max(end, start + 1);
    }
}

void addLetters(std::string_view name, std::vector<SeriesName>& readings) {
    std::uint64_t before = 0;
    for (std::size_t stage = 0; stage <= kLastStage; before += stageSize(stage), ++stage) {
        const std::size_t length = suffixLength(stage);
        if (name.size() <= length + stage) {
            return;
        }
        const std::string_view suffix = name.substr(name.size() - length);
        const std::string_view widened = name.substr(name.size() - length - stage, stage);
        if (suffix.front() == 'z' || !std::all_of(suffix.begin(), suffix.end(), isLower) ||
            widened.find_first_not_of('z') != std::string_view::npos) {
            continue;
        }
        std::uint64_t value = 0;
        for (const char letter : suffix) {
            value = value * kLetters + static_cast<std::uint64_t>(letter - 'a');
        }
        std::string key = "a/";
        key.append(name.substr(0, name.size() - length - stage));
        readings.push_back({key, before + value, true, 0});
    }
}

} // namespace

std::vector<SeriesName> SeriesName::Readings(std::string_view name) {
    std::vector<SeriesName> readings;
    addNumbers(name, readings);
    addLetters(name, readings);
    return readings;
}

std::string SeriesName::Counter(std::uint64_t number) const {
    if (width > 0) {
        std::string digits = std::to_string(number);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    }
    std::size_t stage = 0;
    for (; stage < kLastStage && number >= stageSize(stage); ++stage) {
        number -= stageSize(stage);
    }
    std::string letters;
    for (std::size_t i = 0; i < suffixLength(stage); ++i) {
        letters += static_cast<char>('a' + number % kLetters);
        number /= kLetters;
    }
    std::reverse(letters.begin(), letters.end());
    return std::string(stage, 'z') + letters;
}
