// Writes a labelled set of parametric parts for measuring shape retrieval: one directory per
// family, each member with its parameters, size, pose and tessellation drawn from a seeded
// generator, so that a seed always gives the same files. Families include pairs that differ
// only by size and parts whose principal axes are ambiguous (square plates, cubes, bodies of
// revolution).
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "MeshWriters.h"

namespace {

constexpr double pi = 3.14159265358979323846;

using Mesh = ZarTessellation;
using Random = std::mt19937;

double Uniform(Random& ioRandom, double iLow, double iHigh) {
  return iLow + (iHigh - iLow) * std::generate_canonical<double, 53>(ioRandom);
}

int Between(Random& ioRandom, int iLow, int iHigh) {
  return iLow + static_cast<int>(std::floor(Uniform(ioRandom, 0, 1) * (iHigh - iLow + 1)));
}

void AddVertex(Mesh& ioMesh, double iX, double iY, double iZ) {
  ioMesh.vertices.insert(ioMesh.vertices.end(),
                         {static_cast<float>(iX), static_cast<float>(iY), static_cast<float>(iZ)});
}

void Append(Mesh& ioMesh, const Mesh& iPart) {
  const auto offset = static_cast<unsigned int>(ioMesh.VertexCount());
  ioMesh.vertices.insert(ioMesh.vertices.end(), iPart.vertices.begin(), iPart.vertices.end());
  for (const unsigned int index : iPart.triangles) ioMesh.triangles.push_back(index + offset);
}

// Quads between consecutive rows of a (rows + 1) x (columns + 1) vertex lattice that starts at
// vertex iFirst, each split into two triangles.
void AddLatticeTriangles(Mesh& ioMesh, unsigned int iFirst, unsigned int iRows, unsigned int iColumns) {
  const unsigned int stride = iColumns + 1;
  for (unsigned int row = 0; row < iRows; ++row)
    for (unsigned int column = 0; column < iColumns; ++column) {
      const unsigned int a = iFirst + row * stride + column, b = a + 1, c = a + stride, d = c + 1;
      ioMesh.triangles.insert(ioMesh.triangles.end(), {a, b, d, a, d, c});
    }
}

// An axis-aligned box centred at (iCx, iCy, iCz), each face split into iCells x iCells quads.
Mesh Box(double iSx, double iSy, double iSz, unsigned int iCells, double iCx = 0, double iCy = 0, double iCz = 0) {
  Mesh box;
  const double half[3] = {iSx / 2, iSy / 2, iSz / 2}, centre[3] = {iCx, iCy, iCz};
  for (int axis = 0; axis < 3; ++axis)
    for (int side = -1; side <= 1; side += 2) {
      const int u = (axis + 1) % 3, v = (axis + 2) % 3;
      const auto first = static_cast<unsigned int>(box.VertexCount());
      for (unsigned int i = 0; i <= iCells; ++i)
        for (unsigned int j = 0; j <= iCells; ++j) {
          double point[3];
          point[axis] = centre[axis] + side * half[axis];
          point[u] = centre[u] + half[u] * (2.0 * i / iCells - 1) * side;
          point[v] = centre[v] + half[v] * (2.0 * j / iCells - 1);
          AddVertex(box, point[0], point[1], point[2]);
        }
      AddLatticeTriangles(box, first, iCells, iCells);
    }
  return box;
}

// The surface swept by a profile of (radius, height) points turning about the z axis, in
// iSectors steps; a closed profile repeats its first point at the end.
Mesh Lathe(const std::vector<std::array<double, 2>>& iProfile, unsigned int iSectors) {
  Mesh lathe;
  for (const auto& point : iProfile)
    for (unsigned int sector = 0; sector <= iSectors; ++sector) {
      const double angle = 2 * pi * sector / iSectors;
      AddVertex(lathe, point[0] * std::cos(angle), point[0] * std::sin(angle), point[1]);
    }
  AddLatticeTriangles(lathe, 0, static_cast<unsigned int>(iProfile.size() - 1), iSectors);
  return lathe;
}

// A prism of height iHeight along z, centred on the origin, whose outline at angle t lies at
// radius iOuter(t), with a hole of radius iInner(t) when iInner is given.
Mesh RadialPrism(const std::function<double(double)>& iOuter, const std::function<double(double)>& iInner,
                 double iHeight, unsigned int iSectors) {
  Mesh prism;
  const double low = -iHeight / 2, high = iHeight / 2;
  // Rows: inner bottom, outer bottom, outer top, inner top, back to inner bottom.
  const auto inner = [&](double t) { return iInner ? iInner(t) : 0.0; };
  const std::vector<std::pair<bool, double>> rows = {
      {false, low}, {true, low}, {true, high}, {false, high}, {false, low}};
  for (const auto& [outer, z] : rows)
    for (unsigned int sector = 0; sector <= iSectors; ++sector) {
      const double t = 2 * pi * sector / iSectors, r = outer ? iOuter(t) : inner(t);
      AddVertex(prism, r * std::cos(t), r * std::sin(t), z);
    }
  AddLatticeTriangles(prism, 0, static_cast<unsigned int>(rows.size() - 1), iSectors);
  return prism;
}

Mesh Cylinder(double iRadius, double iHeight, unsigned int iSectors) {
  return RadialPrism([=](double) { return iRadius; }, nullptr, iHeight, iSectors);
}

Mesh Moved(Mesh iMesh, double iX, double iY, double iZ) {
  for (std::size_t k = 0; k < iMesh.vertices.size(); k += 3) {
    iMesh.vertices[k] += static_cast<float>(iX);
    iMesh.vertices[k + 1] += static_cast<float>(iY);
    iMesh.vertices[k + 2] += static_cast<float>(iZ);
  }
  return iMesh;
}

// The radius at angle t of a regular polygon of iSides sides whose corners lie at iRadius.
double PolygonRadius(double iRadius, int iSides, double iAngle) {
  const double sector = 2 * pi / iSides;
  const double local = std::fmod(iAngle, sector) - sector / 2;
  return iRadius * std::cos(sector / 2) / std::cos(local);
}

// How a member of a family is drawn: its shape from jittered parameters j(nominal) and the
// tessellation density (cells per box face, sectors of round parts).
struct Draw {
  Random& random;
  unsigned int cells;
  unsigned int sectors;
  double j(double iNominal) { return iNominal * Uniform(random, 0.93, 1.07); }
};

Mesh Connector(Draw& ioDraw) {
  Mesh connector = Box(ioDraw.j(6), ioDraw.j(1), ioDraw.j(0.8), ioDraw.cells);
  const double pinLength = ioDraw.j(1.2), pinRadius = ioDraw.j(0.12);
  for (int pin = 0; pin < 6; ++pin)
    Append(connector, Moved(Cylinder(pinRadius, pinLength, ioDraw.sectors / 2), -2.5 + pin, 0, -0.4 - pinLength / 2));
  return connector;
}

Mesh Spacer(Draw& ioDraw) {
  const double outer = ioDraw.j(1), inner = ioDraw.j(0.55);
  return RadialPrism([=](double) { return outer; }, [=](double) { return inner; }, ioDraw.j(1.3), ioDraw.sectors);
}

struct Family {
  const char* name;
  double size;  // nominal scale of the family; members vary by +/- 15 %
  std::function<Mesh(Draw&)> shape;
};

std::vector<Family> Families() {
  return {
      {"brick", 10, [](Draw& d) { return Box(d.j(4), d.j(2), d.j(1), d.cells); }},
      {"square-plate", 20,
       [](Draw& d) {
         const double side = d.j(4);
         return Box(side, side * Uniform(d.random, 0.99, 1.01), d.j(0.4), d.cells);
       }},
      {"cube", 8,
       [](Draw& d) {
         const double side = d.j(1);
         return Box(side, side * Uniform(d.random, 0.98, 1.02), side * Uniform(d.random, 0.98, 1.02), d.cells);
       }},
      {"rod", 30, [](Draw& d) { return Cylinder(d.j(0.3), d.j(4), d.sectors); }},
      {"disc", 25, [](Draw& d) { return Cylinder(d.j(2), d.j(0.4), d.sectors); }},
      {"tube", 15,
       [](Draw& d) {
         const double r = d.j(1), wall = d.j(0.15);
         return RadialPrism([=](double) { return r; }, [=](double) { return r - wall; }, d.j(3), d.sectors);
       }},
      {"cone", 12,
       [](Draw& d) {
         const double r = d.j(1), h = d.j(2);
         return Lathe({{0, 0}, {r, 0}, {0, h}}, d.sectors);
       }},
      {"ball", 10,
       [](Draw& d) {
         std::vector<std::array<double, 2>> profile;
         const double r = d.j(1);
         for (unsigned int k = 0; k <= d.sectors / 2; ++k) {
           const double a = pi * k / (d.sectors / 2);
           profile.push_back({r * std::sin(a), -r * std::cos(a)});
         }
         return Lathe(profile, d.sectors);
       }},
      {"ring", 20,
       [](Draw& d) {
         std::vector<std::array<double, 2>> profile;
         const double big = d.j(2), small = d.j(0.4);
         for (unsigned int k = 0; k <= d.sectors / 2; ++k) {
           const double a = 2 * pi * k / (d.sectors / 2);
           profile.push_back({big + small * std::cos(a), small * std::sin(a)});
         }
         return Lathe(profile, d.sectors);
       }},
      {"hex-nut", 8,
       [](Draw& d) {
         const double r = d.j(1), hole = d.j(0.5);
         return RadialPrism([=](double t) { return PolygonRadius(r, 6, t); }, [=](double) { return hole; }, d.j(0.8),
                            6 * (d.sectors / 6));
       }},
      {"gear", 30,
       [](Draw& d) {
         const double r = d.j(1), tooth = d.j(0.12), hole = d.j(0.3);
         return RadialPrism([=](double t) { return r + tooth * (std::cos(12 * t) > 0 ? 1 : -1); },
                            [=](double) { return hole; }, d.j(0.3), 96 + 24 * (d.sectors % 3));
       }},
      {"l-bracket", 15,
       [](Draw& d) {
         const double a = d.j(3), b = d.j(2), t = d.j(0.3), w = d.j(1.5);
         Mesh bracket = Box(a, w, t, d.cells, a / 2, 0, t / 2);
         Append(bracket, Box(t, w, b, d.cells, t / 2, 0, b / 2));
         return bracket;
       }},
      {"t-beam", 40,
       [](Draw& d) {
         const double length = d.j(5), flange = d.j(1), web = d.j(1), t = d.j(0.15);
         Mesh beam = Box(length, flange, t, d.cells, 0, 0, web);
         Append(beam, Box(length, t, web, d.cells, 0, 0, web / 2));
         return beam;
       }},
      {"u-channel", 40,
       [](Draw& d) {
         const double length = d.j(5), width = d.j(1.2), height = d.j(0.8), t = d.j(0.12);
         Mesh channel = Box(length, width, t, d.cells, 0, 0, t / 2);
         Append(channel, Box(length, t, height, d.cells, 0, -width / 2, height / 2));
         Append(channel, Box(length, t, height, d.cells, 0, width / 2, height / 2));
         return channel;
       }},
      {"bolt", 12,
       [](Draw& d) {
         const double head = d.j(0.8), shank = d.j(0.4), length = d.j(3), headHeight = d.j(0.5);
         Mesh bolt = Moved(
             RadialPrism([=](double t) { return PolygonRadius(head, 6, t); }, nullptr, headHeight, 6 * (d.sectors / 6)),
             0, 0, headHeight / 2);
         Append(bolt, Moved(Cylinder(shank, length, d.sectors), 0, 0, -length / 2));
         return bolt;
       }},
      {"bottle", 25,
       [](Draw& d) {
         const double r = d.j(1), neck = d.j(0.35), body = d.j(2.2), top = d.j(3.2);
         return Lathe({{0, 0}, {r, 0}, {r, body}, {neck, body + 0.5}, {neck, top}, {0, top}}, d.sectors);
       }},
      {"connector-small", 10, Connector},
      {"connector-large", 16, Connector},
      {"spacer-small", 6, Spacer},
      {"spacer-large", 10, Spacer},
  };
}

// A uniformly random rotation, applied with a scaling and a translation.
Mesh Placed(Mesh iMesh, Random& ioRandom, double iScale) {
  std::normal_distribution<double> normal;
  double q[4];
  double length = 0;
  for (double& component : q) {
    component = normal(ioRandom);
    length += component * component;
  }
  length = std::sqrt(length);
  for (double& component : q) component /= length;
  const double w = q[0], x = q[1], y = q[2], z = q[3];
  const double rotation[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                                 {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                                 {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
  const double shift[3] = {Uniform(ioRandom, -100, 100), Uniform(ioRandom, -100, 100), Uniform(ioRandom, -100, 100)};
  for (std::size_t k = 0; k < iMesh.vertices.size(); k += 3) {
    const double p[3] = {iMesh.vertices[k], iMesh.vertices[k + 1], iMesh.vertices[k + 2]};
    for (int row = 0; row < 3; ++row)
      iMesh.vertices[k + row] = static_cast<float>(
          iScale * (rotation[row][0] * p[0] + rotation[row][1] * p[1] + rotation[row][2] * p[2]) + shift[row]);
  }
  return iMesh;
}

void WriteMember(const std::string& iPath, const Mesh& iMesh, int iMember) {
  // Mostly binary STL, with some PLY and OBJ so that the set also crosses formats.
  if (iMember % 7 == 3)
    WriteObj(iPath + ".obj", "part", iMesh);
  else if (iMember % 5 == 1)
    WriteBinaryPly(iPath + ".ply", iMesh);
  else
    WriteBinaryStl(iPath + ".stl", iMesh);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::cerr << "usage: geosig_make_evaluation_set DIRECTORY [MEMBERS [SEED]]\n";
    return 2;
  }
  const std::string directory = argv[1];
  const int members = argc > 2 ? std::atoi(argv[2]) : 24;
  const unsigned long seed = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20261206;
  if (members < 1) {
    std::cerr << "geosig_make_evaluation_set: MEMBERS must be at least 1\n";
    return 2;
  }
  try {
    Random random(static_cast<Random::result_type>(seed));
    for (const Family& family : Families()) {
      const std::string folder = directory + "/" + family.name;
      std::filesystem::create_directories(folder);
      for (int member = 0; member < members; ++member) {
        Draw draw{random, static_cast<unsigned int>(Between(random, 1, 4)),
                  static_cast<unsigned int>(6 * Between(random, 3, 8))};
        const Mesh shape = family.shape(draw);
        const double scale = family.size * Uniform(random, 0.85, 1.15);
        char name[16];
        std::snprintf(name, sizeof name, "-%02d", member);
        WriteMember(folder + "/" + family.name + name, Placed(shape, random, scale), member);
      }
    }
  } catch (const std::exception& error) {
    std::cerr << "geosig_make_evaluation_set: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
