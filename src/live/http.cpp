#include "live/http.h"

#include <ctime>

#include "core/numbers.h"
#include "live/live_site.h"

namespace meet::live {
namespace {

bool TokenChar(char c) {
  if (c >= '0' && c <= '9') return true;
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// True when a comma-separated header value holds the token (any case).
bool HasToken(std::string_view value, std::string_view token) {
  while (!value.empty()) {
    const size_t comma = value.find(',');
    std::string_view part = TrimBlanks(value.substr(0, comma));
    if (const size_t semi = part.find(';'); semi != std::string_view::npos) part = TrimBlanks(part.substr(0, semi));
    if (Lower(part) == token) return true;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return false;
}

// "gzip" accepted, and not with q=0.
bool AcceptsGzip(std::string_view value) {
  while (!value.empty()) {
    const size_t comma = value.find(',');
    std::string_view part = TrimBlanks(value.substr(0, comma));
    std::string_view name = part, params;
    if (const size_t semi = part.find(';'); semi != std::string_view::npos) {
      name = TrimBlanks(part.substr(0, semi));
      params = part.substr(semi + 1);
    }
    const std::string n = Lower(name);
    if (n == "gzip" || n == "x-gzip") {
      const std::string p = Lower(params);
      const size_t q = p.find("q=");
      if (q == std::string::npos) return true;
      const std::string_view v = TrimBlanks(std::string_view(p).substr(q + 2));
      return !(v.starts_with("0") && v.find_first_not_of("0.") == std::string_view::npos) && !v.empty();
    }
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return false;
}

RequestParse Bad(int status) {
  RequestParse p;
  p.state = RequestParse::State::Bad;
  p.status = status;
  return p;
}

bool Answered(std::string_view method) { return method == "GET" || method == "HEAD" || method == "OPTIONS"; }

// True when If-None-Match names the tag (or "*"); weak tags compare as well.
bool Matches(std::string_view header, std::string_view etag) {
  if (TrimBlanks(header) == "*") return true;
  while (!header.empty()) {
    const size_t comma = header.find(',');
    std::string_view tag = TrimBlanks(header.substr(0, comma));
    if (tag.starts_with("W/")) tag.remove_prefix(2);
    // The gzip form of an answer carries its own tag: the same data.
    std::string plain(tag);
    if (plain.size() > 5 && plain.compare(plain.size() - 4, 4, "-gz\"") == 0) plain.erase(plain.size() - 4, 3);
    if (plain == etag) return true;
    if (comma == std::string_view::npos) break;
    header.remove_prefix(comma + 1);
  }
  return false;
}

void Header(std::string& out, std::string_view name, std::string_view value) {
  out.append(name);
  out.append(": ");
  out.append(value);
  out.append("\r\n");
}

std::string StatusLine(int status) { return "HTTP/1.1 " + NumberText(status) + " " + std::string(ReasonPhrase(status)) + "\r\n"; }

void CommonHeaders(std::string& out, bool close) {
  Header(out, "Date", HttpDate(static_cast<int64_t>(std::time(nullptr))));
  Header(out, "Access-Control-Allow-Origin", "*");
  Header(out, "X-Content-Type-Options", "nosniff");
  Header(out, "Connection", close ? "close" : "keep-alive");
}

}  // namespace

std::string_view HttpRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : headers)
    if (n == name) return v;
  return {};
}

std::string_view HttpRequest::Path() const {
  std::string_view path = target;
  if (const size_t q = path.find_first_of("?#"); q != std::string_view::npos) path = path.substr(0, q);
  return path;
}

RequestParse ParseRequest(std::string_view bytes, size_t scanFrom) {
  // Blank lines before a request are skipped, as the standard allows.
  size_t start = 0;
  while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n')) ++start;
  if (start > kMaxRequestLine) return Bad(400);
  const std::string_view rest = bytes.substr(start);
  const size_t lineEnd = rest.find('\n');
  if (lineEnd == std::string_view::npos) {
    if (rest.size() > kMaxRequestLine) return Bad(414);
    return {};
  }
  if (lineEnd > kMaxRequestLine) return Bad(414);
  // The end of the head: an empty line.
  size_t headEnd = std::string_view::npos, from = std::max(lineEnd, scanFrom > start + 3 ? scanFrom - start - 3 : 0);
  for (size_t i = rest.find('\n', from); i != std::string_view::npos; i = rest.find('\n', i + 1)) {
    const size_t next = i + 1;
    if (next < rest.size() && rest[next] == '\n') {
      headEnd = next + 1;
      break;
    }
    if (next + 1 < rest.size() && rest[next] == '\r' && rest[next + 1] == '\n') {
      headEnd = next + 2;
      break;
    }
  }
  if (headEnd == std::string_view::npos) {
    if (rest.size() > lineEnd + 1 + kMaxHeaderBytes) return Bad(431);
    return {};
  }
  if (headEnd > lineEnd + 1 + kMaxHeaderBytes + 2) return Bad(431);

  RequestParse p;
  HttpRequest& r = p.request;
  std::string_view line = TrimBlanks(rest.substr(0, lineEnd));
  const size_t sp1 = line.find(' ');
  const size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp1 == std::string_view::npos || sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos)
    return Bad(400);
  r.method = std::string(line.substr(0, sp1));
  r.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
  r.version = std::string(line.substr(sp2 + 1));
  if (r.method.empty() || r.target.empty()) return Bad(400);
  for (char c : r.method)
    if (!TokenChar(c)) return Bad(400);
  for (char c : r.target)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return Bad(400);
  if (r.version != "HTTP/1.1" && r.version != "HTTP/1.0") return Bad(r.version.starts_with("HTTP/") ? 505 : 400);
  // An absolute target keeps only its path.
  if (r.target.starts_with("http://") || r.target.starts_with("https://")) {
    const size_t slash = r.target.find('/', r.target.find("//") + 2);
    r.target = slash == std::string::npos ? std::string("/") : r.target.substr(slash);
  }
  if (r.target != "*" && r.target.front() != '/') return Bad(400);

  std::string_view headers = rest.substr(lineEnd + 1, headEnd - lineEnd - 1);
  bool lengthSeen = false, chunked = false, connectionClose = false, connectionKeep = false;
  uint64_t length = 0;
  while (!headers.empty()) {
    const size_t nl = headers.find('\n');
    std::string_view h = headers.substr(0, nl);
    headers.remove_prefix(nl == std::string_view::npos ? headers.size() : nl + 1);
    if (!h.empty() && h.back() == '\r') h.remove_suffix(1);
    if (h.empty()) break;
    if (h.front() == ' ' || h.front() == '\t') return Bad(400);  // folded lines are not taken
    const size_t colon = h.find(':');
    if (colon == std::string_view::npos || colon == 0) return Bad(400);
    for (char c : h.substr(0, colon))
      if (!TokenChar(c)) return Bad(400);
    std::string name = Lower(h.substr(0, colon));
    std::string_view value = TrimBlanks(h.substr(colon + 1));
    if (name == "content-length") {
      if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos || value.size() > 18)
        return Bad(400);
      const uint64_t n = static_cast<uint64_t>(LeadingNumber(value));
      if (lengthSeen && n != length) return Bad(400);
      lengthSeen = true;
      length = n;
    } else if (name == "transfer-encoding") {
      chunked = true;
    } else if (name == "connection") {
      connectionClose = connectionClose || HasToken(value, "close");
      connectionKeep = connectionKeep || HasToken(value, "keep-alive");
    }
    r.headers.emplace_back(std::move(name), std::string(value));
  }
  // A body is never read: a method the site does not answer is refused as
  // such, any other with a body as too large.
  if (chunked || length > 0) return Bad(Answered(r.method) ? 413 : 405);
  r.keepAlive = r.version == "HTTP/1.1" ? !connectionClose : (connectionKeep && !connectionClose);
  p.state = RequestParse::State::Ready;
  p.consumed = start + headEnd;
  return p;
}

HttpReply BadRequestReply(int status) {
  HttpReply reply;
  reply.status = status;
  reply.close = true;
  const std::string body = status == 405 ? std::string("{\"version\":1,\"error\":\"この操作はできません\"}\n")
                                         : "{\"version\":1,\"error\":\"" + std::string(ReasonPhrase(status)) + "\"}\n";
  reply.bytes = StatusLine(status);
  Header(reply.bytes, "Content-Type", "application/json; charset=utf-8");
  Header(reply.bytes, "Content-Length", NumberText(static_cast<int64_t>(body.size())));
  if (status == 405) Header(reply.bytes, "Allow", "GET, HEAD, OPTIONS");
  CommonHeaders(reply.bytes, true);
  reply.bytes += "\r\n";
  reply.bytes += body;
  return reply;
}

HttpReply Reply(const LiveSite& site, const HttpRequest& request) {
  HttpReply reply;
  reply.close = !request.keepAlive;
  const std::string& method = request.method;
  if (method == "OPTIONS") {
    reply.status = 204;
    reply.bytes = StatusLine(204);
    Header(reply.bytes, "Allow", "GET, HEAD, OPTIONS");
    Header(reply.bytes, "Access-Control-Allow-Methods", "GET, HEAD, OPTIONS");
    Header(reply.bytes, "Access-Control-Allow-Headers", "If-None-Match, Last-Event-ID, Cache-Control");
    Header(reply.bytes, "Access-Control-Max-Age", "86400");
    CommonHeaders(reply.bytes, reply.close);
    reply.bytes += "\r\n";
    return reply;
  }
  const bool head = method == "HEAD";
  if (method != "GET" && !head) {
    HttpReply refused = BadRequestReply(405);
    refused.close = reply.close;
    if (!reply.close) refused.bytes.replace(refused.bytes.find("Connection: close"), 17, "Connection: keep-alive");
    return refused;
  }
  if (request.Path() == kStreamPath && !head) {
    reply.status = 200;
    reply.stream = true;
    reply.bytes = StatusLine(200);
    Header(reply.bytes, "Content-Type", "text/event-stream; charset=utf-8");
    Header(reply.bytes, "Cache-Control", "no-cache");
    Header(reply.bytes, "X-Accel-Buffering", "no");
    CommonHeaders(reply.bytes, false);
    reply.bytes += "\r\n";
    // The reconnection delay, then the last change seen, so that a page
    // knows where it stands.
    reply.bytes += "retry: 3000\n\n";
    return reply;
  }
  const auto answer = site.Get(request.Path());
  reply.status = answer->status;
  const bool gzip = !answer->gzip.empty() && AcceptsGzip(request.Header("accept-encoding"));
  const std::string etag = answer->etag.empty() ? std::string() : gzip ? answer->etag.substr(0, answer->etag.size() - 1) + "-gz\"" : answer->etag;
  const std::string_view inm = request.Header("if-none-match");
  const bool notModified = answer->status == 200 && !answer->etag.empty() && !inm.empty() && Matches(inm, answer->etag);
  if (notModified) reply.status = 304;
  reply.bytes = StatusLine(reply.status);
  if (!notModified) Header(reply.bytes, "Content-Type", answer->contentType);
  const std::string& body = gzip ? answer->gzip : answer->body;
  if (!notModified) Header(reply.bytes, "Content-Length", NumberText(static_cast<int64_t>(body.size())));
  if (gzip && !notModified) Header(reply.bytes, "Content-Encoding", "gzip");
  if (!answer->gzip.empty()) Header(reply.bytes, "Vary", "Accept-Encoding");
  if (!etag.empty()) Header(reply.bytes, "ETag", etag);
  if (answer->updated > 0) Header(reply.bytes, "Last-Modified", HttpDate(answer->updated));
  Header(reply.bytes, "Cache-Control", answer->status == 200 ? "no-cache" : "no-store");
  if (answer->status == 503) Header(reply.bytes, "Retry-After", "2");
  CommonHeaders(reply.bytes, reply.close);
  reply.bytes += "\r\n";
  if (!head && !notModified) reply.bytes += body;
  return reply;
}

std::string StreamEvent(uint64_t id, std::string_view json) {
  std::string out = "id: " + NumberText(static_cast<int64_t>(id)) + "\nevent: change\ndata: ";
  out.append(json);
  out += "\n\n";
  return out;
}

std::string HttpDate(int64_t unixSeconds) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  return std::string(kDays[tm.tm_wday % 7]) + ", " + ZeroPadded(tm.tm_mday, 2) + " " + kMonths[tm.tm_mon % 12] + " " +
         NumberText(tm.tm_year + 1900) + " " + ZeroPadded(tm.tm_hour, 2) + ":" + ZeroPadded(tm.tm_min, 2) + ":" +
         ZeroPadded(tm.tm_sec, 2) + " GMT";
}

std::string_view ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
  }
}

}  // namespace meet::live
