// XNetThrottle: the hook XTCPSocket consults around every transfer. The
// base class only sleeps when asked to pause; a subclass can meter traffic
// or make the socket give up by answering false from pause.
#pragma once
#include <cstdint>

class XNetThrottle {
 public:
  virtual ~XNetThrottle() = default;
  virtual void onSent(std::uint32_t byteCount) { (void)byteCount; }
  virtual void onReceived(std::uint32_t byteCount) { (void)byteCount; }
  // Sleeps `milliseconds` when not 0; true means "go on".
  virtual bool pause(std::uint32_t milliseconds);
};
