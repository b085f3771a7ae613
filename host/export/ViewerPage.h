#pragma once
// A self-contained HTML page that shows models in interactive 3D views, with their descriptors: three.js,
// the page's script and every model's data are inside it, so that it opens from a file path with no network,
// and can be mailed or archived. Geometry is embedded as base64 of little-endian binary arrays.
//
// The page's data, in the script element #geosig-models: {"models": [MODEL, ...]}, where MODEL is
//   {"title", "caption", "report": describe's text, "descriptors": describe's JSON descriptors,
//    "mesh": {"triangles", "sourceTriangles", "positions": float32 x, y, z, "indices": uint32 triples},
//    "voxels": null or {"depth", "count", "min": the octree box's low corner, "edge",
//                       "cells": uint16 x, y, z leaf cell indices}}
// or, for a model that could not be read, {"title", "caption", "unreadable": the reason}. Either may hold
// "query": true, marking the model a search compared the others with.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ZarTessellation.h"

// The occupied leaves of an octree: cell (i, j, k) spans min + (i, j, k) * edge to min + (i + 1, j + 1, k + 1) * edge.
struct ViewerVoxels {
  unsigned int depth = 0;
  std::array<float, 3> min = {0, 0, 0};
  float edge = 0;
  std::vector<std::uint16_t> cells;  // x, y, z of each occupied leaf
};

struct ViewerModel {
  std::string title;    // the file, as given
  std::string caption;  // shown beside the title (a search distance, say); may be empty
  std::string report;   // the descriptors as text
  nlohmann::ordered_json descriptors;
  ZarTessellation mesh;             // the triangles to draw, in the frame of the descriptors
  std::size_t sourceTriangles = 0;  // the triangles the descriptors were computed on
  std::optional<ViewerVoxels> voxels;
};

class ViewerPage {
 public:
  using Entry = nlohmann::ordered_json;

  // A model's MODEL in the page's data, which a command may put together with others into a page.
  static Entry ModelEntry(const ViewerModel& iModel);
  // The entry of a model that could not be read: its view gives iReason instead.
  static Entry UnreadableEntry(const std::string& iTitle, const std::string& iReason);

  // The page's HTML; the window title names the first model.
  static std::string Html(const std::vector<ViewerModel>& iModels);
  static std::string Html(const std::vector<Entry>& iEntries);
  // Writes the page to iPath, complete or not at all. Throws std::runtime_error with the reason.
  static void Write(const std::vector<ViewerModel>& iModels, const std::string& iPath);
  static void Write(const std::vector<Entry>& iEntries, const std::string& iPath);

 private:
  static std::vector<Entry> Entries(const std::vector<ViewerModel>& iModels);
};
