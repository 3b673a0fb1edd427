#pragma once

#include <cstdint>
#include <memory>

// The program's one progress tracker: nested levels with an identifier, a
// position and a maximum; observers hear when work starts, when the innermost
// level changes and when all work has finished.

// Identifiers of the levels the program opens.
enum : int32_t {
  WorkCall = 0,       // a remote call, the opening of the connection, a whole request
  WorkReceive = 1,    // bytes of a response body
  WorkSend = 2,       // bytes of a request body
  WorkFiles = 11,     // files of the update manifest
};

class IWorkLevel {
public:
  virtual ~IWorkLevel() = default;
  virtual int32_t GetWorkID() const = 0;
  virtual int32_t GetPosition() const = 0;
  virtual int32_t GetMaximum() const = 0;
};

class IWorkObserver {
public:
  virtual ~IWorkObserver() = default;
  virtual void WorkStarted() = 0;
  virtual void WorkFinished() = 0;
  virtual void WorkChanged(const IWorkLevel& level) = 0;
};

class IWork {
public:
  virtual ~IWork() = default;
  // Observers are not owned: each removes itself before it goes (the wizard's
  // form and progress bars are window objects, not shared ones).
  virtual void AddObserver(IWorkObserver* observer) = 0;
  virtual void RemoveObserver(IWorkObserver* observer) = 0;
  virtual void BeginWork(int32_t workId, int32_t maximum) = 0;
  virtual void SetPosition(int32_t value) = 0;
  virtual void EndWork() = 0;
};

// The single tracker, created on first use.
IWork& Work();

// Opens a level and closes it when it goes out of scope, also on failure.
class TWorkGuard {
public:
  TWorkGuard(int32_t workId, int32_t maximum) { Work().BeginWork(workId, maximum); }
  ~TWorkGuard() { Work().EndWork(); }
  TWorkGuard(const TWorkGuard&) = delete;
  TWorkGuard& operator=(const TWorkGuard&) = delete;
};
