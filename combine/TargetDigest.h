#pragma once

#include "Digest.h"

#include <string>

// A digest of the finished target, read back from the disk.
struct TargetDigest {
    Digest::Algorithm algorithm = Digest::Algorithm::Sha256;
    std::string hex;
    // The file whose checksum it was compared with; empty when it was only asked for.
    std::string checksumFile;
};
