#include "FormatSignatures.h"

#include "TextMark.h"

#include <algorithm>
#include <array>

namespace {

using namespace std::string_view_literals;

const std::array<FormatSignatures::Format, 6> kFormats{{
    {"VMDK sparse extent", "KDMV"sv, "qemu-img convert"},
    {"GGUF", "GGUF"sv, Translatable("the model's loader (given the first shard)")},
    {"RAR", "Rar!\x1a\x07"sv, "unrar"},
    {"7z", "7z\xbc\xaf\x27\x1c"sv, "7z"},
    {"qcow2", "QFI\xfb"sv, "qemu-img"},
    {"VHDX", "vhdxfile"sv, "qemu-img"},
}};

} // namespace

const FormatSignatures::Format* FormatSignatures::Recognised(std::string_view head) {
    const auto* const found =
        std::find_if(kFormats.begin(), kFormats.end(),
                     [head](const Format& format) { return head.starts_with(format.magic); });
    return found == kFormats.end() ? nullptr : &*found;
}

const FormatSignatures::Format* FormatSignatures::Named(std::string_view name) {
    const auto* const found =
        std::find_if(kFormats.begin(), kFormats.end(),
                     [name](const Format& format) { return name == format.name; });
    return found == kFormats.end() ? nullptr : &*found;
}

bool FormatSignatures::IsDescriptor(std::string_view head) {
    return head.starts_with("# Disk DescriptorFile");
}
