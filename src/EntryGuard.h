#pragma once
// Runs the host's top-level calls into the machine (initialiser, main,
// event entries) and decides how the run ends. An error the machine passes
// outward (code 11) prints "FATAL: " and the message and fails the run
// (status 1); a termination request (code 12) ends it normally (status 0).
// Once the run has ended every further call is skipped, and a running Qt
// event loop is told to exit with the status.
#include <QString>
#include <functional>
#include <string>

class EntryGuard {
 public:
  enum Outcome { RUNNING, FAILED, TERMINATED };

  // Runs after every call that returned normally (heap checks, idle
  // checks); a raise there fails the run like one from the call.
  void setAfterCall(std::function<void()> hook) { iAfterCall = std::move(hook); }
  // Lines printed after a FATAL line (where the run was); given the message.
  void setFatalContext(std::function<std::string(const QString&)> context) { iFatalContext = std::move(context); }

  // False when the run has ended, now or before.
  bool run(const std::function<void()>& call);
  // Fails the run for a reason of the host's own.
  void fail(const QString& message);

  Outcome outcome() const { return iOutcome; }
  bool running() const { return iOutcome == RUNNING; }
  const QString& message() const { return iMessage; }
  int status() const { return iOutcome == FAILED ? 1 : 0; }

  // "FATAL: ", the message one byte per UTF-16 unit, a line feed.
  static void printFatal(const QString& message);

 private:
  void end(Outcome outcome);

  std::function<void()> iAfterCall;
  std::function<std::string(const QString&)> iFatalContext;
  Outcome iOutcome = RUNNING;
  QString iMessage;
};
