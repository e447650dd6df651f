#include "FileError.h"

#include <string>

namespace {

class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "veltrane-file"; }

    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::NotRegularFile:
            return "Not a regular file";
        case FileError::InUse:
            return "File is in use by another run";
        case FileError::IsTheTarget:
            return "File is the target of this run";
        }
        return "Unknown file error";
    }
};

} // namespace

const std::error_category& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}
