// Compiled into every sanitized program that links the host library: the leaks the readers'
// own libraries are known to have, which the leak checker ignores so that our own leaks still
// fail. It keeps quiet about them so that error output stays one line per bad file.
extern "C" const char* __lsan_default_suppressions() {
  return
      // OpenCASCADE (toolkits libTK*) keeps process-wide caches that it never frees.
      "leak:libTK\n"
      // Assimp's readers drop the meshes they have built when they throw on a malformed file
      // (found by fuzzing: an STL solid with a misspelt "vertex", a damaged OBJ file; both are in
      // fuzz/regressions/MeshImportFuzzer).
      "leak:libassimp\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
