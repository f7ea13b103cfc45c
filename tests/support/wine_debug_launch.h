// Starting a Windows program so that Wine's own diagnostic output can be read. Wine writes
// its debug channels (WINEDEBUG) to the Unix standard error of the process, which a Windows
// parent cannot redirect: a standard-error handle given to CreateProcess reaches the
// program's C runtime but not Wine. So the program is started from a Unix shell whose
// standard error goes to a file.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The Unix path of a Windows path, or the empty text when not running under Wine.
std::string unixPathOf(const std::string& windowsPath);

// Starts exePath with the arguments (plain words, no quotes) under the extra environment
// (NAME=value words, no quotes or blanks inside values) with Wine's standard error going to
// stderrPath (a Windows path, created or emptied). On success *started holds a handle of the
// new process and its id (no thread handle) and true is returned once the process exists.
bool startWithUnixStderr(const std::string& exePath, const std::string& arguments,
                         const std::string& environment, const std::string& stderrPath,
                         PROCESS_INFORMATION* started, DWORD timeoutMs = 10000);

// Runs a Unix shell command (single quotes only, no double quotes) with its input and output
// on /dev/null and waits for its end. Its exit status, or -1 when it could not be started or
// did not end within the time.
int runUnixShell(const std::string& command, DWORD timeoutMs = 10000);

}  // namespace e2e
