#include "ViewerPage.h"

#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "AtomicOutputFile.h"
#include "ViewerAssets.h"
#include "ZarCodePage.h"

namespace {

template <class T>
std::string Base64(const std::vector<T>& iValues) {
  const std::size_t bytes = iValues.size() * sizeof(T);
  if (bytes > static_cast<std::size_t>(std::numeric_limits<int>::max()) / 4 * 3)
    throw std::runtime_error("too much geometry for one page");
  char* text = nullptr;
  ZarCodePage::ConvertToBase64(reinterpret_cast<const unsigned char*>(iValues.data()), static_cast<int>(bytes), text);
  if (!text) throw std::bad_alloc();
  const std::unique_ptr<char, void (*)(void*)> released(text, [](void* iText) { ::operator delete(iText); });
  return text;
}

}  // namespace

ViewerPage::Entry ViewerPage::ModelEntry(const ViewerModel& iModel) {
  Entry voxels;
  if (iModel.voxels) {
    const ViewerVoxels& v = *iModel.voxels;
    voxels = {{"depth", v.depth},
              {"count", v.cells.size() / 3},
              {"min", v.min},
              {"edge", v.edge},
              {"cells", Base64(v.cells)}};
  }
  return {{"title", iModel.title},
          {"caption", iModel.caption},
          {"report", iModel.report},
          {"descriptors", iModel.descriptors},
          {"mesh",
           {{"triangles", iModel.mesh.triangles.size() / 3},
            {"sourceTriangles", iModel.sourceTriangles},
            {"positions", Base64(iModel.mesh.vertices)},
            {"indices", Base64(iModel.mesh.triangles)}}},
          {"voxels", voxels}};
}

ViewerPage::Entry ViewerPage::UnreadableEntry(const std::string& iTitle, const std::string& iReason) {
  return {{"title", iTitle}, {"caption", ""}, {"unreadable", iReason}};
}

namespace {

// JSON that may sit inside a script element: a '<' only occurs within strings, where \u003c stands for it,
// so no "</script>" or "<!--" in a file name can end the element early.
std::string ScriptSafeJson(const ViewerPage::Entry& iData) {
  const std::string json = iData.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  std::string safe;
  safe.reserve(json.size());
  for (const char c : json) safe += c == '<' ? std::string("\\u003c") : std::string(1, c);
  return safe;
}

std::string HtmlText(const std::string& iText) {
  std::string escaped;
  for (const char c : iText) {
    if (c == '&')
      escaped += "&amp;";
    else if (c == '<')
      escaped += "&lt;";
    else if (c == '>')
      escaped += "&gt;";
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

std::vector<ViewerPage::Entry> ViewerPage::Entries(const std::vector<ViewerModel>& iModels) {
  std::vector<Entry> entries;
  for (const ViewerModel& model : iModels) entries.push_back(ModelEntry(model));
  return entries;
}

std::string ViewerPage::Html(const std::vector<ViewerModel>& iModels) { return Html(Entries(iModels)); }

std::string ViewerPage::Html(const std::vector<Entry>& iEntries) {
  const Entry data = {{"models", iEntries}};
  const std::string title =
      iEntries.empty() ? std::string("geosig") : iEntries.front()["title"].get<std::string>() + " - geosig";
  return std::string("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>") +
         HtmlText(title) + "</title>\n<style>\n" + ViewerAssets::_style + "</style>\n</head>\n<body>\n" +
         "<script type=\"application/json\" id=\"geosig-models\">" + ScriptSafeJson(data) + "</script>\n<script>\n" +
         ViewerAssets::_three + "\n</script>\n<script>\n" + ViewerAssets::_orbitControls + "\n</script>\n<script>\n" +
         ViewerAssets::_script + "</script>\n</body>\n</html>\n";
}

void ViewerPage::Write(const std::vector<ViewerModel>& iModels, const std::string& iPath) {
  Write(Entries(iModels), iPath);
}

void ViewerPage::Write(const std::vector<Entry>& iEntries, const std::string& iPath) {
  const std::string html = Html(iEntries);
  AtomicOutputFile file(iPath);
  std::ofstream stream(file.TemporaryPath(), std::ios::binary);
  stream.write(html.data(), static_cast<std::streamsize>(html.size()));
  stream.close();
  if (!stream) throw std::runtime_error("cannot be written");
  file.Commit();
}
