#pragma once
// The device's TFTP client: one transfer with libcurl to or from the PC's server.

#include <string>

namespace sim {

// Sends `data` as `name` (upload) or fetches `name` into `data`; false with the reason
// in `error`. blockSize 0 leaves libcurl's default. A client with `stallAfter` >= 0
// gives up silently once that many bytes have moved.
bool tftp(const std::string &host, int port, int blockSize, const std::string &name,
          bool upload, std::string &data, std::string &error, long stallAfter = -1);

} // namespace sim
