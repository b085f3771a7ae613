#include "CatalogApi.h"

#include <filesystem>
#include <memory>

#include "ApiError.h"
#include "CatalogSearch.h"
#include "FileRecord.h"

namespace {

ApiError UnknownPart(std::int64_t iId) {
  return ApiError(404, "the catalog holds no readable part " + std::to_string(iId));
}

ApiError Unreadable(const std::string& iReason) { return ApiError(422, "the model cannot be read: " + iReason); }

}  // namespace

CatalogApi::CatalogApi(ServedCatalog& ioCatalog, const IsolatedReader& iReader, const ModelCache& iModels)
    : _catalog(ioCatalog), _reader(iReader), _models(iModels) {}

Report CatalogApi::Health() const { return {{"parts", _catalog.SignedParts()}, {"version", GEOSIG_VERSION}}; }

Report CatalogApi::Part(std::int64_t iId) const {
  std::optional<Report> part = _catalog.Part(iId);
  if (!part) throw ApiError(404, "the catalog holds no part " + std::to_string(iId));
  return std::move(*part);
}

Report CatalogApi::Searched(bool iAnySize, Report iMatches) {
  return {{"anySize", iAnySize},
          {"weights", CatalogSearch::WeightsReport(SignatureMetric(iAnySize))},
          {"matches", std::move(iMatches)}};
}

Report CatalogApi::Neighbours(std::int64_t iId, std::size_t iCount, bool iAnySize) const {
  std::optional<Report> matches = _catalog.Neighbours(iId, iCount, SignatureMetric(iAnySize));
  const std::optional<ServedCatalog::PartFile> file = _catalog.FileOf(iId);
  if (!matches || !file) throw UnknownPart(iId);
  Report answer = {{"id", iId}};
  answer.update(FileRecord(file->path));
  answer.update(Searched(iAnySize, std::move(*matches)));
  return answer;
}

std::shared_ptr<const IndexedPart> CatalogApi::Signed(const UploadedFile& iModel) const {
  const std::string key = iModel.Digest() + std::filesystem::path(iModel.Path()).extension().string();
  return _uploads.Signed(key, [&]() -> std::shared_ptr<const IndexedPart> {
    std::shared_ptr<IndexedPart> read;
    try {
      read = std::make_shared<IndexedPart>(_reader.Sign(iModel.Path()));
    } catch (const IsolatedReader::Busy& busy) {
      throw ApiError(503, busy.what());
    }
    if (read->error) throw Unreadable(*read->error);
    return read;
  });
}

Report CatalogApi::Search(const UploadedFile& iModel, std::size_t iCount, bool iAnySize) const {
  const std::shared_ptr<const IndexedPart> read = Signed(iModel);
  Report answer = {{"query", {{"format", read->format}, {"descriptors", Report::parse(read->descriptors)}}}};
  answer.update(Searched(iAnySize, _catalog.Nearest(*read->signature, iCount, SignatureMetric(iAnySize))));
  return answer;
}

Report CatalogApi::Duplicates(double iMaxDistance, bool iAnySize) const {
  const SignatureMetric metric(iAnySize);
  Report answer = {
      {"maxDistance", iMaxDistance}, {"anySize", iAnySize}, {"weights", CatalogSearch::WeightsReport(metric)}};
  answer.update(_catalog.Duplicates(iMaxDistance, iAnySize));
  return answer;
}

std::string CatalogApi::Model(std::int64_t iId) const {
  const std::optional<ServedCatalog::PartFile> file = _catalog.FileOf(iId);
  if (!file) throw UnknownPart(iId);
  try {
    return _models.Model(iId, *file);
  } catch (const IsolatedReader::Busy& busy) {
    throw ApiError(503, busy.what());
  } catch (const std::runtime_error& failure) {
    throw Unreadable(failure.what());
  }
}
