#include "DiskFile.h"

#include "FileError.h"
#include "FileFaults.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX // std::min, not the macro
#define NOMINMAX
#endif
#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <utility>
#include <windows.h>
#include <winioctl.h>

namespace {

// The system-neutral face keeps the handle as an integer.
HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle); // NOLINT(performance-no-int-to-ptr)
}

std::error_code systemError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

std::error_code tooFar() {
    return std::make_error_code(std::errc::value_too_large);
}

// UTF-8 as it arrives to UTF-16 as the system takes it; empty when the text is no valid
// UTF-8 or holds a NUL, which would name some other file.
std::wstring wideText(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX || text.find('\0') != std::string::npos) {
        return {};
    }
    const auto size = static_cast<int>(text.size());
    const int wideSize =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(wideSize, 0)), L'\0');
    if (wideSize <= 0 || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size,
                                               wide.data(), wideSize) != wideSize) {
        return {};
    }
    return wide;
}

// Whether a full path under \\?\ names a file rather than a device or a volume itself: a
// drive's path, a share's, or one under a volume named by its GUID.
bool namesFileUnderPrefix(std::wstring_view rest) {
    const auto startsWith = [&rest](std::wstring_view head) {
        return rest.size() > head.size() && ::_wcsnicmp(rest.data(), head.data(), head.size()) == 0;
    };
    if (rest.size() >= 3 && std::iswalpha(rest[0]) != 0 && rest[1] == L':' && rest[2] == L'\\') {
        return true;
    }
    const std::size_t volumeEnd = rest.find(L"}\\");
    return startsWith(L"UNC\\") ||
           (startsWith(L"Volume{") && volumeEnd != std::wstring_view::npos &&
            volumeEnd + 2 < rest.size());
}

// The full path with the prefix that lifts the 260-character limit; empty for names of
// devices and volumes (\\.\ ones, reserved names such as NUL, \\?\GLOBALROOT, a bare
// volume), which are never read or written, whatever rights the user has.
std::wstring systemPath(const std::string& path) {
    const std::wstring wide = wideText(path);
    const DWORD size = wide.empty() ? 0 : ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return {};
    }
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return {};
    }
    full.resize(length);
    if (full.starts_with(LR"(\\?\)")) {
        return namesFileUnderPrefix(std::wstring_view(full).substr(4)) ? full : std::wstring();
    }
    if (full.starts_with(LR"(\\.\)") || full == LR"(\\.)") {
        return {};
    }
    if (full.starts_with(LR"(\\)")) {
        return LR"(\\?\UNC\)" + full.substr(2);
    }
    return LR"(\\?\)" + full;
}

// Positions past the largest signed one would turn into the system's special values.
bool atPosition(std::uint64_t offset, OVERLAPPED& position) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
        return false;
    }
    position = {};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return true;
}

DWORD chunk(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

// A read or write of at most `size` bytes, as an armed fault lets it: failing with the
// fault's error, or run on no more bytes than the fault allows.
template <typename Call> BOOL faultable(FileFaults::Call which, std::size_t size, Call call) {
    const auto fault = FileFaults::take(which);
    if (fault && fault->error != 0) {
        ::SetLastError(static_cast<DWORD>(fault->error));
        return FALSE;
    }
    return call(chunk(fault ? std::min(size, fault->count) : size));
}

// The target is the run's alone; a source is shared as freely as other programs allow. An
// indexer or a virus scanner often opens a new file for a moment: a target they hold is tried
// again for about a second.
HANDLE openHandle(const std::wstring& name, bool forWriting, bool unbuffered) {
    // The target is never read: its attributes and id are all the run asks of it.
    const DWORD access = forWriting ? GENERIC_WRITE | FILE_READ_ATTRIBUTES : GENERIC_READ;
    const DWORD sharing = forWriting ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD disposition = forWriting ? OPEN_ALWAYS : OPEN_EXISTING;
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 100;
    for (int attempt = 1;; ++attempt) {
        const HANDLE handle = ::CreateFileW(
            name.c_str(), access, sharing, nullptr, disposition,
            unbuffered ? FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN : FILE_ATTRIBUTE_NORMAL,
            nullptr);
        if (handle != INVALID_HANDLE_VALUE || !forWriting || attempt == kAttempts ||
            ::GetLastError() != ERROR_SHARING_VIOLATION) {
            return handle;
        }
        ::Sleep(kPauseMs);
    }
}

// The file's full path as the system resolves it, every link and short name undone; empty if
// it cannot tell.
std::wstring finalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (size < path.size()) {
            path.resize(size);
            return path;
        }
        path.resize(size);
    }
}

} // namespace

DiskFile::~DiskFile() {
    close();
}

// A source opened for reading never waits here: only a target is tried again.
bool DiskFile::openRegular(const std::string& path, bool forWriting, bool /*mayWait*/) {
    const std::wstring name = systemPath(path);
    if (name.empty()) {
        // Text that is valid but names no file names a device or a volume.
        return failed(wideText(path).empty()
                          ? std::error_code(ERROR_INVALID_NAME, std::system_category())
                          : make_error_code(FileError::NotRegularFile));
    }
    const HANDLE handle = openHandle(name, forWriting, m_unbuffered);
    if (handle == INVALID_HANDLE_VALUE) {
        return failed(systemError());
    }
    m_createdName = forWriting && ::GetLastError() != ERROR_ALREADY_EXISTS ? path : "";
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    // Pipes, consoles and devices are never read or written, so they cannot block a run.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return refuse(FileError::NotRegularFile);
    }
    if (!::GetFileInformationByHandle(handle, &info)) {
        return refuse(systemError());
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return refuse(std::make_error_code(std::errc::is_a_directory));
    }
    m_identity = identityOf(handle);
    m_length = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    m_sparse = (info.dwFileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
    return true;
}

DiskFile::Identity DiskFile::identityOf(void* handle) {
    // The 64-bit index of the older call is not unique on ReFS and is zero on some network
    // redirectors; where the 128-bit id cannot be had, the file stays unknown.
    FILE_ID_INFO id{};
    Identity identity;
    if (!FileFaults::take(FileFaults::Call::Identity) &&
        ::GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof(id))) {
        std::memcpy(&identity.index, id.FileId.Identifier, sizeof(identity.index));
        std::memcpy(&identity.indexHigh, id.FileId.Identifier + sizeof(identity.index),
                    sizeof(identity.indexHigh));
        identity.volume = id.VolumeSerialNumber;
    }
    return identity;
}

bool DiskFile::holdTarget(const std::string& path) {
    return openRegular(path, true);
}

bool DiskFile::isNamedBy(const std::string& path) const {
    const std::wstring name = systemPath(path);
    // Asking for the attributes alone opens even a file that is held for no one else.
    const HANDLE handle =
        name.empty() ? INVALID_HANDLE_VALUE
                     : ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (m_handle == kNoHandle || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Without an id on either side the name that leads to the very target still tells it, so
    // that a volume giving no ids never has its target emptied as a source; a hard link does not.
    const Identity identity = identityOf(handle);
    const std::wstring resolved =
        identity.known() && m_identity.known() ? L"" : finalPathOf(handle);
    const bool same = resolved.empty() ? identity.known() && identity == m_identity
                                       : resolved == finalPathOf(asHandle(m_handle));
    ::CloseHandle(handle);
    return same;
}

bool DiskFile::emptyTarget() {
    if (m_length > 0) {
        LARGE_INTEGER start{};
        if (!::SetFilePointerEx(asHandle(m_handle), start, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(asHandle(m_handle))) {
            return failed(systemError());
        }
    }
    m_length = 0;
    return true;
}

void DiskFile::discardIfCreated() {
    // The target is held for no one else, not even for its removal: it is closed, then
    // opened again by name, and removed only if that name still leads to the very file.
    close();
    const std::wstring name = systemPath(m_createdName);
    if (name.empty()) {
        return;
    }
    const HANDLE handle = ::CreateFileW(name.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    FILE_STANDARD_INFO standard{};
    FILE_DISPOSITION_INFO removal{TRUE};
    if (m_identity.known() && identityOf(handle) == m_identity &&
        ::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard)) &&
        standard.EndOfFile.QuadPart == 0) {
        ::SetFileInformationByHandle(handle, FileDispositionInfo, &removal, sizeof(removal));
    }
    ::CloseHandle(handle);
}

bool DiskFile::openSource(const std::string& path, const DiskFile& target) {
    // A run's target is opened for no one else, so a file another run holds fails to open;
    // the same file under another name (a hard link) is caught by its identity.
    if (!openRegular(path, false)) {
        return false;
    }
    if (isSameFile(target)) {
        return refuse(FileError::IsTheTarget);
    }
    return true;
}

bool DiskFile::probeSource(const std::string& path, const DiskFile& target) {
    return openSource(path, target);
}

bool DiskFile::openReadBack(const std::string& path) {
    // Each read then goes to the disk; the caller reads whole sectors into aligned memory.
    m_unbuffered = true;
    if (!openRegular(path, false)) {
        return false;
    }
    FileFaults::take(FileFaults::Call::ReadBack);
    return true;
}

bool DiskFile::isStandardOutput() const {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    return m_identity.known() && output != nullptr && output != INVALID_HANDLE_VALUE &&
           ::GetFileType(output) == FILE_TYPE_DISK && identityOf(output) == m_identity;
}

std::size_t DiskFile::readHead(std::span<char> buffer) {
    OVERLAPPED start{};
    DWORD n = 0;
    return ::ReadFile(asHandle(m_handle), buffer.data(), chunk(buffer.size()), &n, &start) ? n : 0;
}

std::uint64_t DiskFile::allocatedBytes() const {
    FILE_STANDARD_INFO standard{};
    return ::GetFileInformationByHandleEx(asHandle(m_handle), FileStandardInfo, &standard,
                                          sizeof(standard))
               ? static_cast<std::uint64_t>(standard.AllocationSize.QuadPart)
               : 0;
}

VolumeFacts DiskFile::volume() const {
    if (const auto fake = FileFaults::fakedVolume()) {
        return *fake;
    }
    // No copy here shares extents (see copyFrom), so every byte needs its space.
    VolumeFacts facts;
    DWORD serial = 0;
    std::wstring kind(MAX_PATH + 1, L'\0');
    if (::GetVolumeInformationByHandleW(asHandle(m_handle), nullptr, 0, &serial, nullptr, nullptr,
                                        kind.data(), static_cast<DWORD>(kind.size()))) {
        facts.id = serial;
        kind.resize(std::wcslen(kind.c_str()));
        if (kind == L"FAT" || kind == L"FAT32") {
            facts.largestFile = std::numeric_limits<std::uint32_t>::max();
        }
    }
    // Any folder on the volume answers for its free space; the file's own does.
    const std::wstring path = finalPathOf(asHandle(m_handle));
    const std::size_t slash = path.rfind(L'\\');
    ULARGE_INTEGER free{};
    if (slash != std::wstring::npos &&
        ::GetDiskFreeSpaceExW(path.substr(0, slash + 1).c_str(), &free, nullptr, nullptr)) {
        facts.freeBytes = free.QuadPart;
    }
    return facts;
}

bool DiskFile::close() {
    if (m_handle == kNoHandle) {
        return true;
    }
    const bool closed = ::CloseHandle(asHandle(m_handle)) != 0;
    m_handle = kNoHandle;
    return closed || failed(systemError());
}

std::optional<std::size_t> DiskFile::readAt(std::uint64_t offset, std::span<char> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        OVERLAPPED position;
        DWORD n = 0;
        DWORD asked = 0;
        if (!atPosition(offset + done, position)) {
            failed(tooFar());
            return std::nullopt;
        }
        if (!faultable(FileFaults::Call::Read, buffer.size() - done, [&](DWORD size) {
                asked = size;
                return ::ReadFile(asHandle(m_handle), buffer.data() + done, size, &n, &position);
            })) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            failed(systemError());
            return std::nullopt;
        }
        done += n;
        // Unbuffered, a short read is the file's end, and a read from there would not start
        // on a sector.
        if (n == 0 || (m_unbuffered && n < asked)) {
            break;
        }
    }
    return done;
}

bool DiskFile::writeAt(std::uint64_t offset, std::span<const char> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        OVERLAPPED position;
        DWORD n = 0;
        if (!atPosition(offset + done, position)) {
            return failed(tooFar());
        }
        if (!faultable(FileFaults::Call::Write, data.size() - done, [&](DWORD size) {
                return ::WriteFile(asHandle(m_handle), data.data() + done, size, &n, &position);
            })) {
            return failed(systemError());
        }
        if (n == 0) {
            return failed(std::make_error_code(std::errc::io_error));
        }
        done += n;
    }
    return true;
}

std::optional<std::size_t> DiskFile::copyFrom(const DiskFile& /*source*/, std::uint64_t /*from*/,
                                              std::uint64_t /*to*/, std::size_t /*size*/) {
    // Ordinary volumes have no copy of a range between two files: the buffer moves the bytes.
    return std::nullopt;
}

DiskFile::Region DiskFile::nextData(std::uint64_t from) const {
    if (from >= m_length) {
        return {m_length, m_length};
    }
    // Only a file marked sparse can have holes; any other answer leaves the rest as data.
    FILE_ALLOCATED_RANGE_BUFFER asked{};
    FILE_ALLOCATED_RANGE_BUFFER first{};
    asked.FileOffset.QuadPart = static_cast<LONGLONG>(from);
    asked.Length.QuadPart = static_cast<LONGLONG>(m_length - from);
    DWORD returned = 0;
    if (!m_sparse ||
        (!::DeviceIoControl(asHandle(m_handle), FSCTL_QUERY_ALLOCATED_RANGES, &asked, sizeof(asked),
                            &first, sizeof(first), &returned, nullptr) &&
         ::GetLastError() != ERROR_MORE_DATA)) {
        return {from, m_length};
    }
    if (returned < sizeof(first)) {
        return endRegion(from);
    }
    const auto start = static_cast<std::uint64_t>(first.FileOffset.QuadPart);
    const auto end = start + static_cast<std::uint64_t>(first.Length.QuadPart);
    return {std::clamp(start, from, m_length), std::clamp(end, from, m_length)};
}

DiskFile::Region DiskFile::endRegion(std::uint64_t from) const {
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(asHandle(m_handle), &size) &&
        static_cast<std::uint64_t>(size.QuadPart) < m_length) {
        return {std::max(from, static_cast<std::uint64_t>(size.QuadPart)), m_length};
    }
    return {m_length, m_length};
}

void DiskFile::prepareForHoles() {
    // A file not marked sparse would have every byte it skips written out as zeros. Whether
    // or not the volume takes the mark, the bytes come out the same, so it is asked once.
    if (!std::exchange(m_sparse, true)) {
        DWORD returned = 0;
        ::DeviceIoControl(asHandle(m_handle), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                          nullptr);
    }
}

bool DiskFile::extendTo(std::uint64_t length) {
    LARGE_INTEGER size{};
    LARGE_INTEGER wanted{};
    if (length > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
        return failed(tooFar());
    }
    if (!::GetFileSizeEx(asHandle(m_handle), &size)) {
        return failed(systemError());
    }
    wanted.QuadPart = static_cast<LONGLONG>(length);
    if (size.QuadPart >= wanted.QuadPart) {
        return true;
    }
    return (::SetFilePointerEx(asHandle(m_handle), wanted, nullptr, FILE_BEGIN) &&
            ::SetEndOfFile(asHandle(m_handle))) ||
           failed(systemError());
}

bool DiskFile::grewPastLength() const {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(asHandle(m_handle), &size) &&
           static_cast<std::uint64_t>(size.QuadPart) > m_length;
}

void DiskFile::startWriteOut(Region /*region*/) {}

bool DiskFile::waitWrittenOut(Region /*region*/) {
    return true;
}

void DiskFile::dropCached(Region /*region*/) {}

bool DiskFile::flush() {
    return faultable(FileFaults::Call::Flush, 0,
                     [this](DWORD) { return ::FlushFileBuffers(asHandle(m_handle)); }) ||
           failed(systemError());
}
