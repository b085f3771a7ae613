#pragma once
// Collects what Assimp's readers log as warnings and errors while one file is read: a reader
// that drops a face it cannot use says so only in its log. Assimp has one process-wide logger,
// so a capture must live only while its import holds the mesh importer's one-read-at-a-time
// lock; the messages are then that import's alone.
#include <assimp/LogStream.hpp>

#include <string>
#include <vector>

class AssimpMessageCapture : public Assimp::LogStream {
 public:
  // Attaches to Assimp's logger, creating it (without output of its own) on first use.
  AssimpMessageCapture();
  ~AssimpMessageCapture() override;
  AssimpMessageCapture(const AssimpMessageCapture&) = delete;
  AssimpMessageCapture& operator=(const AssimpMessageCapture&) = delete;

  // The messages so far, without the logger's severity and thread prefix, each once.
  const std::vector<std::string>& Messages() const { return _messages; }

  void write(const char* iMessage) override;

 private:
  std::vector<std::string> _messages;
};
