// Exports of the registry functions: each A/W pair over one template, and
// the library error code from its status.
#include "frame/error_code.h"
#include "qxdll32.h"
#include "registry/registry.h"

namespace reg = qx::reg;

extern "C" QXBOOL QXAPI qxRegFindKeyA(HKEY root, const char* keyPath, const char* subKey) {
  return qx::Report(reg::FindKey(root, keyPath, subKey));
}

extern "C" QXBOOL QXAPI qxRegFindKeyW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey) {
  return qx::Report(reg::FindKey(root, keyPath, subKey));
}

extern "C" QXBOOL QXAPI qxRegGetStrValueA(HKEY root, const char* keyPath, const char* subKey,
                                          const char* valueName, char* buffer, QXDWORD size) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_SZ,
                                  reinterpret_cast<BYTE*>(buffer), size));
}

extern "C" QXBOOL QXAPI qxRegGetStrValueW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey,
                                          const QXWCHAR* valueName, QXWCHAR* buffer, QXDWORD size) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_SZ,
                                  reinterpret_cast<BYTE*>(buffer), size));
}

extern "C" QXBOOL QXAPI qxRegGetDwordValueA(HKEY root, const char* keyPath, const char* subKey,
                                            const char* valueName, QXDWORD* value) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_DWORD,
                                  reinterpret_cast<BYTE*>(value), sizeof(QXDWORD)));
}

extern "C" QXBOOL QXAPI qxRegGetDwordValueW(HKEY root, const QXWCHAR* keyPath,
                                            const QXWCHAR* subKey, const QXWCHAR* valueName,
                                            QXDWORD* value) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_DWORD,
                                  reinterpret_cast<BYTE*>(value), sizeof(QXDWORD)));
}

extern "C" QXBOOL QXAPI qxRegGetBinValueA(HKEY root, const char* keyPath, const char* subKey,
                                          const char* valueName, BYTE* buffer, QXDWORD size) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_BINARY, buffer, size));
}

extern "C" QXBOOL QXAPI qxRegGetBinValueW(HKEY root, const QXWCHAR* keyPath, const QXWCHAR* subKey,
                                          const QXWCHAR* valueName, BYTE* buffer, QXDWORD size) {
  return qx::Report(reg::GetValue(root, keyPath, subKey, valueName, REG_BINARY, buffer, size));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndStrValueA(HKEY root, const char* keyPath, const char* subKey,
                                                const char* valueName, const char* text) {
  return qx::Report(reg::SetKeyAndString(root, keyPath, subKey, valueName, text));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndStrValueW(HKEY root, const QXWCHAR* keyPath,
                                                const QXWCHAR* subKey, const QXWCHAR* valueName,
                                                const QXWCHAR* text) {
  return qx::Report(reg::SetKeyAndString(root, keyPath, subKey, valueName, text));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndDwordValueA(HKEY root, const char* keyPath,
                                                  const char* subKey, const char* valueName,
                                                  QXDWORD value) {
  return qx::Report(reg::SetKeyAndValue(root, keyPath, subKey, valueName, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof value));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndDwordValueW(HKEY root, const QXWCHAR* keyPath,
                                                  const QXWCHAR* subKey, const QXWCHAR* valueName,
                                                  QXDWORD value) {
  return qx::Report(reg::SetKeyAndValue(root, keyPath, subKey, valueName, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof value));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndBinValueA(HKEY root, const char* keyPath, const char* subKey,
                                                const char* valueName, const BYTE* data,
                                                QXDWORD size) {
  return qx::Report(reg::SetKeyAndValue(root, keyPath, subKey, valueName, REG_BINARY, data, size));
}

extern "C" QXBOOL QXAPI qxRegSetKeyAndBinValueW(HKEY root, const QXWCHAR* keyPath,
                                                const QXWCHAR* subKey, const QXWCHAR* valueName,
                                                const BYTE* data, QXDWORD size) {
  return qx::Report(reg::SetKeyAndValue(root, keyPath, subKey, valueName, REG_BINARY, data, size));
}

extern "C" QXBOOL QXAPI qxRegDeleteKeyA(HKEY root, const char* keyPath) {
  return qx::Report(reg::DeleteTree(root, keyPath));
}

extern "C" QXBOOL QXAPI qxRegDeleteKeyW(HKEY root, const QXWCHAR* keyPath) {
  return qx::Report(reg::DeleteTree(root, keyPath));
}
