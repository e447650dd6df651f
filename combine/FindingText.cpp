#include "FindingText.h"

#include "FormatSignatures.h"
#include "TextFill.h"
#include "TextMark.h"

namespace {

using Kind = JoinFinding::Kind;
using Quote = std::function<std::string(const std::string&)>;
using Translate = std::function<std::string(const char*)>;

// Names in one line; a long series' names would bury the line's sense.
constexpr std::size_t kMostNames = 5;

std::string names(const std::vector<std::string>& paths, const Quote& quote,
                  const Translate& translate) {
    std::string text;
    for (std::size_t i = 0; i < paths.size() && i < kMostNames; ++i) {
        text += (i == 0 ? "" : ", ") + quote(paths[i]);
    }
    if (paths.size() > kMostNames) {
        text += TextFill::Fill(translate(Translatable(" and %s more")),
                               {std::to_string(paths.size() - kMostNames)});
    }
    return text;
}

const char* formatOf(Kind kind) {
    switch (kind) {
    case Kind::CannotOpen:
        return Translatable("cannot open %s: %s");
    case Kind::SeriesGap:
        return Translatable("%s: its series has a gap where %s should be");
    case Kind::SeriesDuplicate:
        return Translatable("the same piece of a series is ticked more than once: %s");
    case Kind::SeriesOrder:
        return Translatable("out of the series' order: %s");
    case Kind::SeriesNeighbourLeftOut:
        return Translatable("pieces of the series that are not ticked: %s");
    case Kind::SeriesUnequalSize:
        return Translatable("pieces of another length than the rest of the series: %s");
    case Kind::FormatVolumes:
        return Translatable(
            "%s are %s volumes, each a file of its own rather than a slice of one: %s reads them");
    case Kind::DescriptorWithOthers:
        return Translatable("%s is a VMDK descriptor, which names the disk's extents: join the "
                            "extents without it");
    case Kind::NothingTicked:
        return Translatable("no row is ticked: %s would be left empty");
    case Kind::NoSpace:
        return Translatable("not enough space for %s: %s bytes to write, %s bytes free");
    case Kind::TooLarge:
        return Translatable("%s cannot be %s bytes long: its file system holds files of at most "
                            "%s bytes");
    }
    return "";
}

} // namespace

std::string FindingText(const JoinFinding& finding, const Quote& quote,
                        const Translate& translate) {
    const std::string format = translate(formatOf(finding.kind));
    const std::string concerned = names(finding.paths, quote, translate);
    switch (finding.kind) {
    case Kind::CannotOpen:
        return TextFill::Fill(format, {concerned, finding.error.message()});
    case Kind::SeriesGap:
        return TextFill::Fill(format, {concerned, finding.detail});
    case Kind::FormatVolumes: {
        const auto* known = FormatSignatures::Named(finding.detail);
        const std::string reader = known == nullptr ? "" : translate(known->reader);
        return TextFill::Fill(format, {concerned, finding.detail, reader});
    }
    case Kind::NoSpace:
    case Kind::TooLarge:
        return TextFill::Fill(
            format, {concerned, std::to_string(finding.needed), std::to_string(finding.available)});
    default:
        return TextFill::Fill(format, {concerned});
    }
}
