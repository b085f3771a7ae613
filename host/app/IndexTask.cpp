#include "IndexTask.h"

#include <stdexcept>

#include "AppTasks.h"
#include "DescriptorSections.h"
#include "ImportOptionsReport.h"
#include "IsolatedRun.h"
#include "ModelImporter.h"

namespace {

const char* const hexDigits = "0123456789abcdef";

std::string Hex(const std::string& iBytes) {
  std::string hex;
  hex.reserve(2 * iBytes.size());
  for (const char byte : iBytes) {
    hex.push_back(hexDigits[static_cast<unsigned char>(byte) >> 4]);
    hex.push_back(hexDigits[static_cast<unsigned char>(byte) & 15]);
  }
  return hex;
}

int HexDigit(char iDigit) {
  if (iDigit >= '0' && iDigit <= '9') return iDigit - '0';
  if (iDigit >= 'a' && iDigit <= 'f') return iDigit - 'a' + 10;
  throw std::runtime_error("damaged index record: bad occupancy digit");
}

std::string Bytes(const std::string& iHex) {
  if (iHex.size() % 2 != 0) throw std::runtime_error("damaged index record: odd occupancy length");
  std::string bytes;
  for (std::size_t k = 0; k < iHex.size(); k += 2)
    bytes.push_back(static_cast<char>(HexDigit(iHex[k]) << 4 | HexDigit(iHex[k + 1])));
  return bytes;
}

}  // namespace

Report IndexTask::Parameters() const { return {{"options", ImportOptionsReport(options)}, {"depth", depth}}; }

IndexTask IndexTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("depth").get<unsigned int>()};
}

std::string IndexTask::Run(const std::string& iPath) const {
  Report record;
  try {
    const ImportedModel model = ModelImporter(options).Import(iPath);
    record = {{"format", model.format}};
    if (!model.warnings.empty()) record["warnings"] = model.warnings;
    const Outcome<Descriptors> descriptors = DescribeModel(*model.root);
    if (!descriptors) throw std::runtime_error(descriptors.Reason());
    record["descriptors"] = DescriptorsReport(descriptors.Value());
    const ShapeSignature signature = ShapeSignature::Compute(*model.root, descriptors.Value(), depth);
    record["signature"] = {{"norm", ReportNumber(signature.Norm())},
                           {"terms", signature.Terms()},
                           {"depth", signature.Occupancy().Depth()},
                           {"occupancy", Hex(signature.Occupancy().Pack())}};
  } catch (...) {
    record = {{"error", CurrentFailureReason()}};
  }
  return ReportText(record);
}

IndexedPart IsolatedIndexTask(const std::string& iPath, const ImportOptions& iOptions, const WorkerLimits& iLimits,
                              unsigned int iDepth) {
  Report record;
  try {
    record = RunIsolated(iPath, iLimits, CallOf(IndexTask{iOptions, iDepth}));
  } catch (...) {
    IndexedPart failed;
    failed.error = CurrentFailureReason();
    return failed;
  }
  return ReadIndexRecord(record);
}

IndexedPart ReadIndexRecord(const std::string& iRecord) {
  Report record;
  try {
    record = Report::parse(iRecord);
  } catch (const std::exception& failure) {
    throw std::runtime_error(std::string("damaged index record: ") + failure.what());
  }
  return ReadIndexRecord(record);
}

IndexedPart ReadIndexRecord(const Report& iRecord) {
  try {
    IndexedPart part;
    if (iRecord.contains("error")) {
      part.error = iRecord.at("error").get<std::string>();
      return part;
    }
    part.format = iRecord.at("format").get<std::string>();
    part.descriptors = iRecord.at("descriptors").dump();
    const Report& signature = iRecord.at("signature");
    const std::string cells = Bytes(signature.at("occupancy").get<std::string>());
    part.signature.emplace(signature.at("norm").get<float>(), signature.at("terms").get<ShapeSignature::Global>(),
                           VoxelGrid::Unpack(signature.at("depth").get<unsigned int>(), cells.data(), cells.size()));
    return part;
  } catch (const std::exception& failure) {
    throw std::runtime_error(std::string("damaged index record: ") + failure.what());
  }
}
