// The two dialogs on POSIX: zenity where a desktop is available, otherwise the
// terminal (a prompt on standard error, the answer on standard input, the
// notice on standard output).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "run/dialogs.h"
#include "run/pasted_path.h"
#include "textfile/utf8.h"

extern char** environ;

namespace tintgrove {

namespace {

// What a dialog program may write to each of its pipes; more is no answer a
// file dialog or a message box gives.
constexpr std::size_t kProgramOutputLimit = 65536;
// How often a running dialog program is checked for having exited.
constexpr int kExitCheckMilliseconds = 100;
// The longest path the terminal prompt takes (the usual PATH_MAX).
constexpr std::size_t kAnswerLimit = 4096;
// Refused answers taken from input that is not a terminal before giving up.
constexpr int kPipedTries = 3;

// None when it cannot be determined (a deleted folder): a relative path then
// has nothing it can be taken from.
std::optional<std::string> workingDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

bool isDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The pieces of "name|pattern" and of "folder\name".
std::string before(TextView text, char16_t separator) {
  const auto at = text.rfind(separator);
  return textToUtf8(at == TextView::npos ? text : text.substr(0, at));
}
std::string after(TextView text, char16_t separator) {
  const auto at = text.rfind(separator);
  return textToUtf8(at == TextView::npos ? text : text.substr(at + 1));
}

// Each CR of a notice becomes a line break.
std::string noticeLines(TextView text) {
  std::string lines = textToUtf8(text);
  for (char& c : lines) {
    if (c == '\r') c = '\n';
  }
  return lines;
}

std::string findOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start);
    if (candidate.empty()) candidate.push_back('.');
    candidate += '/';
    candidate += program;
    if (::access(candidate.c_str(), X_OK) == 0 && !isDirectory(candidate)) {
      return candidate;
    }
    start = end + 1;
  }
  return {};
}

struct Finished {
  bool ran = false;         // started and exited by itself
  int status = -1;          // its exit status
  bool overflowed = false;  // wrote more than kProgramOutputLimit to a pipe
  std::string output;
  std::string errors;
};

// A running program and, once it has been waited for, how it ended.
struct Child {
  pid_t pid = -1;
  bool reaped = false;
  int status = -1;  // the wait status; -1 when none could be had

  // True once the program has ended or can no longer be waited for.
  bool ended() { return wait(WNOHANG); }
  void waitForEnd() { wait(0); }

 private:
  bool wait(int options) {
    while (!reaped) {
      int got = 0;
      const pid_t waited = ::waitpid(pid, &got, options);
      if (waited == pid) {
        status = got;
        reaped = true;
      } else if (waited == 0) {
        return false;
      } else if (errno != EINTR) {
        reaped = true;
      }
    }
    return true;
  }
};

// A pipe whose ends are not inherited: only the descriptors dup2'd onto the
// program's standard output and error reach it. main() keeps descriptors 0
// to 2 open, so neither end can be one of them.
bool openPipe(int ends[2]) {
  if (::pipe(ends) != 0) return false;
  for (int i = 0; i < 2; ++i) {
    if (::fcntl(ends[i], F_SETFD, FD_CLOEXEC) != 0) {
      ::close(ends[0]);
      ::close(ends[1]);
      return false;
    }
  }
  return true;
}

// Reads both pipes together, so that neither can fill up and stall the
// program, until it has closed them or has exited: a process it left behind
// may hold them open for ever, so after the exit only what is already there
// is taken. Stops early when a pipe brings more than kProgramOutputLimit.
void collect(Child& child, int outputPipe, int errorPipe, Finished& finished) {
  pollfd ends[2] = {{outputPipe, POLLIN, 0}, {errorPipe, POLLIN, 0}};
  std::string* sinks[2] = {&finished.output, &finished.errors};
  int open = 2;
  while (open > 0 && !finished.overflowed) {
    const bool exited = child.ended();
    const int ready = ::poll(ends, 2, exited ? 0 : kExitCheckMilliseconds);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (ready == 0) {
      if (exited) return;
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || ends[i].revents == 0) continue;
      char chunk[4096];
      const ssize_t got = ::read(ends[i].fd, chunk, sizeof chunk);
      if (got > 0) {
        const auto size = static_cast<std::size_t>(got);
        if (size > kProgramOutputLimit - sinks[i]->size()) {
          finished.overflowed = true;
          break;
        }
        sinks[i]->append(chunk, size);
      } else if (got == 0 || errno != EINTR) {
        ends[i].fd = -1;  // poll skips negative descriptors
        --open;
      }
    }
  }
}

// A program that floods its pipes gives no answer worth waiting for: with
// the pipes closed its next write fails; it is asked to end, then made to.
void stop(Child& child) {
  if (child.ended()) return;
  ::kill(child.pid, SIGTERM);
  for (int i = 0; i < 20; ++i) {
    ::poll(nullptr, 0, kExitCheckMilliseconds);
    if (child.ended()) return;
  }
  ::kill(child.pid, SIGKILL);
  child.waitForEnd();
}

// Starts the program with an argument vector (no shell) and collects what it
// writes to standard output and standard error.
Finished runProgram(const std::string& program,
                    const std::vector<std::string>& arguments) {
  Finished finished;
  std::vector<char*> argv;
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  int outputEnds[2] = {-1, -1};
  int errorEnds[2] = {-1, -1};
  if (!openPipe(outputEnds)) return finished;
  if (!openPipe(errorEnds)) {
    ::close(outputEnds[0]);
    ::close(outputEnds[1]);
    return finished;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outputEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errorEnds[1], STDERR_FILENO);
  Child child;
  const int started = ::posix_spawn(&child.pid, program.c_str(), &actions,
                                    nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(outputEnds[1]);
  ::close(errorEnds[1]);
  if (started == 0) collect(child, outputEnds[0], errorEnds[0], finished);
  ::close(outputEnds[0]);
  ::close(errorEnds[0]);
  if (started != 0) return finished;
  if (finished.overflowed) stop(child);
  child.waitForEnd();
  finished.ran = !finished.overflowed && child.status != -1 &&
                 WIFEXITED(child.status);
  finished.status = finished.ran ? WEXITSTATUS(child.status) : -1;
  return finished;
}

// zenity answers 0 for OK and 1 for cancel, but also 1 when GTK cannot reach
// the display; only its message tells that case from a cancel.
bool dialogFailed(const Finished& finished) {
  if (finished.overflowed || !finished.ran || finished.status > 1) return true;
  return finished.status == 1 &&
         finished.errors.find("cannot open display") != std::string::npos;
}

// Writes all of `bytes`; false with errno set when that failed.
bool writeAll(int fd, const std::string& bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t put = ::write(fd, next, left);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = EIO;
      return false;
    }
    next += put;
    left -= static_cast<std::size_t>(put);
  }
  return true;
}

class TerminalDialogs : public Dialogs {
 public:
  Text askForFile(const FileRequest& request) override {
    const std::string prompt = textToUtf8(request.title) + ": ";
    // Someone at a terminal takes as many tries as needed; input from a file
    // or a pipe that keeps being refused would be read without end.
    const bool interactive = ::isatty(STDIN_FILENO) == 1;
    for (int tries = 1;; ++tries) {
      std::cerr << prompt << std::flush;
      std::string answer;
      const Reading reading = readAnswer(answer);
      if (reading == Reading::end) return {};
      if (reading == Reading::tooLong) {
        std::cerr << "answer longer than " << kAnswerLimit << " bytes refused\n";
        // Without a person typing, the end of such a line may never come
        // (/dev/zero).
        if (!interactive) {
          std::cerr << "the rest of the input is not read; giving up\n"
                    << std::flush;
          return {};
        }
        if (!skipLine()) return {};
        continue;
      }
      if (answer.empty()) return {};
      // What a file manager or a shell pastes: quotes, "~/", a file:// URI.
      const char* home = std::getenv("HOME");
      answer = pastedPath(answer, home != nullptr ? home : "");
      if (answer.empty()) return {};
      std::string refusal;
      if (accepted(answer, refusal)) return utf8ToText(answer);
      std::cerr << refusal << "\n" << std::flush;
      if (!interactive && tries >= kPipedTries) {
        std::cerr << "no usable answer after " << kPipedTries << " tries\n"
                  << std::flush;
        return {};
      }
    }
  }

  bool showNotice(TextView, TextView text, bool) override {
    std::string lines = noticeLines(text);
    if (lines.empty() || lines.back() != '\n') lines += '\n';
    // Straight to the descriptor: a stream would keep a failure to itself.
    if (writeAll(STDOUT_FILENO, lines)) return true;
    const int error = errno;
    std::cerr << "cannot write the notice to standard output: "
              << std::strerror(error) << "\n"
              << std::flush;
    return false;
  }

 private:
  enum class Reading { line, end, tooLong };

  // One line of standard input without its line end, read a byte at a time
  // so that nothing after it is taken from a shared input; at most
  // kAnswerLimit bytes of it are kept.
  static Reading readAnswer(std::string& answer) {
    for (;;) {
      char byte = 0;
      const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        if (answer.empty()) return Reading::end;
        break;
      }
      if (byte == '\n') break;
      // One byte beyond the limit may still be the CR of a CR LF.
      if (answer.size() > kAnswerLimit) return Reading::tooLong;
      answer.push_back(byte);
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return answer.size() > kAnswerLimit ? Reading::tooLong : Reading::line;
  }

  // False when the input ended first.
  static bool skipLine() {
    for (;;) {
      char byte = 0;
      const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      if (byte == '\n') return true;
    }
  }

  // Makes `answer` a full path to a file in an existing folder, or says in
  // `refusal` why it is none.
  static bool accepted(std::string& answer, std::string& refusal) {
    if (answer.find('\0') != std::string::npos) {
      refusal = "a path cannot contain a NUL byte";
      return false;
    }
    if (answer.front() != '/') {
      const auto folder = workingDirectory();
      if (!folder) {
        refusal = "cannot find " + answer +
                  ": the working directory is unknown; give a full path";
        return false;
      }
      answer = *folder + "/" + answer;
    }
    std::string folder = answer.substr(0, answer.rfind('/'));
    if (folder.empty()) folder.push_back('/');
    // The desktop dialog does not let such a name through either.
    if (isDirectory(folder)) return true;
    refusal = "folder not found: " + folder;
    return false;
  }
};

class ZenityDialogs : public Dialogs {
 public:
  explicit ZenityDialogs(std::string zenity) : zenity_(std::move(zenity)) {}

  Text askForFile(const FileRequest& request) override {
    const TextView filter = request.filter;
    // Without a known working directory zenity picks its own folder.
    const auto folder = workingDirectory();
    const Finished finished = runProgram(
        zenity_,
        {"zenity", "--file-selection",
         "--title=" + textToUtf8(request.title),
         "--file-filter=" + before(filter, u'|') + " | " + after(filter, u'|'),
         "--filename=" + (folder ? *folder + "/" : std::string()) +
             after(request.defaultPath, u'\\')});
    if (dialogFailed(finished)) {
      reportFailure(finished);
      return terminal_.askForFile(request);
    }
    if (finished.status != 0) return {};  // cancel
    std::string path = finished.output;
    if (!path.empty() && path.back() == '\n') path.pop_back();
    return utf8ToText(path);
  }

  bool showNotice(TextView title, TextView text, bool warning) override {
    // Without markup zenity shows the text as it is: no entities, no
    // backslash escapes, so a file name needs no quoting.
    const Finished finished = runProgram(
        zenity_, {"zenity", warning ? "--warning" : "--info", "--title=" + textToUtf8(title),
                  "--no-markup", "--text=" + noticeLines(text)});
    // The outcome must not be lost when the desktop dialog fails.
    if (!dialogFailed(finished)) return true;
    reportFailure(finished);
    return terminal_.showNotice(title, text, warning);
  }

 private:
  static void reportFailure(const Finished& finished) {
    if (finished.overflowed) {
      std::cerr << "zenity answered with more than " << kProgramOutputLimit
                << " bytes; using the terminal\n"
                << std::flush;
      return;
    }
    std::cerr << finished.errors;
    std::cerr << "zenity failed; using the terminal\n" << std::flush;
  }

  std::string zenity_;
  TerminalDialogs terminal_;
};

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<Dialogs> makePlatformDialogs(Surface surface) {
  if (surface != Surface::terminal && hasDisplay()) {
    std::string zenity = findOnPath("zenity");
    if (!zenity.empty()) return std::make_unique<ZenityDialogs>(std::move(zenity));
  }
  return std::make_unique<TerminalDialogs>();
}

}  // namespace tintgrove
