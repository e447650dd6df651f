#include "DiskFile.h"
#include "EngineFixture.h"
#include "EngineTexts.h"
#include "FileBytes.h"
#include "FileError.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

using WindowsFileTest = EngineFixture;

TEST_F(WindowsFileTest, DeviceIsNeitherSourceNorTarget) {
    m_host.addRow("NUL");
    runToEnd();
    m_host.setTarget("NUL");
    m_engine.OnStart();
    m_host.waitForNotices(2);

    EXPECT_EQ(m_host.messages(), (std::vector<std::string>{EngineTexts::kOpenSourceFailed,
                                                           EngineTexts::kCreateTargetFailed}));
    const std::error_code notRegular = FileError::NotRegularFile;
    EXPECT_EQ(m_host.reasons(), (std::vector{notRegular, notRegular}));
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
