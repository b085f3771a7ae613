#pragma once
// `geosig fingerprint FILE...`: the SHA-256 digest of each file's bytes as base64 text, the
// same text as `openssl dgst -sha256 -binary FILE | base64`. A file of fewer than two bytes
// has no fingerprint and is reported as an error, like a file that cannot be read.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

class FingerprintCommand {
 public:
  explicit FingerprintCommand(CLI::App& ioApp);

  // The exit status: 1 if any file had no fingerprint.
  int Run() const;

 private:
  std::vector<std::string> _files;
  bool _json = false;
};
