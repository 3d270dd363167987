// Scratch directories, file helpers and outside tools for the stream, gzip and ZIP tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A fresh directory below the test temp directory, removed with everything in it.
class ScratchDir {
public:
  ScratchDir() {
    std::string pattern = testing::TempDir() + "ekresXXXXXX";
    m_path = mkdtemp(&pattern[0]) ? pattern : std::string();
  }
  ~ScratchDir() {
    if (!m_path.empty())
      std::system(("rm -rf '" + m_path + "'").c_str());
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string operator/(const std::string& name) const { return m_path + "/" + name; }
  const std::string& path() const { return m_path; }

private:
  std::string m_path;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Everything left in a stream.
inline std::string readAll(std::istream& in) {
  std::ostringstream out;
  char buffer[1000];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
    out.write(buffer, in.gcount());
  return out.str();
}

// Runs a shell command; its exit status, or -1 when it could not run.
inline int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

// Deterministic bytes that compress the way documents do: words, numbers and some noise.
inline std::string sampleBytes(size_t n, unsigned seed) {
  static const char* const words[] = {"<para>", "</para>", "fo:block", " the ", "font-size=\"12pt\"", "\n", "ekcommon"};
  std::string out;
  uint32_t x = seed * 2654435761u + 1;
  while (out.size() < n) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    if (x % 5 == 0)
      out += static_cast<char>(x >> 24);
    else if (x % 5 == 1)
      out += std::to_string(x % 100000);
    else
      out += words[x % 7];
  }
  out.resize(n);
  return out;
}

// Names of the files in a directory that start with prefix.
inline std::vector<std::string> filesStartingWith(const std::string& dir, const std::string& prefix) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name).rfind(prefix, 0) == 0)
        names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}
