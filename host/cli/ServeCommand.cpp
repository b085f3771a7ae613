#include "ServeCommand.h"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "AppFailure.h"
#include "CatalogApi.h"
#include "ExitStatus.h"
#include "HttpService.h"
#include "ImportOptionFlags.h"
#include "ViewedFile.h"

namespace {

// SIGINT and SIGTERM are taken by a thread of their own (sigwait), never by a handler: blocked before any other
// thread starts, they stay blocked in every thread the service makes.
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&_signals);
    sigaddset(&_signals, SIGINT);
    sigaddset(&_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &_signals, &_previous);
  }
  ~StopSignals() { pthread_sigmask(SIG_SETMASK, &_previous, nullptr); }

  // Waits for one of them.
  void Wait() const {
    int signal = 0;
    sigwait(&_signals, &signal);
  }

 private:
  sigset_t _signals;
  sigset_t _previous;
};

}  // namespace

ServeCommand::ServeCommand(CLI::App& ioApp)
    : _readers(std::max(1u, std::thread::hardware_concurrency())),
      _displayTriangles(ViewedFile::MatchDisplayTriangles) {
  CLI::App* command = ioApp.add_subcommand("serve", "Serve a catalog: a JSON API and a search page in the browser");
  command->add_option("--db", _database, "The catalog database made by geosig index")->required();
  command->add_option("--host", _host, "The address to listen on")->capture_default_str();
  command->add_option("--port", _port, "The port to listen on (0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  command
      ->add_option("--token", _token,
                   "Require 'Authorization: Bearer TOKEN' on every API request (or set GEOSIG_SERVE_TOKEN)")
      ->envname("GEOSIG_SERVE_TOKEN");
  command->add_option("--max-upload-mib", _maxUploadMib, "Refuse uploaded models larger than this (MiB)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 20))
      ->capture_default_str();
  command->add_option("--readers", _readers, "Models read at once (default: the cores)")->check(CLI::Range(1u, 1024u));
  command
      ->add_option("--reader-wait", _readerWait,
                   "Seconds a request waits for a free reader before it is refused with 503")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  command
      ->add_option("--display-triangles", _displayTriangles,
                   "Simplify each model drawn on the page above this many triangles")
      ->check(CLI::Range(std::size_t{1}, std::size_t{100000000}))
      ->capture_default_str();
  AddWorkerLimitOptions(*command, _limits);
}

int ServeCommand::Run() const {
  if (_host.empty()) throw AppFailure(AppFailure::Kind::Usage, "serve", "--host must not be empty");
  // A client that goes away mid-answer must not end the service.
  signal(SIGPIPE, SIG_IGN);
  const StopSignals stopSignals;
  ServedCatalog catalog(_database);
  ServiceDirectory directory;
  const IsolatedReader reader(_limits, _readers, std::chrono::milliseconds(static_cast<long long>(_readerWait * 1000)));
  const ModelCache models(directory.Path(), reader, _displayTriangles);
  CatalogApi api(catalog, reader, models);
  HttpOptions options;
  options.host = _host;
  options.port = _port;
  options.token = _token;
  options.maxUploadBytes = _maxUploadMib << 20;
  // Each open connection holds a thread; the readers bound the heavy work.
  options.threads = std::max(64u, 4 * _readers);
  HttpService service(api, directory, options);
  const std::string url = service.Bind();
  std::cout << "geosig serve: " << catalog.SignedParts() << " parts of " << _database << " at " << url << std::endl;
  std::thread stopper([&service, &stopSignals] {
    stopSignals.Wait();
    service.Stop();
  });
  const bool served = service.Serve();
  // When listening failed, the waiting thread is released by a signal of our own.
  if (!served) kill(getpid(), SIGTERM);
  stopper.join();
  if (!served) {
    std::cerr << "geosig: serve: cannot listen on " << _host << ":" << _port << '\n';
    return ExitStatus::FileFailed;
  }
  return ExitStatus::Success;
}
