// The open descriptors that shape search is measured against, on the same parts: every model
// is read as `geosig index` reads it (the same importer, tessellation and options), points are
// sampled on its tessellated surface, and PCL's Ensemble of Shape Functions (640 bins) and
// Viewpoint Feature Histogram (with its shape distribution component) describe them. Each
// part then ranks all the others by the chi-squared distance of one histogram plus a size
// weight times |ln(size ratio)|, the size being the RMS distance of the points from their
// centroid. The rankings are written as `geosig neighbours` writes its JSON lines, one file
// per descriptor and size weight, so that scripts/score-neighbours.py scores them.
//
//   geosig_pcl_baseline --list LIST --out PREFIX [--points 20000] [--size-weights 0,0.1,0.2,0.5,1]
// writes PREFIX-esf-sizeW.jsonl and PREFIX-vfh-sizeW.jsonl for each weight W; LIST holds model
// paths, one a line.
#include <pcl/features/esf.h>
#include <pcl/features/vfh.h>
#include <pcl/point_cloud.h>
#include <pcl/point_types.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <numeric>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ModelImporter.h"
#include "TriangleCollector.h"
#include "nlohmann/json.hpp"

namespace {

struct Described {
  std::string path;
  double size = 0.0;
  std::vector<float> esf, vfh;
};

// iCount points spread over the triangles in proportion to their area, each with its triangle's normal.
pcl::PointCloud<pcl::PointNormal> SampledSurface(const ZarTessellation& iMesh, std::size_t iCount) {
  const auto vertex = [&](unsigned int iIndex) {
    return Eigen::Vector3f(iMesh.vertices[3 * iIndex], iMesh.vertices[3 * iIndex + 1], iMesh.vertices[3 * iIndex + 2]);
  };
  std::vector<double> areas;
  for (std::size_t t = 0; t + 2 < iMesh.triangles.size(); t += 3) {
    const Eigen::Vector3f a = vertex(iMesh.triangles[t]), b = vertex(iMesh.triangles[t + 1]),
                          c = vertex(iMesh.triangles[t + 2]);
    areas.push_back(0.5 * (b - a).cross(c - a).norm());
  }
  if (areas.empty() || std::accumulate(areas.begin(), areas.end(), 0.0) <= 0.0)
    throw std::runtime_error("no surface to sample");
  std::mt19937 random(7);
  std::discrete_distribution<std::size_t> pick(areas.begin(), areas.end());
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  pcl::PointCloud<pcl::PointNormal> cloud;
  for (std::size_t k = 0; k < iCount; ++k) {
    const std::size_t t = 3 * pick(random);
    const Eigen::Vector3f a = vertex(iMesh.triangles[t]), b = vertex(iMesh.triangles[t + 1]),
                          c = vertex(iMesh.triangles[t + 2]);
    float u = unit(random), v = unit(random);
    if (u + v > 1.0f) u = 1.0f - u, v = 1.0f - v;
    const Eigen::Vector3f p = a + u * (b - a) + v * (c - a), n = (b - a).cross(c - a).normalized();
    pcl::PointNormal point;
    point.x = p.x(), point.y = p.y(), point.z = p.z();
    point.normal_x = n.x(), point.normal_y = n.y(), point.normal_z = n.z();
    cloud.push_back(point);
  }
  return cloud;
}

Described Describe(const std::string& iPath, std::size_t iPoints) {
  const ImportedModel model = ModelImporter(ImportOptions()).Import(iPath);
  TriangleCollector collector;
  collector.Traverse(*model.root);
  const pcl::PointCloud<pcl::PointNormal>::Ptr cloud(
      new pcl::PointCloud<pcl::PointNormal>(SampledSurface(collector.TakeMesh(), iPoints)));
  pcl::PointCloud<pcl::PointXYZ>::Ptr points(new pcl::PointCloud<pcl::PointXYZ>);
  pcl::PointCloud<pcl::Normal>::Ptr normals(new pcl::PointCloud<pcl::Normal>);
  Eigen::Vector3d centroid = Eigen::Vector3d::Zero();
  for (const pcl::PointNormal& point : *cloud) {
    points->push_back(pcl::PointXYZ(point.x, point.y, point.z));
    normals->push_back(pcl::Normal(point.normal_x, point.normal_y, point.normal_z));
    centroid += Eigen::Vector3d(point.x, point.y, point.z);
  }
  centroid /= static_cast<double>(cloud->size());
  double spread = 0.0;
  for (const pcl::PointNormal& point : *cloud)
    spread += (Eigen::Vector3d(point.x, point.y, point.z) - centroid).squaredNorm();

  Described described;
  described.path = iPath;
  described.size = std::sqrt(spread / static_cast<double>(cloud->size()));
  pcl::ESFEstimation<pcl::PointXYZ, pcl::ESFSignature640> esf;
  esf.setInputCloud(points);
  pcl::PointCloud<pcl::ESFSignature640> esfOut;
  esf.compute(esfOut);
  described.esf.assign(esfOut[0].histogram, esfOut[0].histogram + 640);
  pcl::VFHEstimation<pcl::PointXYZ, pcl::Normal, pcl::VFHSignature308> vfh;
  vfh.setInputCloud(points);
  vfh.setInputNormals(normals);
  vfh.setFillSizeComponent(true);
  vfh.setNormalizeDistance(true);
  pcl::PointCloud<pcl::VFHSignature308> vfhOut;
  vfh.compute(vfhOut);
  described.vfh.assign(vfhOut[0].histogram, vfhOut[0].histogram + 308);
  return described;
}

// Chi-squared distance of two histograms, each scaled to sum 1.
double ChiSquared(const std::vector<float>& iA, const std::vector<float>& iB) {
  const double sumA = std::accumulate(iA.begin(), iA.end(), 0.0), sumB = std::accumulate(iB.begin(), iB.end(), 0.0);
  double distance = 0.0;
  for (std::size_t k = 0; k < iA.size(); ++k) {
    const double a = iA[k] / std::max(sumA, 1e-30), b = iB[k] / std::max(sumB, 1e-30);
    if (a + b > 0.0) distance += (a - b) * (a - b) / (a + b);
  }
  return 0.5 * distance;
}

void WriteRankings(const std::string& iPath, const std::vector<Described>& iParts, double iSizeWeight,
                   const std::vector<float> Described::*iHistogram) {
  std::ofstream out(iPath);
  for (std::size_t a = 0; a < iParts.size(); ++a) {
    std::vector<std::pair<double, std::size_t>> ranked;
    for (std::size_t b = 0; b < iParts.size(); ++b)
      if (b != a)
        ranked.emplace_back(ChiSquared(iParts[a].*iHistogram, iParts[b].*iHistogram) +
                                iSizeWeight * std::fabs(std::log(iParts[b].size / iParts[a].size)),
                            b);
    std::stable_sort(ranked.begin(), ranked.end());
    nlohmann::json record = {{"file", iParts[a].path}, {"neighbours", nlohmann::json::array()}};
    for (const auto& [distance, b] : ranked)
      record["neighbours"].push_back({{"file", iParts[b].path}, {"distance", {{"combined", distance}}}});
    out << record.dump() << '\n';
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + iPath);
}

}  // namespace

int main(int argc, char** argv) {
  std::string list, prefix;
  std::size_t points = 20000;
  std::vector<std::string> sizeWeights = {"0", "0.1", "0.2", "0.5", "1"};
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string option = argv[k], value = argv[k + 1];
    if (option == "--list")
      list = value;
    else if (option == "--out")
      prefix = value;
    else if (option == "--points")
      points = std::stoul(value);
    else if (option == "--size-weights") {
      sizeWeights.clear();
      std::istringstream weights(value);
      for (std::string weight; std::getline(weights, weight, ',');) sizeWeights.push_back(weight);
    }
  }
  if (list.empty() || prefix.empty() || argc % 2 == 0) {
    std::cerr << "usage: geosig_pcl_baseline --list LIST --out PREFIX [--points 20000] [--size-weights W,W...]\n";
    return 2;
  }
  std::ifstream paths(list);
  if (!paths) {
    std::cerr << "geosig_pcl_baseline: cannot read " << list << '\n';
    return 1;
  }
  std::vector<Described> parts;
  for (std::string path; std::getline(paths, path);) {
    if (path.empty()) continue;
    try {
      parts.push_back(Describe(path, points));
    } catch (const std::exception& failure) {
      std::cerr << "geosig_pcl_baseline: " << path << ": " << failure.what() << " (left out)\n";
    }
    std::fprintf(stderr, "\r%zu described", parts.size());
  }
  std::fprintf(stderr, "\n");
  try {
    for (const std::string& weight : sizeWeights) {
      WriteRankings(prefix + "-esf-size" + weight + ".jsonl", parts, std::stod(weight), &Described::esf);
      WriteRankings(prefix + "-vfh-size" + weight + ".jsonl", parts, std::stod(weight), &Described::vfh);
    }
  } catch (const std::exception& failure) {
    std::cerr << "geosig_pcl_baseline: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
