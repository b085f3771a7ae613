// The page writer: what a page embeds reads back as it was given, and no text of a model can end the page's
// elements early.
#include <gtest/gtest.h>

#include <algorithm>

#include "ViewerPage.h"
#include "ViewerPageData.h"

namespace {

std::size_t Occurrences(const std::string& iText, const std::string& iPart) {
  std::size_t count = 0;
  for (std::size_t at = iText.find(iPart); at != std::string::npos; at = iText.find(iPart, at + 1)) ++count;
  return count;
}

ViewerModel Triangle(const std::string& iTitle) {
  ViewerModel model;
  model.title = iTitle;
  model.report = "a report with <b>markup</b> & </script>";
  model.descriptors = {{"triangles", 1}};
  model.mesh.vertices = {0, 0, 0, 1.5f, 0, 0, 0, -2.25f, 1e-7f};
  model.mesh.triangles = {0, 1, 2};
  model.sourceTriangles = 1;
  return model;
}

TEST(ViewerPage, ModelTextCannotEndThePageElementsAndReadsBackIntact) {
  const std::string title = "odd </script><!--<script> & \"name\".stl";
  const std::string html = ViewerPage::Html({Triangle(title)});
  // The data, three.js, its controls and the page's script: four script elements and no other closing tag.
  EXPECT_EQ(Occurrences(html, "</script>"), 4u);
  EXPECT_EQ(Occurrences(html, "<!--"), 0u);
  EXPECT_NE(html.find("<title>odd &lt;/script&gt;&lt;!--&lt;script&gt; &amp; \"name\".stl - geosig</title>"),
            std::string::npos);

  const nlohmann::json model = ViewerPageData(html)["models"][0];
  EXPECT_EQ(model["title"], title);
  EXPECT_EQ(model["report"], "a report with <b>markup</b> & </script>");
  EXPECT_EQ(model["voxels"], nullptr);
  EXPECT_EQ(DecodedFloats(model["mesh"]["positions"]), (std::vector<float>{0, 0, 0, 1.5f, 0, 0, 0, -2.25f, 1e-7f}));
  EXPECT_EQ(DecodedIndices(model["mesh"]["indices"]), (std::vector<unsigned int>{0, 1, 2}));
}

TEST(ViewerPage, SeveralModelsKeepTheirOrderCaptionsAndVoxels) {
  ViewerModel query = Triangle("query.stl"), match = Triangle("match.stl");
  match.caption = "distance 0.25";
  match.voxels = ViewerVoxels{2, {-1, -2, -3}, 0.5f, {0, 1, 3, 3, 3, 3}};
  const nlohmann::json models = ViewerPageData(ViewerPage::Html({query, match}))["models"];
  ASSERT_EQ(models.size(), 2u);
  EXPECT_EQ(models[0]["title"], "query.stl");
  EXPECT_EQ(models[1]["caption"], "distance 0.25");
  const nlohmann::json& voxels = models[1]["voxels"];
  EXPECT_EQ(voxels["count"], 2);
  EXPECT_EQ(voxels["min"], (nlohmann::json{-1, -2, -3}));
  EXPECT_EQ(DecodedCells(voxels["cells"]), (std::vector<std::uint16_t>{0, 1, 3, 3, 3, 3}));
}

}  // namespace
