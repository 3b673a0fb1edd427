#include "net/curl/KaHTTP_libcurl.h"

#include "net/KaPatience.h"
#include "net/KaWork.h"

#include <cmath>

TKaHTTPCurlThread::TKaHTTPCurlThread(IHTTP& http, TStream& target, TStream* source,
                                     const std::string& url, CURL* handle)
    : FHandle(handle), FSource(source), FTarget(target) {
  IProxySettings& proxy = http.GetProxySettings();
  if (!proxy.GetHost().empty()) {
    FProxy = proxy.GetHost() + ":" + std::to_string(proxy.GetPort());
    if (!proxy.GetUsername().empty())
      FProxyCredentials = proxy.GetUsername() + ":" + proxy.GetPassword();
  }
  CurlEasySetopt(FHandle, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_ANY));
  // "" rather than none: no proxy at all, whatever the environment says.
  CurlEasySetopt(FHandle, CURLOPT_PROXY, FProxy.c_str());
  // None rather than "": an empty user name would still go out as credentials.
  CurlEasySetopt(FHandle, CURLOPT_PROXYUSERPWD,
                 FProxyCredentials.empty() ? nullptr : FProxyCredentials.c_str());
  CurlEasySetopt(FHandle, CURLOPT_URL, url.c_str());
  CurlEasySetopt(FHandle, CURLOPT_WRITEDATA, this);
  CurlEasySetopt(FHandle, CURLOPT_WRITEFUNCTION, &WriteCallback);
  if (FSource) {
    FSourceStart = FSource->GetPosition();
    FBytesToSend = FSource->GetSize() - FSourceStart;
    CurlEasySetopt(FHandle, CURLOPT_POST, 1L);
    CurlEasySetopt(FHandle, CURLOPT_POSTFIELDSIZE, static_cast<long>(FBytesToSend));
    CurlEasySetopt(FHandle, CURLOPT_READDATA, this);
    CurlEasySetopt(FHandle, CURLOPT_READFUNCTION, &ReadCallback);
    CurlEasySetopt(FHandle, CURLOPT_IOCTLDATA, this);
    CurlEasySetopt(FHandle, CURLOPT_IOCTLFUNCTION, &RewindCallback);
    FHeaders = CurlSlistAppend(FHeaders, "Content-Type: application/octet-stream");
    CurlEasySetopt(FHandle, CURLOPT_HTTPHEADER, FHeaders);
  } else {
    CurlEasySetopt(FHandle, CURLOPT_POST, 0L);
    CurlEasySetopt(FHandle, CURLOPT_POSTFIELDSIZE, 0L);
    CurlEasySetopt(FHandle, CURLOPT_READDATA, nullptr);
    CurlEasySetopt(FHandle, CURLOPT_READFUNCTION, nullptr);
    CurlEasySetopt(FHandle, CURLOPT_IOCTLDATA, nullptr);
    CurlEasySetopt(FHandle, CURLOPT_IOCTLFUNCTION, nullptr);
    // The list of an earlier POST is freed with its transfer: the handle
    // must not keep pointing at it.
    CurlEasySetopt(FHandle, CURLOPT_HTTPHEADER, nullptr);
  }
  // Large pieces: each one is a callback, and a progress step handed over
  // to the waiting thread.
  CurlEasySetopt(FHandle, CURLOPT_BUFFERSIZE, ReceiveBufferSize);
  CurlEasySetopt(FHandle, CURLOPT_VERBOSE, 0L);
  CurlEasySetopt(FHandle, CURLOPT_DEBUGFUNCTION, nullptr);
  // The client's patience in libcurl's terms: too slow on average for a period.
  CurlEasySetopt(FHandle, CURLOPT_LOW_SPEED_LIMIT,
                 static_cast<long>(PatienceBytes / PatienceSeconds));
  CurlEasySetopt(FHandle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(PatienceSeconds));

  FThread = std::thread([this] {
    int result;
    try {
      result = CurlEasyPerform(FHandle);
    } catch (...) {
      result = CURLE_ABORTED_BY_CALLBACK;
    }
    std::lock_guard<std::mutex> lock(FLock);
    FResult = result;
    FFinished = true;
    FWake.notify_all();
  });
}

TKaHTTPCurlThread::~TKaHTTPCurlThread() {
  if (FThread.joinable()) {
    try {
      WaitFor();
    } catch (...) {
      // Only reached when the owner never waited; it raised nothing then either.
    }
  }
  if (FHeaders)
    CurlSlistFreeAll(FHeaders);
}

int TKaHTTPCurlThread::WaitFor() {
  std::unique_lock<std::mutex> lock(FLock);
  while (true) {
    FWake.wait(lock, [this] { return FHasCall || FFinished; });
    if (!FHasCall)
      break;
    std::function<void()> call = std::move(FCall);
    lock.unlock();
    std::exception_ptr failure;
    try {
      call();
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    if (failure && !FFailure)
      FFailure = failure;
    FHasCall = false;
    FWake.notify_all();
  }
  lock.unlock();
  FThread.join();
  // The worker is gone: the levels it left open are closed here, the
  // innermost first (an unknown length never reaches its end, a broken
  // transfer neither).
  if (FReceiving)
    Work().EndWork();
  FReceiving = false;
  if (FSending)
    Work().EndWork();
  FSending = false;
  if (FFailure)
    std::rethrow_exception(std::exchange(FFailure, nullptr));
  return FResult;
}

bool TKaHTTPCurlThread::Synchronize(std::function<void()> call) {
  std::unique_lock<std::mutex> lock(FLock);
  if (FFailure)
    return false;
  FCall = std::move(call);
  FHasCall = true;
  FWake.notify_all();
  FWake.wait(lock, [this] { return !FHasCall; });
  return !FFailure;
}

size_t TKaHTTPCurlThread::WriteCallback(char* data, size_t size, size_t count, void* thread) {
  try {
    return static_cast<TKaHTTPCurlThread*>(thread)->Write(data, size * count);
  } catch (...) {
    return 0; // libcurl ends the transfer with its write error
  }
}

size_t TKaHTTPCurlThread::ReadCallback(char* buffer, size_t size, size_t count, void* thread) {
  try {
    return static_cast<TKaHTTPCurlThread*>(thread)->Read(buffer, size * count);
  } catch (...) {
    return CURL_READFUNC_ABORT;
  }
}

curlioerr TKaHTTPCurlThread::RewindCallback(CURL*, int command, void* thread) {
  switch (command) {
  case CURLIOCMD_RESTARTREAD:
    try {
      static_cast<TKaHTTPCurlThread*>(thread)->Rewind();
      return CURLIOE_OK;
    } catch (...) {
      return CURLIOE_FAILRESTART;
    }
  case CURLIOCMD_NOP: return CURLIOE_OK;
  default: return CURLIOE_UNKNOWNCMD;
  }
}

size_t TKaHTTPCurlThread::Write(const char* data, size_t size) {
  if (!FReceiveBegun) {
    double length = 0;
    CurlEasyGetinfo(FHandle, CURLINFO_CONTENT_LENGTH_DOWNLOAD, &length);
    FExpectedLength = static_cast<int64_t>(std::llround(length));
    FReceiveBegun = true;
    ExpectAnswerLength(&FTarget, FExpectedLength);
    // libcurl says -1 when the server sends no length: a level that is not
    // measured, as for a length of 0.
    int32_t maximum = FExpectedLength > 0 ? static_cast<int32_t>(FExpectedLength) : 0;
    if (!Synchronize([maximum] { Work().BeginWork(WorkReceive, maximum); }))
      return 0;
    FReceiving = true;
  }
  size_t n = static_cast<size_t>(FTarget.Write(data, static_cast<int64_t>(size)));
  if (n != 0 && FReceiving) {
    FBytesReceived += static_cast<int64_t>(n);
    int32_t position = static_cast<int32_t>(FBytesReceived);
    bool ok = true;
    if (static_cast<uint32_t>(FBytesReceived) < static_cast<uint32_t>(FExpectedLength)) {
      // Each step waits for the calling thread: steps of a few pieces.
      if (FBytesReceived - FReportedReceived >= ProgressStep) {
        FReportedReceived = FBytesReceived;
        ok = Synchronize([position] { Work().SetPosition(position); });
      }
    } else {
      FReceiving = false;
      ok = Synchronize([] { Work().EndWork(); });
    }
    if (!ok)
      return 0;
  }
  return n;
}

size_t TKaHTTPCurlThread::Read(char* buffer, size_t size) {
  if (FBytesSent == 0 && !FSending) {
    int32_t maximum = static_cast<int32_t>(FBytesToSend);
    if (!Synchronize([maximum] { Work().BeginWork(WorkSend, maximum); }))
      return CURL_READFUNC_ABORT;
    FSending = true;
  }
  size_t n = static_cast<size_t>(FSource->Read(buffer, static_cast<int64_t>(size)));
  if (n != 0) {
    FBytesSent += static_cast<int64_t>(n);
    int32_t position = static_cast<int32_t>(FBytesSent);
    if (FBytesSent < FBytesToSend) {
      if (!Synchronize([position] { Work().SetPosition(position); }))
        return CURL_READFUNC_ABORT;
    } else {
      CloseSendLevel();
    }
  } else {
    // The source ended early (or was empty): its level ends with it.
    CloseSendLevel();
  }
  return n;
}

void TKaHTTPCurlThread::Rewind() {
  FSource->SetPosition(FSourceStart);
  FBytesSent = 0;
  // A body sent again opens its level again; the earlier one is closed
  // first so the two do not nest.
  CloseSendLevel();
}

void TKaHTTPCurlThread::CloseSendLevel() {
  if (!FSending)
    return;
  FSending = false;
  Synchronize([] { Work().EndWork(); });
}

TKaHTTPCurl::~TKaHTTPCurl() {
  if (FHandle && CurlEasyCleanup)
    CurlEasyCleanup(FHandle);
}

void TKaHTTPCurl::Prepare() {
  // A library without one of the seven calls is no libcurl to use.
  if (!CurlLib().Load() || !CurlEasyInit || !CurlEasyCleanup || !CurlEasySetopt ||
      !CurlEasyPerform || !CurlEasyGetinfo || !CurlSlistAppend || !CurlSlistFreeAll)
    throw EHTTP("Unable to load libcurl!");
  if (!FHandle) {
    FHandle = CurlEasyInit();
    if (!FHandle)
      throw EHTTP("curl_easy_init failed!");
  }
}

void TKaHTTPCurl::Transfer(const std::string& url, TStream& target, TStream* source) {
  Prepare();
  GetResponse().Clear();
  int64_t start = target.GetPosition();
  TWorkGuard request(WorkCall, 0);
  int result;
  {
    TKaHTTPCurlThread thread(*this, target, source, url, FHandle);
    result = thread.WaitFor();
  }
  if (result != CURLE_OK)
    throw EHTTP("curl_easy_perform failed! Code: " + std::to_string(result));
  long status = 0;
  CurlEasyGetinfo(FHandle, CURLINFO_RESPONSE_CODE, &status);
  GetResponse().SetStatusCode(static_cast<int32_t>(status));
  GetResponse().SetContentLength(static_cast<int32_t>(target.GetSize() - start));
  char* contentType = nullptr;
  CurlEasyGetinfo(FHandle, CURLINFO_CONTENT_TYPE, &contentType);
  GetResponse().SetContentType(contentType ? contentType : "");
}

std::string TKaHTTPCurl::GetString(const std::string& url) {
  TMemoryStream target;
  Transfer(url, target, nullptr);
  return target.Bytes();
}

void TKaHTTPCurl::Get(const std::string& url, TStream& target) { Transfer(url, target, nullptr); }

void TKaHTTPCurl::Post(const std::string& url, TStream& source, TStream& target) {
  Transfer(url, target, &source);
}

void TKaHTTPCurl::Head(const std::string& url) { throw EHTTP("HEAD not implemented!"); }
