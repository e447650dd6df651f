#include "JoinCheck.h"

#include "FileBytes.h"
#include "FileFaults.h"
#include "FindingText.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Kind = JoinFinding::Kind;

struct Spec {
    std::string name;
    std::size_t size = 8;
};

class JoinCheckTest : public ::testing::Test {
protected:
    void TearDown() override { FileFaults::disarmAll(); }

    // Checks `ticked` with `files` on disk in `folder` (none: the scratch folder itself); every
    // finding's text names its first file.
    std::vector<JoinFinding> check(const std::vector<Spec>& files,
                                   const std::vector<std::string>& ticked,
                                   const std::string& folder = {}) {
        const std::string prefix = folder.empty() ? folder : folder + "/";
        if (!folder.empty()) {
            std::filesystem::create_directories(FileBytes::native(m_dir.path(folder)));
        }
        for (const Spec& file : files) {
            m_dir.makeFile(prefix + file.name, file.size, 1);
        }
        std::vector<std::string> sources;
        sources.reserve(ticked.size());
        for (const std::string& name : ticked) {
            sources.push_back(m_dir.path(prefix + name));
        }
        const std::string targetPath = m_dir.path("target");
        DiskFile target;
        EXPECT_TRUE(target.holdTarget(targetPath));
        const JoinCheck check(sources, target, targetPath);
        m_facts = check.facts();
        for (const JoinFinding& finding : check.findings()) {
            const std::string text = FindingText(
                finding, [](const std::string& name) { return "<" + name + ">"; },
                [](const char* text) { return std::string(text); });
            EXPECT_EQ(text.find("%s"), std::string::npos) << text;
            EXPECT_NE(text.find("<" + finding.paths.front() + ">"), std::string::npos) << text;
        }
        return check.findings();
    }

    static std::vector<Kind> kinds(const std::vector<JoinFinding>& findings) {
        std::vector<Kind> found;
        found.reserve(findings.size());
        for (const JoinFinding& finding : findings) {
            found.push_back(finding.kind);
        }
        return found;
    }

    TempDir m_dir;
    std::vector<SourceFacts> m_facts;
};

struct SeriesCase {
    const char* what;
    std::vector<Spec> files;
    std::vector<std::string> ticked;
    std::vector<Kind> expected;
    std::string detail = {};
};

TEST_F(JoinCheckTest, SeriesAreWholeInOrderAndEven) {
    const std::vector<Spec> three{{"d.001"}, {"d.002"}, {"d.003"}};
    const std::vector<SeriesCase> cases{
        {"whole", three, {"d.001", "d.002", "d.003"}, {}},
        {"gap",
         {{"d.001"}, {"d.002"}, {"d.005"}},
         {"d.001", "d.002", "d.005"},
         {Kind::SeriesGap},
         "003, 004"},
        {"first missing", three, {"d.002", "d.003"}, {Kind::SeriesGap}, "001"},
        {"first never there", {{"d.002"}, {"d.003"}}, {"d.002", "d.003"}, {}},
        {"twice", three, {"d.001", "d.002", "d.002", "d.003"}, {Kind::SeriesDuplicate}},
        {"out of order",
         {{"d.7z.001"}, {"d.7z.002"}},
         {"d.7z.002", "d.7z.001"},
         {Kind::SeriesOrder}},
        {"next left out", three, {"d.001", "d.002"}, {Kind::SeriesNeighbourLeftOut}},
        {"inner left out", three, {"d.001", "d.003"}, {Kind::SeriesNeighbourLeftOut}},
        {"uneven",
         {{"d-f001.vmdk", 8}, {"d-f002.vmdk", 5}, {"d-f003.vmdk", 8}, {"d-f004.vmdk", 2}},
         {"d-f001.vmdk", "d-f002.vmdk", "d-f003.vmdk", "d-f004.vmdk"},
         {Kind::SeriesUnequalSize}},
        {"split whole", {{"xaa"}, {"xab"}, {"xac"}}, {"xaa", "xab", "xac"}, {}},
        {"split rollover whole",
         {{"xyy"}, {"xyz"}, {"xzaaaa"}, {"xzaaab"}},
         {"xyy", "xyz", "xzaaaa", "xzaaab"},
         {}},
        {"split rollover gap",
         {{"xyz"}, {"xzaaab"}},
         {"xyz", "xzaaab"},
         {Kind::SeriesGap},
         "zaaaa"},
        {"numbers from zero",
         {{"x00"}, {"x01"}, {"x03"}},
         {"x00", "x01", "x03"},
         {Kind::SeriesGap},
         "02"},
        {"part numbers",
         {{"n.part01.rar", 0}, {"n.part03.rar", 0}},
         {"n.part01.rar", "n.part03.rar"},
         {Kind::SeriesGap},
         "02"},
        {"photos whole",
         {{"IMG_0001.jpg"}, {"IMG_0002.jpg"}, {"IMG_0003.jpg"}},
         {"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg"},
         {}},
        {"no leading zeros",
         {{"report1.pdf"}, {"report3.pdf"}},
         {"report1.pdf", "report3.pdf"},
         {}},
        {"unrelated numbers", {{"a1"}, {"b2"}}, {"a1", "b2"}, {}},
    };
    for (const SeriesCase& test : cases) {
        SCOPED_TRACE(test.what);
        const auto findings = check(test.files, test.ticked, test.what);
        EXPECT_EQ(kinds(findings), test.expected);
        if (!test.detail.empty() && !findings.empty()) {
            EXPECT_EQ(findings.front().detail, test.detail);
        }
    }
}

std::string header(std::string_view magic) {
    std::string bytes(64, 'x');
    return bytes.replace(0, magic.size(), magic);
}

TEST_F(JoinCheckTest, VolumesOfAFormatAreNotSlices) {
    using namespace std::string_view_literals;
    const std::vector<std::pair<std::string, std::string_view>> formats{
        {"VMDK sparse extent", "KDMV"sv}, {"GGUF", "GGUF"sv},     {"RAR", "Rar!\x1a\x07"sv},
        {"7z", "7z\xbc\xaf\x27\x1c"sv},   {"qcow2", "QFI\xfb"sv}, {"VHDX", "vhdxfile"sv}};
    for (const auto& [format, magic] : formats) {
        SCOPED_TRACE(format);
        FileBytes::write(m_dir.path("one.bin"), header(magic));
        FileBytes::write(m_dir.path("two.bin"), header(magic));
        const auto findings = check({}, {"one.bin", "two.bin"});
        ASSERT_EQ(kinds(findings), std::vector{Kind::FormatVolumes});
        EXPECT_EQ(findings.front().detail, format);
        EXPECT_TRUE(check({}, {"one.bin"}).empty()) << "a single container is no volume";
    }
    FileBytes::write(m_dir.path("disk.vmdk"), "# Disk DescriptorFile\nversion=1\n");
    FileBytes::write(m_dir.path("disk-flat.vmdk"), std::string(512, '\0'));
    EXPECT_EQ(kinds(check({}, {"disk.vmdk", "disk-flat.vmdk"})),
              std::vector{Kind::DescriptorWithOthers});
}

TEST_F(JoinCheckTest, MissingSourcesAndNothingTicked) {
    const auto missing = check({{"here"}}, {"here", "gone"});
    ASSERT_EQ(kinds(missing), std::vector{Kind::CannotOpen});
    EXPECT_EQ(missing.front().error, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(m_facts[0].opened);
    EXPECT_FALSE(m_facts[1].opened);
    EXPECT_TRUE(check({}, {}).empty()) << "an empty target loses nothing";
    FileBytes::write(m_dir.path("target"), "data");
    EXPECT_EQ(kinds(check({}, {})), std::vector{Kind::NothingTicked});
}

TEST_F(JoinCheckTest, SpaceCountsDataAndTheTargetsOwn) {
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    FileFaults::fakeVolume({.id = 7, .freeBytes = 100});
    const auto full = check({{"a", kPiece}, {"b", kPiece}}, {"a", "b"});
    ASSERT_EQ(kinds(full), std::vector{Kind::NoSpace});
    EXPECT_EQ(full.front().needed, 2 * kPiece);
    FileFaults::fakeVolume({.id = 7, .freeBytes = 100, .sharesExtents = true});
    EXPECT_TRUE(check({}, {"a", "b"}).empty()) << "extents shared on one file system";
    FileFaults::fakeVolume({.id = 7, .freeBytes = kPiece});
    m_dir.makeFile("target", 2 * kPiece, 2);
    EXPECT_TRUE(check({}, {"a"}).empty()) << "the target's own space is freed";
}

#ifndef _WIN32
TEST_F(JoinCheckTest, FatHoldsNoFileOfFourGibibytes) {
    constexpr std::uintmax_t kLarge = std::uintmax_t{5} << 30;
    FileBytes::write(m_dir.path("sparse"), "");
    std::filesystem::resize_file(FileBytes::native(m_dir.path("sparse")), kLarge);
    FileFaults::fakeVolume(
        {.id = 7, .freeBytes = 4096, .largestFile = (std::uint64_t{4} << 30) - 1});
    EXPECT_EQ(kinds(check({}, {"sparse"})), std::vector{Kind::TooLarge}) << "holes need no space";
    EXPECT_EQ(m_facts[0].length, kLarge);
    EXPECT_LT(m_facts[0].dataBytes, 4096U);
    FileFaults::fakeVolume({.id = 7, .freeBytes = 4096});
    EXPECT_TRUE(check({}, {"sparse"}).empty()) << "no limit but FAT's";
}
#endif

} // namespace
