// HTTP/1.1 for the live results server without any socket: a request read
// from the bytes of one connection (with caps on the request line and the
// headers, bodies refused before they are read) and the whole answer to it
// as bytes (gzip where asked, ETag and 304, CORS, the event stream's head).
// The platform binding only moves these bytes between sockets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace meet::live {

class LiveSite;

inline constexpr size_t kMaxRequestLine = 8 * 1024;   // method, path and version
inline constexpr size_t kMaxHeaderBytes = 32 * 1024;  // the header lines after it
// The route of the pushed stream of changes (Server-Sent Events).
inline constexpr const char* kStreamPath = "/api/stream";

struct HttpRequest {
  std::string method, target, version;
  std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
  bool keepAlive = true;  // HTTP/1.1 without "Connection: close"

  // The first header of that name (lower case), or "".
  std::string_view Header(std::string_view name) const;
  // The path of the target without the query.
  std::string_view Path() const;
};

// What was found at the start of a connection's bytes.
struct RequestParse {
  enum class State { More, Ready, Bad } state = State::More;
  size_t consumed = 0;  // bytes of the request (Ready)
  int status = 0;       // the answer to a bad request (Bad): 400, 405, 413, 414, 431, 501, 505
  HttpRequest request;
};
// Reads the request at the start of `bytes`. `More` while the head is not
// complete and within the caps; `Bad` with its status as soon as the request
// line passes kMaxRequestLine, the headers kMaxHeaderBytes, or the head is
// malformed; a request with a body (Content-Length above 0, any
// Transfer-Encoding) is `Bad` at once (405 for a method that is not answered,
// 413 otherwise), so a body is never read. `scanFrom`: bytes already known to
// hold no end of the head (a connection feeding bytes one by one).
RequestParse ParseRequest(std::string_view bytes, size_t scanFrom = 0);

struct HttpReply {
  std::string bytes;    // status line, headers and body
  bool close = false;   // the connection ends once these are written
  bool stream = false;  // the bytes are an event stream's head: the connection stays for the stream
  int status = 0;
};

// The answer to a request: GET and HEAD of the site's routes, OPTIONS 204,
// others 405; 304 when If-None-Match names the answer's ETag; gzip when the
// request accepts it. "Connection: close" (and HTTP/1.0) closes afterwards.
HttpReply Reply(const LiveSite& site, const HttpRequest& request);
// The answer to a request that could not be read (closes the connection).
HttpReply BadRequestReply(int status);

// One event of the stream, and the comment that keeps an idle stream open.
std::string StreamEvent(uint64_t id, std::string_view json);
inline constexpr std::string_view kStreamKeepAlive = ": \n\n";

// The date of a Last-Modified header ("Tue, 08 Dec 2026 00:00:00 GMT").
std::string HttpDate(int64_t unixSeconds);
// The reason phrase of a status ("OK", "Not Modified", …).
std::string_view ReasonPhrase(int status);

}  // namespace meet::live
