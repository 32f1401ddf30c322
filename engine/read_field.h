#pragma once
// The field reader of the parameter file.

#include <string>

#include "engine/package_file.h"

namespace morv {

/// Reads the next field of `file` and appends its kept characters to `field`.
///
/// A field ends at a comma or a line feed, which is consumed. Double quotes and every
/// byte that is 0x1F or less as a signed 8-bit value (control bytes, 0x80-0xFF) are
/// dropped. At most limit + 1 characters are kept: once that many are in, the next byte
/// that is not a separator ends the field and is lost. Throws FileError at the end of
/// the file or on a read error.
void ReadField(PackageFile& file, std::string& field, int limit);

}  // namespace morv
