#include "support/qxtest.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>

#include "platform/win32_api.h"
#endif

namespace qxtest {
namespace fs = std::filesystem;

unsigned ActiveCodePage() {
  return GetACP();
}

void PrimeErrCode(QXDWORD code) {
  if (code == QXERR_NONE) {
    char empty[] = "";
    qxScanExtNameA(empty);
  } else {
    ASSERT_EQ(code, QXERR_BADPARAM) << "only BADPARAM and NONE can be primed";
    qxControlRightPathA(nullptr);
  }
  ASSERT_EQ(qxGetErrCode(), code);
}

char* PageEnd() {
#if defined(_WIN32)
  static auto* map = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
  static DWORD old = 0;
  static const bool guarded = VirtualProtect(map + 4096, 4096, PAGE_NOACCESS, &old);
#else
  static auto* map = static_cast<char*>(
      mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  static const bool guarded = mprotect(map + 4096, 4096, PROT_NONE) == 0;
#endif
  EXPECT_TRUE(guarded);
  return map + 4095;
}

namespace {

void RemoveTree(const fs::path& path) {
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(path, error))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(path, error);
}

// A run that asked for a code page (QX_EXPECT_ACP, or natively
// QXDLL_CODEPAGE) fails as a whole if the library did not get it, so a
// missing locale never turns the code page rows into the default page's.
class CodePageCheck : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* value = std::getenv("QX_EXPECT_ACP");
    if (value == nullptr) value = std::getenv("QXDLL_CODEPAGE");
    if (value != nullptr) {
      ASSERT_EQ(ActiveCodePage(), std::strtoul(value, nullptr, 10));
    }
  }
};
const auto* const kCodePageCheck = ::testing::AddGlobalTestEnvironment(new CodePageCheck);

}  // namespace

ScratchDir::ScratchDir()
    : path_(fs::temp_directory_path() / ("qx-" + std::to_string(std::random_device()()))) {
  RemoveTree(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  RemoveTree(path_);
}

std::string ScratchDir::A(const std::string& relative) const {
  return relative.empty() ? path_.string() : path_.string() + "\\" + relative;
}

fs::path ScratchDir::Fs(const std::string& relative) const {
  std::string forward = relative;
  for (char& c : forward)
    c = c == '\\' ? '/' : c;
  return path_ / forward;
}

void ScratchDir::Write(const std::string& relative, std::string_view content) const {
  fs::create_directories(Fs(relative).parent_path());
  std::ofstream(Fs(relative), std::ios::binary).write(content.data(), content.size());
}

std::string ScratchDir::Read(const std::string& relative) const {
  std::ifstream in(Fs(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace qxtest
