#include "FingerprintCommand.h"

#include <climits>
#include <iostream>
#include <stdexcept>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "GeosigMathServices.h"
#include "MappedFile.h"
#include "ReportValues.h"
#include "ZarString.h"

FingerprintCommand::FingerprintCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "fingerprint", "Print the base64 SHA-256 fingerprint of files (as openssl dgst -sha256 -binary | base64)");
  command->add_option("files", _files, "Files of any kind")->required();
  command->add_flag("--json", _json, "Write one JSON document (schema in docs/geosig-json.md)");
}

std::string FingerprintCommand::FingerprintOf(const std::string& iPath) {
  const MappedFile file(iPath);
  // The digest service takes a 32-bit length and leaves shorter buffers than two bytes alone.
  if (file.Size() < 2) throw std::runtime_error("fewer than 2 bytes: too short to fingerprint");
  if (file.Size() > static_cast<std::size_t>(INT_MAX))
    throw std::runtime_error("2 GiB or more: too large to fingerprint");
  ZarString fingerprint;
  GeosigMathServices::ComputeSHA256Fingerprint(file.Data(), static_cast<int>(file.Size()), fingerprint);
  return fingerprint.c_str();
}

int FingerprintCommand::Run() const {
  int status = ExitStatus::Success;
  Report files = Report::array();
  for (const std::string& path : _files) {
    try {
      const std::string fingerprint = FingerprintOf(path);
      if (_json)
        files.push_back({{"file", path}, {"fingerprint", fingerprint}});
      else
        std::cout << fingerprint << "  " << path << '\n';
    } catch (...) {
      const std::string reason = CurrentFailureReason();
      status = ReportFileFailure(path, reason);
      if (_json) files.push_back({{"file", path}, {"error", reason}});
    }
  }
  if (_json) std::cout << Report{{"schema", "geosig-fingerprint"}, {"version", 1}, {"files", files}}.dump(2) << '\n';
  return status;
}
