// Runs the ekcommon tool for the tool tests and captures what it writes to standard output.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct ToolResult {
  int status;
  std::string out;
};

// Runs the tool with the given arguments (shell syntax, so redirections and pipes work),
// capturing standard output; standard error is discarded, or merged into the output with
// stderrTo "&1".
inline ToolResult runTool(const std::string& args, const char* stderrTo = "/dev/null") {
  const std::string command = std::string(EKCOMMON_TOOL) + " " + args + " 2>" + stderrTo;
  FILE* pipe = popen(command.c_str(), "r");
  ToolResult result{-1, {}};
  if (!pipe)
    return result;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    result.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
