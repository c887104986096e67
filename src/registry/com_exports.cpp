// Exports of the GUID conversion and the COM server registration.
#include "qxdll32.h"
#include "registry/com_register.h"

namespace reg = qx::reg;

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
  return reg::RegisterServer(clsid, flags, serverPath, description, progId, viProgId, miscStatus,
                             typeLib, version);
}

extern "C" HRESULT QXAPI qxRegisterServerW(const GUID* clsid, QXDWORD flags,
                                           const QXWCHAR* serverPath, const QXWCHAR* description,
                                           const QXWCHAR* progId, const QXWCHAR* viProgId,
                                           QXDWORD miscStatus, const GUID* typeLib,
                                           QXDWORD version) {
  return reg::RegisterServer(clsid, flags, serverPath, description, progId, viProgId, miscStatus,
                             typeLib, version);
}

extern "C" HRESULT QXAPI qxUnregisterServerA(const GUID* clsid, const char* progId,
                                             const char* viProgId) {
  return reg::UnregisterServer(clsid, progId, viProgId);
}

extern "C" HRESULT QXAPI qxUnregisterServerW(const GUID* clsid, const QXWCHAR* progId,
                                             const QXWCHAR* viProgId) {
  return reg::UnregisterServer(clsid, progId, viProgId);
}
