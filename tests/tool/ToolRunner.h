// Runs the ekcommon tool for the tool tests and captures what it writes to standard output.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
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

// One row of a table of tool runs: the arguments, the exit status, and the exact standard
// output (nullptr: only the status is checked).
struct ToolRow {
  const char* args;
  int status;
  const char* out;
};

// Runs every row with standard input empty and checks status and output.
template <size_t N> void expectToolRows(const ToolRow (&rows)[N]) {
  for (const ToolRow& row : rows) {
    const ToolResult r = runTool(std::string(row.args) + " </dev/null");
    EXPECT_EQ(r.status, row.status) << row.args;
    if (row.out) {
      EXPECT_EQ(r.out, row.out) << row.args;
    }
  }
}
