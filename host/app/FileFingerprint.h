#pragma once
// The fingerprint that identifies a file's content: the SHA-256 digest of its bytes as base64 text, the same text
// as `openssl dgst -sha256 -binary FILE | base64`. The catalog compares files by it.
#include <string>

// Throws std::runtime_error with the reason: the file cannot be read, or it is shorter than the two bytes the
// digest service needs, or longer than its 32-bit length.
std::string FileFingerprint(const std::string& iPath);
