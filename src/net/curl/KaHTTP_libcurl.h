#pragma once

#include "net/KaHTTP.h"
#include "net/curl/KaCurl_lib.h"

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// One transfer of the libcurl back end: curl_easy_perform runs on a worker
// thread while the calling thread waits in WaitFor. libcurl's callbacks run
// on the worker, but every progress call they make is handed to the waiting
// thread and runs there, so Work and its displays only ever see the caller's
// thread.
class TKaHTTPCurlThread {
public:
  // Sets the handle's options for the transfer and starts it. Without a
  // source the transfer is a GET.
  TKaHTTPCurlThread(IHTTP& http, TStream& target, TStream* source, const std::string& url,
                    CURL* handle);
  ~TKaHTTPCurlThread();
  TKaHTTPCurlThread(const TKaHTTPCurlThread&) = delete;
  TKaHTTPCurlThread& operator=(const TKaHTTPCurlThread&) = delete;

  // Runs the worker's progress calls until the transfer has ended, then
  // closes the levels it left open and returns curl_easy_perform's result.
  // A progress call that failed aborts the transfer and is raised here.
  int WaitFor();

  // The size of the pieces libcurl hands over, and how far the received
  // bytes move before the progress hears of it.
  static constexpr long ReceiveBufferSize = 256 * 1024;
  static constexpr int64_t ProgressStep = 1024 * 1024;

  // libcurl's callbacks (worker thread).
  static size_t WriteCallback(char* data, size_t size, size_t count, void* thread);
  static size_t ReadCallback(char* buffer, size_t size, size_t count, void* thread);
  static curlioerr RewindCallback(CURL* handle, int command, void* thread);

private:
  size_t Write(const char* data, size_t size);
  size_t Read(char* buffer, size_t size);
  void Rewind();
  // Has the waiting thread run call; false once a call has failed.
  bool Synchronize(std::function<void()> call);
  void CloseSendLevel();

  CURL* FHandle;
  TStream* FSource;
  int64_t FSourceStart = 0;
  int64_t FBytesSent = 0;
  int64_t FBytesToSend = 0;
  TStream& FTarget;
  int64_t FBytesReceived = 0;
  int64_t FReportedReceived = 0;
  int64_t FExpectedLength = 0;
  curl_slist* FHeaders = nullptr;
  std::string FProxy;
  std::string FProxyCredentials;

  bool FReceiving = false;    // the receiving level is open
  bool FReceiveBegun = false; // ... or has been opened in this transfer
  bool FSending = false;      // the sending level is open

  std::mutex FLock;
  std::condition_variable FWake;
  std::function<void()> FCall;
  bool FHasCall = false;
  bool FFinished = false;
  int FResult = 0;
  std::exception_ptr FFailure;
  std::thread FThread;
};

// The HTTP client on libcurl's easy interface. One easy handle per object,
// kept from the first request on, so every option is set on every request.
class TKaHTTPCurl : public THTTP {
public:
  TKaHTTPCurl() = default;
  ~TKaHTTPCurl() override;

  std::string GetString(const std::string& url) override;
  void Get(const std::string& url, TStream& target) override;
  void Post(const std::string& url, TStream& source, TStream& target) override;
  // Raises EHTTP "HEAD not implemented!".
  void Head(const std::string& url) override;

private:
  void Prepare();
  void Transfer(const std::string& url, TStream& target, TStream* source);

  CURL* FHandle = nullptr;
};
