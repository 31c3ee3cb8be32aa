#include "EntryGuard.h"

#include "Errors.h"
#include "VirtualMachine.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>

bool EntryGuard::run(const std::function<void()>& call) {
  if (iOutcome != RUNNING) return false;
  try {
    call();
    if (iAfterCall) iAfterCall();
  } catch (const ErrorHandlingException&) {
    fail(currentErrorText());
  } catch (const VMTermination&) {
    end(TERMINATED);
  }
  return iOutcome == RUNNING;
}

void EntryGuard::fail(const QString& message) {
  if (iOutcome != RUNNING) return;
  iMessage = message;
  printFatal(message);
  if (iFatalContext) {
    const std::string context = iFatalContext(message);
    std::fwrite(context.data(), 1, context.size(), stderr);
    std::fflush(stderr);
  }
  end(FAILED);
}

void EntryGuard::end(Outcome outcome) {
  iOutcome = outcome;
  // Does nothing when no loop runs; start-up reads the outcome instead.
  if (QCoreApplication::instance()) QCoreApplication::exit(status());
}

void EntryGuard::printFatal(const QString& message) {
  std::string line("FATAL: ");
  for (const QChar c : message) line.push_back(static_cast<char>(c.unicode() & 0xFF));
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}
