#pragma once
// What names a file whatever the path to it, so that two spellings or a link of one file compare
// equal: its device and inode, or for a path that does not lead to a file, the path made absolute
// with its links resolved as far as they exist.
#include <string>

std::string FileIdentity(const std::string& iPath);
