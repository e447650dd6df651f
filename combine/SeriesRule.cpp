#include "SeriesRule.h"

#include "SeriesName.h"
#include "Utf8Path.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace {

using Kind = JoinFinding::Kind;

// Missing counters named in one finding; the rest is left to the user's eyes.
constexpr std::size_t kMostNamed = 10;

struct Piece {
    std::size_t row = 0;
    std::uint64_t ordinal = 0;
};

struct Series {
    std::string folder;
    SeriesName name;
    std::vector<Piece> pieces;
    bool padded = false;
};

// A folder's entries read as pieces: by series key, the name of each counter.
using Listing = std::unordered_map<std::string, std::map<std::uint64_t, std::string>>;

std::string folderOf(const std::string& path) {
    const std::string folder =
        Utf8Path::Text(Utf8Path::Native(path).parent_path().lexically_normal());
    return folder.empty() ? "." : folder;
}

Listing listFolder(const std::string& folder) {
    Listing listing;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(Utf8Path::Native(folder), error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = Utf8Path::Text(entry->path().filename());
        for (const SeriesName& reading : SeriesName::Readings(name)) {
            listing[reading.key].emplace(reading.ordinal, name);
        }
    }
    return listing;
}

// Each row joins the series that most ticked rows share with it, the rightmost counter on a tie.
std::vector<Series> seriesOf(const std::vector<SourceFacts>& rows) {
    std::vector<std::vector<SeriesName>> readings(rows.size());
    std::vector<std::string> folders(rows.size());
    std::map<std::pair<std::string, std::string>, std::size_t> shared;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        folders[row] = folderOf(rows[row].path);
        readings[row] =
            SeriesName::Readings(Utf8Path::Text(Utf8Path::Native(rows[row].path).filename()));
        for (const SeriesName& reading : readings[row]) {
            ++shared[{folders[row], reading.key}];
        }
    }
    std::map<std::pair<std::string, std::string>, Series> grouped;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const SeriesName* best = nullptr;
        std::size_t most = 2;
        for (const SeriesName& reading : readings[row]) {
            if (const std::size_t count = shared[{folders[row], reading.key}]; count >= most) {
                best = &reading;
                most = count;
            }
        }
        if (best != nullptr) {
            Series& series = grouped[{folders[row], best->key}];
            if (series.pieces.empty()) {
                series.folder = folders[row];
                series.name = *best;
            }
            series.pieces.push_back({row, best->ordinal});
            series.padded = series.padded || best->padded;
        }
    }
    std::vector<Series> found;
    for (auto& entry : grouped) {
        Series& series = entry.second;
        const auto differs = [&series](const Piece& piece) {
            return piece.ordinal != series.pieces.front().ordinal;
        };
        if (series.padded && std::any_of(series.pieces.begin(), series.pieces.end(), differs)) {
            found.push_back(std::move(series));
        }
    }
    std::sort(found.begin(), found.end(), [](const Series& a, const Series& b) {
        return a.pieces.front().row < b.pieces.front().row;
    });
    return found;
}

class SeriesCheck {
public:
    SeriesCheck(const Series& series, const std::vector<SourceFacts>& rows,
                std::vector<JoinFinding>& out)
        : m_series(series), m_rows(rows), m_out(out) {}

    void order() {
        std::uint64_t highest = 0;
        std::vector<std::string> late;
        for (const Piece& piece : m_series.pieces) {
            if (piece.ordinal < highest) {
                late.push_back(m_rows[piece.row].path);
            }
            highest = std::max(highest, piece.ordinal);
        }
        add(Kind::SeriesOrder, std::move(late));
    }

    void doubles() {
        std::map<std::uint64_t, std::vector<std::string>> byCounter;
        for (const Piece& piece : m_series.pieces) {
            byCounter[piece.ordinal].push_back(m_rows[piece.row].path);
        }
        for (auto& [ordinal, paths] : byCounter) {
            if (paths.size() > 1) {
                add(Kind::SeriesDuplicate, std::move(paths));
            }
        }
    }

    // The pieces the folder holds before, inside and right after the ticked range.
    void whole(const Listing& listing) {
        std::set<std::uint64_t> ticked;
        for (const Piece& piece : m_series.pieces) {
            ticked.insert(piece.ordinal);
        }
        static const std::map<std::uint64_t, std::string> kNone;
        const auto found = listing.find(m_series.name.key);
        const auto& onDisk = found == listing.end() ? kNone : found->second;
        const std::uint64_t first = *ticked.begin();
        const std::uint64_t last = *ticked.rbegin();
        std::vector<std::uint64_t> before;
        for (std::uint64_t number = first; number > 0 && onDisk.contains(number - 1); --number) {
            before.push_back(number - 1);
        }
        std::reverse(before.begin(), before.end());
        addGap(before, before.size());
        std::vector<std::string> leftOut;
        for (auto piece = onDisk.upper_bound(first); piece != onDisk.end() && piece->first < last;
             ++piece) {
            if (!ticked.contains(piece->first)) {
                leftOut.push_back(besideRows(piece->second));
            }
        }
        const std::uint64_t missingCount = (last - first + 1) - ticked.size() - leftOut.size();
        for (std::uint64_t number = last + 1; onDisk.contains(number); ++number) {
            leftOut.push_back(besideRows(onDisk.at(number)));
        }
        add(Kind::SeriesNeighbourLeftOut, std::move(leftOut));
        std::vector<std::uint64_t> missing;
        for (std::uint64_t number = first; number < last && missing.size() < kMostNamed; ++number) {
            if (!ticked.contains(number) && !onDisk.contains(number)) {
                missing.push_back(number);
            }
        }
        addGap(missing, missingCount);
    }

    // Three pieces or more: every one but the last as long as most of them.
    void lengths() {
        std::vector<Piece> inOrder = m_series.pieces;
        if (inOrder.size() < 3) {
            return;
        }
        std::stable_sort(inOrder.begin(), inOrder.end(),
                         [](const Piece& a, const Piece& b) { return a.ordinal < b.ordinal; });
        inOrder.pop_back();
        std::map<std::uint64_t, std::size_t> counts;
        for (const Piece& piece : inOrder) {
            counts[m_rows[piece.row].length] += m_rows[piece.row].opened ? 1 : 0;
        }
        const auto usual =
            std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                return a.second < b.second;
            })->first;
        std::vector<std::string> odd;
        for (const Piece& piece : inOrder) {
            if (m_rows[piece.row].opened && m_rows[piece.row].length != usual) {
                odd.push_back(m_rows[piece.row].path);
            }
        }
        add(Kind::SeriesUnequalSize, std::move(odd));
    }

private:
    void add(Kind kind, std::vector<std::string> paths, std::string detail = {}) {
        if (!paths.empty()) {
            m_out.push_back({.kind = kind, .paths = std::move(paths), .detail = std::move(detail)});
        }
    }

    void addGap(const std::vector<std::uint64_t>& numbers, std::uint64_t count) {
        std::string detail;
        for (const std::uint64_t number : numbers) {
            detail += (detail.empty() ? "" : ", ") + m_series.name.Counter(number);
        }
        if (count > numbers.size()) {
            detail += ", …";
        }
        if (!numbers.empty()) {
            add(Kind::SeriesGap, {m_rows[m_series.pieces.front().row].path}, detail);
        }
    }

    // A piece on disk, named as the rows name their folder.
    std::string besideRows(const std::string& name) const {
        const auto folder =
            Utf8Path::Native(m_rows[m_series.pieces.front().row].path).parent_path();
        return Utf8Path::Text(folder / Utf8Path::Native(name));
    }

    const Series& m_series;
    const std::vector<SourceFacts>& m_rows;
    std::vector<JoinFinding>& m_out;
};

} // namespace

std::vector<JoinFinding> SeriesRule::Findings(const std::vector<SourceFacts>& rows) {
    std::vector<JoinFinding> findings;
    std::unordered_map<std::string, Listing> listings;
    for (const Series& series : seriesOf(rows)) {
        auto listing = listings.find(series.folder);
        if (listing == listings.end()) {
            listing = listings.emplace(series.folder, listFolder(series.folder)).first;
        }
        SeriesCheck check(series, rows, findings);
        check.whole(listing->second);
        check.doubles();
        check.order();
        check.lengths();
    }
    return findings;
}
