#include "AssimpMessageCapture.h"

#include <assimp/DefaultLogger.hpp>

#include <algorithm>

namespace {

constexpr unsigned int capturedSeverities = Assimp::Logger::Warn | Assimp::Logger::Err;

}  // namespace

AssimpMessageCapture::AssimpMessageCapture() {
  if (Assimp::DefaultLogger::isNullLogger()) Assimp::DefaultLogger::create("", Assimp::Logger::NORMAL, 0);
  Assimp::DefaultLogger::get()->attachStream(this, capturedSeverities);
}

// Detaching with the severities it was attached with hands the stream back instead of
// deleting it.
AssimpMessageCapture::~AssimpMessageCapture() { Assimp::DefaultLogger::get()->detachStream(this, capturedSeverities); }

void AssimpMessageCapture::write(const char* iMessage) {
  // The logger writes "Warn,  T0: message\n".
  std::string message(iMessage);
  const std::size_t prefixEnd = message.find(": ");
  if (prefixEnd != std::string::npos) message.erase(0, prefixEnd + 2);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  if (!message.empty() && std::find(_messages.begin(), _messages.end(), message) == _messages.end())
    _messages.push_back(std::move(message));
}
