// Exports of the GUID conversion and the COM server registration. A
// registration's failed single writes set the library error code.
#include "frame/error_code.h"
#include "qxdll32.h"
#include "registry/com_register.h"

namespace reg = qx::reg;

namespace {

// The call's result, with the last failed write's status in the error code.
template <class Call>
HRESULT Registering(Call call) noexcept {
  DWORD failure = QXERR_NONE;
  const HRESULT result = call(failure);
  if (failure != QXERR_NONE) qx::SetErrCode(failure);
  return result;
}

}  // namespace

extern "C" HRESULT QXAPI qxStringFromGuidA(const GUID* guid, char* buffer, int size) {
  return reg::StringFromGuid(guid, buffer, size);
}

extern "C" HRESULT QXAPI qxStringFromGuidW(const GUID* guid, QXWCHAR* buffer, int size) {
  return reg::StringFromGuid(guid, buffer, size);
}

extern "C" HRESULT QXAPI qxRegisterServerA(const GUID* clsid, QXDWORD flags, const char* serverPath,
                                           const char* description, const char* progId,
                                           const char* viProgId, QXDWORD miscStatus,
                                           const GUID* typeLib, QXDWORD version) {
  return Registering([&](DWORD& failure) {
    return reg::RegisterServer(clsid, flags, serverPath, description, progId, viProgId, miscStatus,
                               typeLib, version, failure);
  });
}

extern "C" HRESULT QXAPI qxRegisterServerW(const GUID* clsid, QXDWORD flags,
                                           const QXWCHAR* serverPath, const QXWCHAR* description,
                                           const QXWCHAR* progId, const QXWCHAR* viProgId,
                                           QXDWORD miscStatus, const GUID* typeLib,
                                           QXDWORD version) {
  return Registering([&](DWORD& failure) {
    return reg::RegisterServer(clsid, flags, serverPath, description, progId, viProgId, miscStatus,
                               typeLib, version, failure);
  });
}

extern "C" HRESULT QXAPI qxUnregisterServerA(const GUID* clsid, const char* progId,
                                             const char* viProgId) {
  return Registering(
      [&](DWORD& failure) { return reg::UnregisterServer(clsid, progId, viProgId, failure); });
}

extern "C" HRESULT QXAPI qxUnregisterServerW(const GUID* clsid, const QXWCHAR* progId,
                                             const QXWCHAR* viProgId) {
  return Registering(
      [&](DWORD& failure) { return reg::UnregisterServer(clsid, progId, viProgId, failure); });
}
