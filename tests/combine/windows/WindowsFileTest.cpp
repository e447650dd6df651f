#include "DiskFile.h"
#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"
#include "FileError.h"
#include "FileFaults.h"

#include <chrono>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

using WindowsFileTest = EngineFixture;

TEST_F(WindowsFileTest, DevicesAndVolumesAreNeitherSourcesNorTargets) {
    const std::vector<std::string> devices{"NUL",
                                           "CON",
                                           R"(\\.\C:)",
                                           R"(\\.\PhysicalDrive0)",
                                           R"(\\?\C:)",
                                           R"(\\?\PhysicalDrive0)",
                                           R"(\\?\GLOBALROOT\Device\Null)",
                                           R"(\\?\Volume{00000000-0000-0000-0000-000000000000}\)"};
    const std::u8string prefixed = FileBytes::native(m_dir.makeFile("a", 100, 1)).u8string();
    for (const std::string& device : devices) {
        m_host.addRow(device);
    }
    m_host.addRow(std::string(prefixed.begin(), prefixed.end())); // a file under \\?\ is one
    runToEnd();
    int runs = 1;
    for (const std::string& device : devices) {
        m_host.setTarget(device);
        m_engine.OnStart();
        m_host.waitForNotices(++runs);
    }

    std::vector<std::string> expected(devices.size(), EngineTexts::kOpenSourceFailed);
    expected.resize(2 * devices.size(), EngineTexts::kCreateTargetFailed);
    EXPECT_EQ(m_host.messages(), expected);
    EXPECT_EQ(m_host.reasons(),
              std::vector(expected.size(), make_error_code(FileError::NotRegularFile)));
    EXPECT_EQ(targetBytes(), FileBytes::read(m_dir.path("a")));
}

// Where the volume gives no file ids, the target's own name, however written, still names it.
TEST_F(WindowsFileTest, TargetOnAVolumeWithoutFileIdsIsKnownByItsName) {
    FileBytes::write(target(), "old contents");
    m_host.addRow(m_dir.makeFile("a", 100, 1));
    m_host.addRow(m_dir.path("./target.bin"));
    for (int call = 0; call < 3; ++call) { // the target's, then each row's
        FileFaults::arm({FileFaults::Call::Identity});
    }
    runToEnd();
    FileFaults::disarmAll();

    EXPECT_EQ(m_host.messages(), std::vector<std::string>{EngineTexts::kCreateTargetFailed});
    EXPECT_EQ(targetBytes(), "old contents");
}

TEST_F(WindowsFileTest, TargetThatAnotherProgramOpensForAMomentIsTriedAgain) {
    FileBytes::write(target(), "");
    // As an indexer or a virus scanner looks at a new file.
    const HANDLE scanner = ::CreateFileW(FileBytes::native(target()).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::thread letGo([scanner] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::CloseHandle(scanner);
    });
    m_host.addRow(m_dir.makeFile("a", 100, 1));
    runToEnd();
    letGo.join();

    EXPECT_EQ(targetBytes(), FileBytes::read(m_dir.path("a")));
}

TEST_F(WindowsFileTest, SparseSourceKeepsItsHolesInTheTarget) {
    const std::string source = m_dir.path("source");
    DiskFile file; // marked and lengthened the way a run treats its target
    ASSERT_TRUE(file.holdTarget(source) && file.writeAt(0, std::string("data")));
    file.prepareForHoles();
    ASSERT_TRUE(file.extendTo(4 * kMiB) && file.close());
    const DWORD attributes = ::GetFileAttributesW(FileBytes::native(source).c_str());
    if ((attributes & FILE_ATTRIBUTE_SPARSE_FILE) == 0) {
        GTEST_SKIP() << "no sparse files here (wine keeps none): no allocated ranges to ask for";
    }
    m_host.addRow(source);
    m_host.addRow(source);

    runToEnd();

    EXPECT_EQ(targetBytes(), FileBytes::read(source) + FileBytes::read(source));
    const std::wstring written = FileBytes::native(target()).native();
    EXPECT_NE(::GetFileAttributesW(written.c_str()) & FILE_ATTRIBUTE_SPARSE_FILE, 0U);
    EXPECT_LT(::GetCompressedFileSizeW(written.c_str(), nullptr), kMiB);
}
