#pragma once
// Assimp's binary PLY reader (5.2) takes a newline byte right after the header's last line for
// part of that line's end and starts the data one byte late: every value after it is misread,
// which shows as a face of no vertex, a non-finite coordinate or, in a file of points alone,
// silently wrong ones: any file whose first value is a little-endian float with a low byte of
// 0x0A, as many written from real parts are. The header's last line ended by CR LF makes the
// reader start at the right byte, and a reader without the fault reads it the same.
#include <optional>
#include <string>

// The bytes of the binary PLY file at iPath with its header's last line ended by CR LF, when
// that line ends with a bare newline and the data starts with a newline byte; nullopt for any
// other file, which is to be read as it is (a file that cannot be read included: its reader
// says why).
std::optional<std::string> PlyWithCrLfHeaderEnd(const std::string& iPath);
