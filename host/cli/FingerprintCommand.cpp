#include "FingerprintCommand.h"

#include <iostream>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileFingerprint.h"
#include "FileRecord.h"
#include "JsonDocument.h"

FingerprintCommand::FingerprintCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "fingerprint", "Print the base64 SHA-256 fingerprint of files (as openssl dgst -sha256 -binary | base64)");
  command->add_option("files", _files, "Files of any kind")->required();
  JsonDocument::AddFlag(*command, _json);
}

int FingerprintCommand::Run() const {
  int status = ExitStatus::Success;
  JsonDocument document("fingerprint", 1);
  for (const std::string& path : _files) {
    try {
      const std::string fingerprint = FileFingerprint(path);
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
