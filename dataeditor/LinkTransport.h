#pragma once
// What the spreadsheet link needs of the system: one client conversation with
// a server program (open on a service and topic, requests, macro commands),
// and the look-up of the program that serves workbook files. The link drives
// the conversation through this interface only, so it runs against a fake
// server in the tests; no program on this system answers the real one.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class TLinkTransport {
 public:
  // The plain-text format of a request.
  static constexpr unsigned kTextFormat = 1;

  virtual ~TLinkTransport() = default;

  // --- The conversation ---------------------------------------------------
  // Opens the conversation with `service` on `topic`. When no server answers
  // and a program to start is set, starts it and tries again. True when the
  // conversation opened; the watcher hears of it.
  virtual bool OpenLink(const std::string& service, const std::string& topic) = 0;
  // Closes the conversation; the watcher hears of it.
  virtual void CloseLink() = 0;
  // The program started when no server answers (empty: none).
  virtual void SetProgram(const std::string& program) = 0;
  // Whether the server's text replies are passed through its character filter.
  virtual void SetFormatChars(bool on) = 0;
  // True while a transaction of the conversation is under way.
  virtual bool Busy() = 0;
  // The item's value on the current topic in the format, or nothing when no
  // reply came within the time-out.
  virtual std::optional<std::string> Request(const std::string& item, unsigned format, std::uint32_t timeoutMs) = 0;
  // Sends a macro command, waiting for the server's answer or not. False when refused.
  virtual bool Execute(const std::string& command, bool wait) = 0;
  // The number of a named data format, registered on first use.
  virtual unsigned RegisterFormat(const std::string& name) = 0;

  // --- Program look-up ------------------------------------------------------
  // The default value of a key of the file-type registry, or nothing when the
  // key cannot be read.
  virtual std::optional<std::string> ClassValue(const std::string& key) = 0;
  virtual bool FileExists(const std::string& path) = 0;

  // --- Notifications --------------------------------------------------------
  // Called with true when the conversation opens and false when it closes
  // (from either side); an empty watcher hears nothing.
  void SetWatcher(std::function<void(bool open)> watcher) { watcher_ = std::move(watcher); }

 protected:
  void NotifyOpen(bool open) {
    if (watcher_) watcher_(open);
  }

 private:
  std::function<void(bool)> watcher_;
};
