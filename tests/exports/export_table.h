// The library's whole export table: every name at its fixed ordinal.
#pragma once

#include <array>

namespace qxtest {

struct ExportEntry {
  const char* name;
  unsigned ordinal;
};

inline constexpr ExportEntry kExportTable[] = {
    {"qxGetVersion", 2},
    {"qxGrepA", 3},
    {"qxGrepW", 4},
    {"qxMakeDirectoriesA", 5},
    {"qxMakeDirectoriesW", 6},
    {"qxScanFileNameA", 7},
    {"qxScanFileNameW", 8},
    {"qxScanExtNameA", 9},
    {"qxScanExtNameW", 10},
    {"qxRenameFileA", 11},
    {"qxRenameFileW", 12},
    {"qxJudgeJpnCodeType", 13},
    {"qxConvertJpnCode", 14},
    {"qxControlRightPathA", 15},
    {"qxControlRightPathW", 16},
    {"qxControlRightUrlA", 17},
    {"qxControlRightUrlW", 18},
    {"qxControlFileTimeAtFat", 19},
    {"qxInitSplitter", 20},
    {"qxSaaCreateCvtA", 21},
    {"qxSaaCreateCvtW", 22},
    {"qxSaaCloseCvt", 23},
    {"qxSaaScanStringA", 24},
    {"qxSaaScanStringW", 25},
    {"qxGetDBCSLeadTable", 26},
    {"qxSetFileTimeA", 27},
    {"qxSetFileTimeW", 28},
    {"qxRegulateFileTime", 29},
    {"qxAddTimeToFileTime", 30},
    {"qxSubTimeToFileTime", 31},
    {"qxBrowseFolderA", 32},
    {"qxBrowseFolderW", 33},
    {"qxSaaGetMatchLength", 34},
    {"qxGrepExA", 35},
    {"qxGrepExW", 36},
    {"qxGetErrCode", 37},
    {"qxDispLastError", 38},
    {"qxGetWindowPosi", 39},
    {"qxSetWindowPosi", 40},
    {"qxCenterWindowPosi", 41},
    {"qxMakeUniqPathA", 42},
    {"qxMakeUniqPathW", 43},
    {"qxFigureSepInt32A", 44},
    {"qxFigureSepInt32W", 45},
    {"qxFigureSepInt64A", 46},
    {"qxFigureSepInt64W", 47},
    {"qxFigureSepStrA", 48},
    {"qxFigureSepStrW", 49},
    {"qxOpenTextFileA", 50},
    {"qxOpenTextFileW", 51},
    {"qxCloseTextFile", 52},
    {"qxReadTextFileA", 53},
    {"qxReadTextFileW", 54},
    {"qxCreateFileOpA", 55},
    {"qxCreateFileOpW", 56},
    {"qxCloseFileOp", 57},
    {"qxSetFileOpEntry", 58},
    {"qxOperateFileOpA", 60},
    {"qxOperateFileOpW", 61},
    {"qxRegFindKeyA", 62},
    {"qxRegFindKeyW", 63},
    {"qxRegGetStrValueA", 64},
    {"qxRegGetStrValueW", 65},
    {"qxRegGetDwordValueA", 66},
    {"qxRegGetDwordValueW", 67},
    {"qxRegGetBinValueA", 68},
    {"qxRegGetBinValueW", 69},
    {"qxRegSetKeyAndStrValueA", 70},
    {"qxRegSetKeyAndStrValueW", 71},
    {"qxRegSetKeyAndDwordValueA", 72},
    {"qxRegSetKeyAndDwordValueW", 73},
    {"qxRegSetKeyAndBinValueA", 74},
    {"qxRegSetKeyAndBinValueW", 75},
    {"qxRegDeleteKeyA", 76},
    {"qxRegDeleteKeyW", 77},
    {"qxStringFromGuidA", 78},
    {"qxStringFromGuidW", 79},
    {"qxRegisterServerA", 80},
    {"qxRegisterServerW", 81},
    {"qxUnregisterServerA", 82},
    {"qxUnregisterServerW", 83},
    {"qxInitSplitterEx", 84},
};

// Exports whose family has not landed yet; each family removed its names.
// Every family has landed, so the list is empty.
inline constexpr std::array<const char*, 0> kNotYetBuilt{};

}  // namespace qxtest
