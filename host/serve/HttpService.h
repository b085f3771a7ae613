#pragma once
// The service's HTTP side (cpp-httplib): every request, whatever its method and path, goes through one dispatcher
// that checks the path (ApiRoute), the token and the method, then answers from the compiled-in page and assets or
// from CatalogApi. Every failure is a JSON answer {"error": reason} with its status, and the service goes on.
// Uploads stream to a file of the service's directory as they arrive; a body over the limit gets 413 unread.
#include <cstddef>
#include <memory>
#include <string>

#include "BearerToken.h"
#include "CatalogApi.h"
#include "ServiceDirectory.h"

namespace httplib {
class Server;
class ContentReader;
struct Request;
struct Response;
}  // namespace httplib

struct HttpOptions {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  std::string token;
  std::size_t maxUploadBytes = std::size_t{256} << 20;
  unsigned int threads = 32;  // connections served at once
};

class HttpService {
 public:
  HttpService(CatalogApi& ioApi, ServiceDirectory& ioDirectory, const HttpOptions& iOptions);
  ~HttpService();
  HttpService(const HttpService&) = delete;
  HttpService& operator=(const HttpService&) = delete;

  // Binds the listening socket; the URL of the page. Throws std::runtime_error when it cannot bind.
  std::string Bind();
  // Serves until Stop is called (from another thread), then waits for the requests in flight. False when it
  // could not listen.
  bool Serve();
  void Stop();

 private:
  void Answer(const httplib::Request& iRequest, httplib::Response& oResponse,
              const httplib::ContentReader* iReader) const;
  void Route(const httplib::Request& iRequest, httplib::Response& oResponse, const httplib::ContentReader* iReader,
             bool& oBodyRead) const;
  // The model in the request's body (raw, or the multipart field "file") stored in the service's directory and
  // searched.
  std::string SearchUpload(const httplib::Request& iRequest, const httplib::ContentReader* iReader,
                           httplib::Response& oResponse, bool& oBodyRead) const;

  CatalogApi& _api;
  ServiceDirectory& _directory;
  HttpOptions _options;
  BearerToken _token;
  std::unique_ptr<httplib::Server> _server;
};
