// qxtest_adder.dll: a minimal in-process COM server whose self-registration
// is the library's qxRegisterServerA / qxUnregisterServerA.
#include <windows.h>
// after windows.h
#include <olectl.h>

#include <atomic>

#include "qxdll32.h"
#include "registry/adder/adder.h"

namespace {

HMODULE g_module = nullptr;
std::atomic<long> g_live{0};  // objects and locks keeping the DLL loaded

class Adder final : public qxtest::IAdder {
 public:
  Adder() { ++g_live; }
  ~Adder() { --g_live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, qxtest::kAdderIid)) {
      *out = static_cast<qxtest::IAdder*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE Add(int a, int b, int* sum) override {
    if (sum == nullptr) return E_POINTER;
    *sum = a + b;
    return S_OK;
  }

 private:
  std::atomic<long> refs_{1};
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static instance
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Adder* adder = new Adder;
    const HRESULT hr = adder->QueryInterface(iid, out);
    adder->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++g_live;
    } else {
      --g_live;
    }
    return S_OK;
  }
};

Factory g_factory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, qxtest::kAdderClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
  return g_live == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
  return qxRegisterServerA(&qxtest::kAdderClsid, QXSVR_BOTH, path, "qxdll32 test adder",
                           qxtest::kAdderProgId, qxtest::kAdderViProgId, 0, nullptr, 0x00000001);
}

STDAPI DllUnregisterServer() {
  return qxUnregisterServerA(&qxtest::kAdderClsid, qxtest::kAdderProgId, qxtest::kAdderViProgId);
}
