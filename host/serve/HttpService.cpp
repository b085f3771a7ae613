#include "HttpService.h"

#include <httplib.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>

#include "ApiError.h"
#include "ApiParameters.h"
#include "ApiRoute.h"
#include "ServeAssets.h"
#include "UploadedFile.h"
#include "ViewerAssets.h"

namespace {

const char* const jsonType = "application/json";

struct Asset {
  const char* text;
  const char* type;
};

// The page's files, all compiled in: three.js and the viewer's script and style are the viewer pages' own.
const std::map<std::string, Asset>& Assets() {
  static const std::map<std::string, Asset> assets = {
      {"three.min.js", {ViewerAssets::_three, "text/javascript"}},
      {"OrbitControls.js", {ViewerAssets::_orbitControls, "text/javascript"}},
      {"viewer.js", {ViewerAssets::_script, "text/javascript"}},
      {"viewer.css", {ViewerAssets::_style, "text/css"}},
      {"search.js", {ServeAssets::_script, "text/javascript"}},
      {"search.css", {ServeAssets::_style, "text/css"}},
  };
  return assets;
}

void AnswerJson(httplib::Response& oResponse, int iStatus, const Report& iReport) {
  oResponse.status = iStatus;
  oResponse.set_content(ReportText(iReport), jsonType);
}

void AnswerError(httplib::Response& oResponse, int iStatus, const std::string& iReason) {
  AnswerJson(oResponse, iStatus, {{"error", iReason}});
}

// The reason of a status that cpp-httplib set itself (a request it could not parse, a body over the limit).
std::string StatusReason(int iStatus) {
  switch (iStatus) {
    case 400: return "malformed request";
    case 404: return "no such route";
    case 405: return "method not allowed";
    case 413: return "the request body is larger than the service accepts";
    case 411: return "the request body needs its Content-Length";
    case 414: return "the request target is too long";
    case 416: return "range not satisfiable";
    default: return "request failed (HTTP " + std::to_string(iStatus) + ")";
  }
}

std::string TooLarge(std::size_t iLimit) {
  return "the request body is larger than the " + std::to_string(iLimit >> 20) + " MiB the service accepts";
}

}  // namespace

HttpService::HttpService(CatalogApi& ioApi, ServiceDirectory& ioDirectory, const HttpOptions& iOptions)
    : _api(ioApi),
      _directory(ioDirectory),
      _options(iOptions),
      _token(iOptions.token),
      _server(std::make_unique<httplib::Server>()) {
  httplib::Server& server = *_server;
  const unsigned int threads = _options.threads;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server.set_payload_max_length(_options.maxUploadBytes);
  server.set_read_timeout(30);
  // The answer's head and body go out in separate writes: without this, Nagle's algorithm holds the body until the
  // client's delayed acknowledgement, some 40 ms a request.
  server.set_tcp_nodelay(true);
  // Only SO_REUSEADDR: cpp-httplib's default adds SO_REUSEPORT, with which a second service would share the port.
  server.set_socket_options([](int iSocket) {
    const int yes = 1;
    setsockopt(iSocket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // Nothing the service answers may be framed, sniffed into another type, or fetch from elsewhere.
  server.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                              {"Referrer-Policy", "no-referrer"},
                              {"Cache-Control", "no-store"},
                              {"Content-Security-Policy",
                               "default-src 'self'; img-src 'self' data:; object-src 'none'; base-uri 'none'; "
                               "form-action 'none'; frame-ancestors 'none'"}});
  const auto plain = [this](const httplib::Request& iRequest, httplib::Response& oResponse) {
    Answer(iRequest, oResponse, nullptr);
  };
  const auto streamed = [this](const httplib::Request& iRequest, httplib::Response& oResponse,
                               const httplib::ContentReader& iReader) { Answer(iRequest, oResponse, &iReader); };
  const std::string any = ".*";
  // The methods that may carry a body get it through a reader, so that nothing is read before Answer decides.
  server.Get(any, plain).Options(any, plain);
  server.Post(any, streamed).Put(any, streamed).Patch(any, streamed).Delete(any, streamed);
  const httplib::Server::HandlerWithResponse jsonErrors = [](const httplib::Request&, httplib::Response& ioResponse) {
    if (!ioResponse.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    AnswerError(ioResponse, ioResponse.status, StatusReason(ioResponse.status));
    return httplib::Server::HandlerResponse::Handled;
  };
  server.set_error_handler(jsonErrors);
  server.set_exception_handler([](const httplib::Request&, httplib::Response& oResponse, std::exception_ptr iFailure) {
    std::string reason = "unexpected failure";
    try {
      std::rethrow_exception(iFailure);
    } catch (const std::exception& failure) {
      reason = failure.what();
    } catch (...) {
    }
    AnswerError(oResponse, 500, "internal error: " + reason);
  });
}

HttpService::~HttpService() = default;

std::string HttpService::Bind() {
  int port = _options.port;
  if (port == 0) {
    port = _server->bind_to_any_port(_options.host);
    if (port < 0) port = 0;
  } else if (!_server->bind_to_port(_options.host, port)) {
    port = 0;
  }
  if (port == 0) throw std::runtime_error("cannot listen on " + _options.host + ":" + std::to_string(_options.port));
  const bool v6 = _options.host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + _options.host + "]" : _options.host) + ":" + std::to_string(port) + "/";
}

bool HttpService::Serve() { return _server->listen_after_bind(); }

void HttpService::Stop() { _server->stop(); }

void HttpService::Answer(const httplib::Request& iRequest, httplib::Response& oResponse,
                         const httplib::ContentReader* iReader) const {
  // A body is read only when its length is known: without Content-Length or chunks, it would run to the end of
  // the connection.
  const bool delimited = iRequest.has_header("Content-Length") ||
                         iRequest.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
  if (!delimited) iReader = nullptr;
  // A body declared over the limit is refused before any of it is read. The connection cannot be reused: the
  // client is told so, and what it sends next fails to parse as a request, which ends the connection.
  const std::string length = iRequest.get_header_value("Content-Length");
  if (!length.empty() && std::strtoull(length.c_str(), nullptr, 10) > _options.maxUploadBytes) {
    oResponse.set_header("Connection", "close");
    AnswerError(oResponse, 413, TooLarge(_options.maxUploadBytes));
    return;
  }
  bool bodyRead = iReader == nullptr;
  try {
    Route(iRequest, oResponse, iReader, bodyRead);
  } catch (const ApiError& failure) {
    AnswerError(oResponse, failure.Status(), failure.what());
  } catch (const std::exception& failure) {
    AnswerError(oResponse, 500, failure.what());
  }
  // A body left unread would be taken for the next request on the connection.
  if (!bodyRead) (*iReader)([](const char*, std::size_t) { return true; });
}

void HttpService::Route(const httplib::Request& iRequest, httplib::Response& oResponse,
                        const httplib::ContentReader* iReader, bool& oBodyRead) const {
  const ApiRoute route = ApiRoute::Of(iRequest.path, iRequest.target);
  if (route.IsApi() && !_token.Accepts(iRequest.get_header_value("Authorization"))) {
    oResponse.set_header("WWW-Authenticate", "Bearer");
    throw ApiError(401, "this service needs the header Authorization: Bearer TOKEN");
  }
  const std::string method = iRequest.method == "HEAD" ? "GET" : iRequest.method;
  if (method != route.Method()) {
    oResponse.set_header("Allow", route.Method() == std::string("GET") ? "GET, HEAD" : route.Method());
    throw ApiError(405, iRequest.method + " is not allowed here; use " + route.Method());
  }
  const ApiParameters parameters(iRequest.params);
  if (route.IsApi()) _api.Refresh();
  switch (route.kind) {
    case ApiRoute::Kind::Page: oResponse.set_content(ServeAssets::_page, "text/html; charset=utf-8"); return;
    case ApiRoute::Kind::Asset: {
      const auto asset = Assets().find(route.asset);
      if (asset == Assets().end()) throw ApiError(404, "no such asset: " + route.asset.substr(0, 100));
      oResponse.set_content(asset->second.text, asset->second.type);
      return;
    }
    case ApiRoute::Kind::OpenApi: oResponse.set_content(ServeAssets::_openApi, jsonType); return;
    case ApiRoute::Kind::Health: AnswerJson(oResponse, 200, _api.Health()); return;
    case ApiRoute::Kind::Part: AnswerJson(oResponse, 200, _api.Part(route.id)); return;
    case ApiRoute::Kind::Neighbours:
      AnswerJson(oResponse, 200, _api.Neighbours(route.id, parameters.Count(), parameters.AnySize()));
      return;
    case ApiRoute::Kind::Model: oResponse.set_content(_api.Model(route.id), "model/gltf-binary"); return;
    case ApiRoute::Kind::Duplicates:
      AnswerJson(oResponse, 200, _api.Duplicates(parameters.MaxDistance(), parameters.AnySize()));
      return;
    case ApiRoute::Kind::Search:
      oResponse.set_content(SearchUpload(iRequest, iReader, oResponse, oBodyRead), jsonType);
      return;
  }
}

std::string HttpService::SearchUpload(const httplib::Request& iRequest, const httplib::ContentReader* iReader,
                                      httplib::Response& oResponse, bool& oBodyRead) const {
  const ApiParameters parameters(iRequest.params);
  const std::size_t count = parameters.Count();
  const bool anySize = parameters.AnySize();
  if (!iReader) throw ApiError(411, "send the model as the request body, with its Content-Length or in chunks");
  std::optional<UploadedFile> upload;
  bool written = true, fields = false;
  // Whatever goes wrong with the upload, its body is read to the end (and dropped), since the bytes left unread
  // would be taken for the next request on the connection.
  const auto store = [&written, &upload](const char* iData, std::size_t iSize) {
    written = written && upload->Write(iData, iSize);
    return true;
  };
  std::optional<ApiError> refused;
  bool received;
  if (iRequest.is_multipart_form_data()) {
    bool inFile = false;
    received = (*iReader)(
        [&](const httplib::MultipartFormData& iField) {
          fields = true;
          inFile = iField.name == "file" && !upload && !refused;
          try {
            if (inFile) upload.emplace(_directory.NewUploadPath(parameters.Extension(iField.filename)));
          } catch (const ApiError& failure) {
            refused = failure;
            inFile = false;
          } catch (const std::runtime_error& failure) {
            refused = ApiError(500, failure.what());
            inFile = false;
          }
          return true;
        },
        [&](const char* iData, std::size_t iSize) { return !inFile || store(iData, iSize); });
  } else {
    upload.emplace(_directory.NewUploadPath(parameters.Extension()));
    received = (*iReader)(store);
  }
  oBodyRead = true;
  if (oResponse.status == 413) throw ApiError(413, TooLarge(_options.maxUploadBytes));
  if (refused) throw *refused;
  if (!written) throw ApiError(500, "the upload could not be stored");
  if (!received) throw ApiError(400, "the request body could not be read");
  if (!upload) throw ApiError(400, fields ? "the form has no field 'file'" : "the request holds no model");
  if (!upload->Close()) throw ApiError(500, "the upload could not be stored");
  if (upload->Size() == 0) throw ApiError(400, "the model sent is empty");
  return ReportText(_api.Search(*upload, count, anySize));
}
