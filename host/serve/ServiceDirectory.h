#pragma once
// The service's private directory, readable by its user only and removed with everything in it when the service
// ends: uploads are written there under names of the service's making, and the display models it caches.
#include <atomic>
#include <string>

class ServiceDirectory {
 public:
  // Made in TMPDIR (or /tmp). Throws std::runtime_error when it cannot be made.
  ServiceDirectory();
  ~ServiceDirectory();
  ServiceDirectory(const ServiceDirectory&) = delete;
  ServiceDirectory& operator=(const ServiceDirectory&) = delete;

  const std::string& Path() const { return _path; }
  // A name for an upload no other request has, ending in iExtension (".step", say).
  std::string NewUploadPath(const std::string& iExtension);

 private:
  std::string _path;
  std::atomic<unsigned long> _uploads{0};
};
