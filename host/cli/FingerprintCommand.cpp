#include "FingerprintCommand.h"

#include <climits>
#include <iostream>
#include <stdexcept>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "GeosigMathServices.h"
#include "JsonDocument.h"
#include "MappedFile.h"
#include "ZarString.h"

FingerprintCommand::FingerprintCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "fingerprint", "Print the base64 SHA-256 fingerprint of files (as openssl dgst -sha256 -binary | base64)");
  command->add_option("files", _files, "Files of any kind")->required();
  JsonDocument::AddFlag(*command, _json);
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
  JsonDocument document("fingerprint", 1);
  for (const std::string& path : _files) {
    try {
      const std::string fingerprint = FingerprintOf(path);
      if (_json) {
        Report record = FileRecord(path);
        record["fingerprint"] = fingerprint;
        document.Add(std::move(record));
      } else {
        std::cout << fingerprint << "  " << path << '\n';
      }
    } catch (...) {
      const std::string reason = CurrentFailureReason();
      status = ReportFileFailure(path, reason);
      if (_json) document.Add(FailureRecord(path, reason));
    }
  }
  if (_json) document.Write(std::cout);
  return status;
}
