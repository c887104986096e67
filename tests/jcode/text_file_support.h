// Scratch files and both reader forms for the text file tests. Contents
// are given as bytes; the W form writes each byte as one little-endian
// UTF-16 unit, so one row serves both forms.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "qxdll32.h"
#include "support/test_support.h"

namespace qxtest {

struct AReader {
  using Ch = char;
  using Line = std::string;
  static std::string Bytes(const std::string& text) { return text; }
  static Line Text(const std::string& text) { return text; }
  static QXHTEXTFILE Open(const std::string& path) { return qxOpenTextFileA(path.c_str()); }
  static QXBOOL Read(QXHTEXTFILE file, Ch* line, QXDWORD size) {
    return qxReadTextFileA(file, line, size);
  }
};

struct WReader {
  using Ch = QXWCHAR;
  using Line = WString;
  static std::string Bytes(const std::string& text) {
    std::string bytes;
    for (char c : text) {
      bytes += c;
      bytes += '\0';
    }
    return bytes;
  }
  static Line Text(const std::string& text) { return Widen(text); }
  static QXHTEXTFILE Open(const std::string& path) { return qxOpenTextFileW(Widen(path).c_str()); }
  static QXBOOL Read(QXHTEXTFILE file, Ch* line, QXDWORD size) {
    return qxReadTextFileW(file, line, size);
  }
};

// A scratch folder of its own, removed before and after.
class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("qx-jcode-" + std::to_string(random()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path.string();
  }

 private:
  std::filesystem::path dir_;
};

// Reads lines with a buffer of `size` until the first failure, whose error
// code goes to `error`.
template <class Form>
std::vector<typename Form::Line> ReadLines(QXHTEXTFILE file, QXDWORD size, QXDWORD& error) {
  std::vector<typename Form::Line> lines;
  std::vector<typename Form::Ch> buffer(size);
  while (Form::Read(file, buffer.data(), size))
    lines.emplace_back(buffer.data());
  error = qxGetErrCode();
  return lines;
}

template <class Form>
std::vector<typename Form::Line> Texts(const std::vector<std::string>& lines) {
  std::vector<typename Form::Line> out;
  for (const std::string& line : lines)
    out.push_back(Form::Text(line));
  return out;
}

}  // namespace qxtest
