#pragma once
// Whole messages over the sockets between a caller, its fork server and the workers: bytes sent
// and received in full whatever the socket's mode, frames of text (an 8-byte length, then the
// bytes), and descriptors passed with a few bytes of data.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Sends all of iData; waits when a non-blocking socket is full. False when the peer is gone.
bool SendAll(int iSocket, const char* iData, std::size_t iSize);

// Receives exactly iSize bytes, waiting for them. False at the end of the stream or on error.
bool ReceiveAll(int iSocket, char* oData, std::size_t iSize);

bool SendFrame(int iSocket, const std::string& iText);
// None at the end of the stream or on error.
std::optional<std::string> ReceiveFrame(int iSocket);

// Sends iData with copies of iDescriptors attached. False when the peer is gone.
bool SendWithDescriptors(int iSocket, const void* iData, std::size_t iSize, const std::vector<int>& iDescriptors);

// Receives iSize bytes of data and up to iCount descriptors, which arrive close-on-exec.
// False at the end of the stream or on error; then no descriptor is left open.
bool ReceiveWithDescriptors(int iSocket, void* oData, std::size_t iSize, std::size_t iCount,
                            std::vector<int>& oDescriptors);
