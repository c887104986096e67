#include "registry/reg_scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace qxtest {

std::string UniqueName(const char* stem) {
  static std::atomic<unsigned> counter{0};
  return std::string(stem) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter++);
}

ScratchKey::ScratchKey() : path_("Software\\" + UniqueName("qxdll32-test")) {
  DeleteTree(HKEY_CURRENT_USER, path_);
  const LSTATUS rc = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                     KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  EXPECT_EQ(rc, ERROR_SUCCESS) << path_;
}

ScratchKey::~ScratchKey() {
  if (key_ != nullptr) RegCloseKey(key_);
  DeleteTree(HKEY_CURRENT_USER, path_);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path_)) << "scratch key left behind: " << path_;
}

void DeleteTree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
  RegDeleteKeyA(root, path.c_str());
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

namespace {

void DumpInto(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    BYTE data[2048];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
      break;
    std::string line = prefix + "|" + (nameSize == 0 ? "(default)" : name) + "=";
    if (type == REG_SZ) {
      line.append(reinterpret_cast<const char*>(data), dataSize);
      if (!line.empty() && line.back() == '\0') line.pop_back();
    } else {
      line += "type" + std::to_string(type) + ":" + std::to_string(dataSize);
    }
    out.push_back(line);
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    const std::string child = prefix.empty() ? name : prefix + "\\" + name;
    out.push_back(child);
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      DumpInto(sub, child, out);
      RegCloseKey(sub);
    }
  }
}

}  // namespace

std::vector<std::string> DumpTree(HKEY root, const std::string& path) {
  std::vector<std::string> out;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  DumpInto(key, "", out);
  RegCloseKey(key);
  std::sort(out.begin(), out.end());
  return out;
}

bool ReadRaw(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* data) {
  BYTE buffer[2048];
  DWORD size = sizeof buffer;
  if (RegGetValueA(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size) !=
      ERROR_SUCCESS)
    return false;
  data->assign(reinterpret_cast<const char*>(buffer), size);
  return true;
}

void WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type,
              const std::string& data) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

}  // namespace qxtest
