#include "server/HttpServer_impl.h"

#include "server/AdminPages.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <memory>

namespace beast = boost::beast;
namespace http = beast::http;
using tcp = boost::asio::ip::tcp;

namespace {

constexpr auto AdminTime = std::chrono::seconds(5);
constexpr std::uint32_t AdminHeaderLimit = 4096;

// One request, one answer, then the connection closes: scrapers and health
// checks ask every few seconds, and nothing here is worth keeping a place for.
class TAdminConnection : public std::enable_shared_from_this<TAdminConnection> {
public:
  TAdminConnection(tcp::socket socket, TConnectionLimits::TTicket place, const TAdminPages& pages)
      : FStream(std::move(socket)), FPlace(std::move(place)), FPages(pages) {
    FParser.header_limit(AdminHeaderLimit);
    FParser.body_limit(0);
  }

  void Start() {
    FStream.expires_after(AdminTime);
    http::async_read(FStream, FBuffer, FParser,
                     [self = shared_from_this()](beast::error_code ec, size_t) {
                       try {
                         self->OnRead(ec);
                       } catch (...) {
                         self->Close();
                       }
                     });
  }

private:
  void OnRead(beast::error_code ec) {
    if (ec)
      return Close();
    const auto& request = FParser.get();
    TAdminPage page =
        FPages.Answer(std::string(request.method_string()), std::string(request.target()));
    FResponse.result(static_cast<unsigned>(page.Status));
    FResponse.version(request.version());
    FResponse.set(http::field::content_type, page.ContentType);
    FResponse.set(http::field::cache_control, "no-store");
    if (page.Status == 405)
      FResponse.set(http::field::allow, "GET, HEAD");
    const size_t bodySize = page.Body.size();
    const bool head = request.method() == http::verb::head;
    FResponse.body() = head ? "" : std::move(page.Body);
    FResponse.keep_alive(false);
    FResponse.prepare_payload();
    if (head)
      FResponse.content_length(bodySize);
    FStream.expires_after(AdminTime);
    http::async_write(FStream, FResponse,
                      [self = shared_from_this()](beast::error_code, size_t) { self->Close(); });
  }

  void Close() {
    beast::error_code ignored;
    FStream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    FStream.socket().close(ignored);
  }

  beast::tcp_stream FStream;
  TConnectionLimits::TTicket FPlace;
  const TAdminPages& FPages;
  beast::flat_buffer FBuffer;
  http::request_parser<http::empty_body> FParser;
  http::response<http::string_body> FResponse;
};

} // namespace

void ServeAdminConnection(tcp::socket socket, TConnectionLimits::TTicket place,
                          const TAdminPages& pages) {
  std::make_shared<TAdminConnection>(std::move(socket), std::move(place), pages)->Start();
}
