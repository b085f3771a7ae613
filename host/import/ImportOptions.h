#pragma once
// How curved CAD geometry is tessellated. Meshes are taken as they are.

struct ImportOptions {
  // Largest distance between a face and its triangles, as a fraction of the diagonal of the
  // model's bounding box. Used unless absoluteDeflection is positive.
  double relativeDeflection = 0.001;
  // The same distance in model units; 0 selects the relative one.
  double absoluteDeflection = 0.0;
  // Largest angle, in radians, between the normals at the ends of one triangle edge.
  double angularDeflection = 0.5;
  // Mesh a model's faces on several threads. Runs over many files turn it off: their worker processes
  // already keep the cores busy, and --jobs N should mean N cores, not N plus the mesher's threads.
  // The triangles are the same either way.
  bool parallelTessellation = true;
};
