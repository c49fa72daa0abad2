// The live server's requests: the bytes of one connection read as the server
// reads them (the request line and headers, then the answer through the
// routing, pipelined requests one after the other), and the same bytes fed
// in two pieces giving the same requests as when they come at once.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_bytes.h"
#include "fuzz_support.h"
#include "live/http.h"
#include "live/live_site.h"

using namespace meet;
using namespace meet::live;

namespace {

const LiveSite& Site() {
  static const LiveSite site(fuzz::Meet(), fuzz::EntryFolder().string() + "/", "fz.Mos", LiveOptions{});
  return site;
}

bool Same(const RequestParse& a, const RequestParse& b) {
  if (a.state != b.state || a.status != b.status || a.consumed != b.consumed) return false;
  const HttpRequest &x = a.request, &y = b.request;
  return x.method == y.method && x.target == y.target && x.version == y.version && x.headers == y.headers &&
         x.keepAlive == y.keepAlive;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first two bytes: where the connection's bytes are cut in two.
  if (size < 2) return 0;
  const std::string_view bytes = fuzz::Bytes(data + 2, size - 2);
  const size_t cut = static_cast<uint16_t>(fuzz::I16At(fuzz::Bytes(data, 2), 0)) % (bytes.size() + 1);
  std::string_view in = bytes;
  for (int requests = 0; requests < 8 && !in.empty(); ++requests) {
    const RequestParse whole = ParseRequest(in);
    // As the server reads a connection: the first piece, then all of it,
    // scanning on from where the first piece ended.
    if (requests == 0) {
      const RequestParse first = ParseRequest(in.substr(0, cut));
      if (first.state == RequestParse::State::More)
        fuzz::Expect(Same(ParseRequest(in, cut), whole), "bytes in two pieces read as bytes at once");
      else if (first.state == RequestParse::State::Ready)
        fuzz::Expect(whole.state == RequestParse::State::Ready && whole.consumed == first.consumed,
                     "a request complete in the first piece stays the same");
    }
    if (whole.state == RequestParse::State::More) break;
    if (whole.state == RequestParse::State::Bad) {
      const HttpReply bad = BadRequestReply(whole.status);
      fuzz::Expect(bad.close && (bad.bytes.starts_with("HTTP/1.1 4") || bad.bytes.starts_with("HTTP/1.1 5")),
                   "a request that cannot be read gets a 4xx or 5xx and the connection closes");
      break;
    }
    fuzz::Expect(whole.consumed > 0 && whole.consumed <= in.size(), "a request consumes bytes it was given");
    const HttpRequest& r = whole.request;
    fuzz::Expect(r.target.size() <= kMaxRequestLine, "a target within the request line's cap");
    (void)r.Path();
    const HttpReply reply = Reply(Site(), r);
    fuzz::Expect(reply.bytes.starts_with("HTTP/1.1 "), "every answer starts with a status line");
    fuzz::Expect(reply.close == !r.keepAlive, "the connection closes when the request asks");
    if (reply.close || reply.stream) break;
    in.remove_prefix(whole.consumed);
  }
  return 0;
}
