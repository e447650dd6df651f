#pragma once

#include <system_error>
#include <type_traits>

// Why a file was refused where the system itself gives no reason.
enum class FileError {
    NotRegularFile = 1,
    // Another run holds it as its target, or reads it while this run would empty it.
    InUse,
    IsTheTarget,
};

const std::error_category& fileErrorCategory();

inline std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), fileErrorCategory()};
}

template <> struct std::is_error_code_enum<FileError> : std::true_type {};
