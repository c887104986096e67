// Scratch registry keys for the tests, made and removed with the system's
// own calls (never the library's), and a dump of a key's subtree to compare
// whole trees against expectations.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qxtest {

// A name unique to this process and call, safe for parallel test runs.
std::string UniqueName(const char* stem);

// HKEY_CURRENT_USER\Software\<unique name>, deleted before and after; open
// with full access for the test to pass as a root.
class ScratchKey {
 public:
  ScratchKey();
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY root() const { return key_; }
  // The path below HKEY_CURRENT_USER, "Software\<name>".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  HKEY key_ = nullptr;
};

// Removes root\path with its subtree (no error when it is missing).
void DeleteTree(HKEY root, const std::string& path);

bool KeyExists(HKEY root, const std::string& path);

// One line per key and value below root\path, sorted: "sub\key" for a key,
// "sub\key|name=data" for a REG_SZ value ("(default)" for the unnamed one),
// and "|name=type:N" for a value of another type.
std::vector<std::string> DumpTree(HKEY root, const std::string& path);

// A value read or written with the system calls; reading gives false when
// the value is missing.
bool ReadRaw(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* data);
void WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data);

}  // namespace qxtest
