#include "ChecksumSource.h"
#include "Digest.h"
#include "EngineFixture.h"
#include "FileBytes.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/statfs.h>
#include <unistd.h>
#endif

namespace {

using Algorithm = Digest::Algorithm;
using Kind = RunMessage::Kind;

std::string digestOf(Algorithm algorithm, const std::string& bytes) {
    Digest digest(algorithm);
    digest.update(bytes);
    return digest.finish();
}

TEST(DigestTest, EachAlgorithmGivesTheStandardDigestAndZerosHashAsWritten) {
    struct KnownAnswer {
        Algorithm algorithm;
        const char* abc;
    };
    const std::vector<KnownAnswer> cases = {
        {Algorithm::Sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {Algorithm::Sha512, "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
                            "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {Algorithm::Sha1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {Algorithm::Md5, "900150983cd24fb0d6963f7d28e17f72"},
        {Algorithm::Crc32, "352441c2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(digestOf(c.algorithm, "abc"), c.abc);
        Digest zeros(c.algorithm);
        zeros.updateZeros((std::size_t{3} << 20) + 5);
        EXPECT_EQ(zeros.finish(), digestOf(c.algorithm, std::string((3 << 20) + 5, '\0')));
    }
}

// The digests the side files of the table give; each of its algorithm's length.
const std::string kSha256(64, 'a');
const std::string kSha512(128, 'b');
const std::string kMd5(32, 'c');

struct SideFiles {
    const char* form;
    // Name and contents of each file, in folder "t" (the target's) or "s" (the first source's).
    std::vector<std::pair<std::string, std::string>> files;
    // The file found, or empty for none; its algorithm and digest.
    std::string found;
    Algorithm algorithm = Algorithm::Sha256;
    std::string digest;
    // The side files reported as malformed.
    std::vector<std::string> malformed;
};

TEST(ChecksumSourceTest, FindsTheTargetsChecksumInEachFormFirstMatchWinning) {
    const std::vector<SideFiles> cases = {
        {"TARGET.sha256 naming another file",
         {{"t/disk.img.sha256", kSha256 + "  old.img\n"}},
         "t/disk.img.sha256",
         Algorithm::Sha256,
         kSha256,
         {}},
        {"TARGET.md5 beside the first source",
         {{"s/disk.img.md5", kMd5 + " *disk.img\n"}},
         "s/disk.img.md5",
         Algorithm::Md5,
         kMd5,
         {}},
        {"a digest alone, uppercase, CRLF",
         {{"t/disk.img.sha512", "BBBB" + kSha512.substr(4) + "\r\n"}},
         "t/disk.img.sha512",
         Algorithm::Sha512,
         kSha512,
         {}},
        {"GNU list",
         {{"t/SHA256SUMS", std::string(64, 'f') + "  other\n" + kSha256 + "  disk.img\n"}},
         "t/SHA256SUMS",
         Algorithm::Sha256,
         kSha256,
         {}},
        {"a list naming another file only",
         {{"t/SHA256SUMS", kSha256 + "  other.img\n"}},
         "",
         Algorithm::Sha256,
         "",
         {}},
        {"BSD line, CRLF",
         {{"s/CHECKSUMS.sha512", "SHA512 (dir/disk.img) = " + kSha512 + "\r\n"}},
         "s/CHECKSUMS.sha512",
         Algorithm::Sha512,
         kSha512,
         {}},
        {"escaped name",
         {{"t/MD5SUMS", "\\" + kMd5 + R"(  a\\b\nc/disk.img)" + "\n"}},
         "t/MD5SUMS",
         Algorithm::Md5,
         kMd5,
         {}},
        {"SFV with comments",
         {{"t/set.sfv", "; made by hand\nother 0badf00d\ndisk.img DEADBEEF\n"}},
         "t/set.sfv",
         Algorithm::Crc32,
         "deadbeef",
         {}},
        {"an empty TARGET.sha256 passed over",
         {{"t/disk.img.sha256", ""}, {"t/MD5SUMS", kMd5 + "  disk.img\n"}},
         "t/MD5SUMS",
         Algorithm::Md5,
         kMd5,
         {}},
        {"a malformed file reported, never trusted",
         {{"t/disk.img.sha256", kSha256 + "\nnot a checksum\n"},
          {"s/x.sfv", "disk.img 00000001\n"}},
         "s/x.sfv",
         Algorithm::Crc32,
         "00000001",
         {"t/disk.img.sha256"}},
        {"TARGET.sha256 before a list and an SFV",
         {{"t/SHA256SUMS", std::string(64, 'e') + "  disk.img\n"},
          {"t/disk.img.sha256", kSha256 + "\n"},
          {"t/x.sfv", "disk.img 00000001\n"}},
         "t/disk.img.sha256",
         Algorithm::Sha256,
         kSha256,
         {}},
        {"a digest of no known length",
         {{"t/disk.img.md5", std::string(31, 'c') + "  disk.img\n"}},
         "",
         Algorithm::Sha256,
         "",
         {"t/disk.img.md5"}},
    };
    for (const SideFiles& c : cases) {
        SCOPED_TRACE(c.form);
        const TempDir dir;
        std::filesystem::create_directories(FileBytes::native(dir.path("t")));
        std::filesystem::create_directories(FileBytes::native(dir.path("s")));
        for (const auto& [name, contents] : c.files) {
            FileBytes::write(dir.path(name), contents);
        }
        const ChecksumSource source(dir.path("t/disk.img"), dir.path("s/piece.001"));
        // Compared as paths: the search joins names with the system's own separator.
        std::vector<std::filesystem::path> reported;
        const auto found = source.search([&](const RunMessage& message) {
            EXPECT_EQ(message.kind, Kind::SideFileMalformed);
            reported.push_back(FileBytes::native(message.path));
        });
        std::vector<std::filesystem::path> malformed;
        for (const std::string& name : c.malformed) {
            malformed.push_back(FileBytes::native(dir.path(name)));
        }
        EXPECT_EQ(reported, malformed);
        ASSERT_EQ(found.has_value(), !c.found.empty());
        if (found) {
            EXPECT_EQ(FileBytes::native(found->file), FileBytes::native(dir.path(c.found)));
            EXPECT_EQ(found->algorithm, c.algorithm);
            EXPECT_EQ(found->digest, c.digest);
        }
    }
}

class TargetCheckTest : public EngineFixture {
protected:
    static constexpr std::size_t kLength = (24 * kMiB) + 3;

    void SetUp() override {
        m_bytes = FileBytes::pattern(kLength, 7);
        FileBytes::write(m_dir.path("piece.001"), m_bytes.substr(0, 20 * kMiB));
        FileBytes::write(m_dir.path("piece.002"), m_bytes.substr(20 * kMiB));
        m_host.addRow(m_dir.path("piece.001"));
        m_host.addRow(m_dir.path("piece.002"));
        FileBytes::write(target() + ".sha256",
                         digestOf(Algorithm::Sha256, m_bytes) + "  target.bin\n");
    }

    std::string m_bytes;
};

TEST_F(TargetCheckTest, AMatchNamesTheChecksumFile) {
    runToEnd();
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Checked);
    ASSERT_EQ(m_host.digests().size(), 1U);
    EXPECT_EQ(m_host.digests()[0].checksumFile, target() + ".sha256");
    EXPECT_TRUE(m_host.messages().empty());
}

TEST_F(TargetCheckTest, AByteChangedAfterTheFlushIsAMismatchNamingBothDigests) {
    FileFaults::arm({FileFaults::Call::ReadBack, 0, 0, 0, [this] {
                         std::fstream file(FileBytes::native(target()),
                                           std::ios::in | std::ios::out | std::ios::binary);
                         file.seekp(static_cast<std::streamoff>(kLength / 2));
                         file.put('\x5a');
                     }});
    runToEnd();
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Mismatch);
    ASSERT_EQ(m_host.runMessages().size(), 1U);
    const RunMessage message = m_host.runMessages()[0];
    EXPECT_EQ(message.kind, Kind::ChecksumMismatch);
    EXPECT_EQ(message.otherPath, target() + ".sha256");
    EXPECT_EQ(message.expected, digestOf(Algorithm::Sha256, m_bytes));
    std::string damaged = m_bytes;
    damaged[kLength / 2] = '\x5a';
    EXPECT_EQ(message.actual, digestOf(Algorithm::Sha256, damaged));
}

TEST_F(TargetCheckTest, AStopHalfwayThroughTheCheckLeavesTheTargetCompleteAndNotChecked) {
    bool checking = false;
    m_host.onCheckingTarget = [&] { checking = true; };
    m_host.onPosition = [&](std::uint32_t position) {
        if (checking && position >= 8) {
            m_engine.OnStop();
        }
    };
    runToEnd();
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::NotChecked);
    EXPECT_TRUE(m_host.digests().empty());
    EXPECT_TRUE(m_host.messages().empty());
    EXPECT_EQ(targetBytes(), m_bytes);
    // The check's positions follow its own line; it read two chunks of its three.
    const auto events = m_host.events();
    const auto check = std::ranges::find(events, "check " + std::to_string(kLength));
    ASSERT_NE(check, events.end());
    EXPECT_EQ(std::vector<std::string>(check + 1, events.end()),
              (std::vector<std::string>{"range 0 24", "pos 0", "pos 8", "notice: combine end"}));
}

TEST_F(TargetCheckTest, TheSearchTurnedOffReadsNothingBack) {
    m_engine.SetCheck({{}, false, {}});
    runToEnd();
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Complete);
    const auto events = m_host.events();
    EXPECT_TRUE(
        std::ranges::none_of(events, [](const std::string& e) { return e.starts_with("check"); }));
}

#ifndef _WIN32
// A file system that keeps files in the cache alone cannot be read around it.
TEST_F(TargetCheckTest, TheCheckReadsNoPageOfTheTargetFromTheCache) {
    struct statfs kind {};
    ASSERT_EQ(::statfs(m_dir.path("").c_str(), &kind), 0);
    if (kind.f_type == TMPFS_MAGIC) {
        GTEST_SKIP() << "the scratch folder is on tmpfs";
    }
    std::size_t resident = 0;
    FileFaults::arm({FileFaults::Call::ReadBack, 0, 0, 0, [&] {
                         const int fd = ::open(target().c_str(), O_RDONLY);
                         void* map = ::mmap(nullptr, kLength, PROT_READ, MAP_SHARED, fd, 0);
                         const std::size_t pages = (kLength + 4095) / 4096;
                         std::vector<unsigned char> inCache(pages);
                         ::mincore(map, kLength, inCache.data());
                         resident = static_cast<std::size_t>(std::ranges::count_if(
                             inCache, [](unsigned char page) { return (page & 1) != 0; }));
                         ::munmap(map, kLength);
                         ::close(fd);
                     }});
    runToEnd();
    EXPECT_EQ(m_host.lastOutcome(), RunOutcome::Checked);
    EXPECT_EQ(resident, 0U);
}
#endif

} // namespace
