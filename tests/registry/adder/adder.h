// The test class served by qxtest_adder.dll, which registers itself through
// qxRegisterServerA: its identifiers and its one interface.
#pragma once

#include <objbase.h>

namespace qxtest {

// {6F1C2E5A-3B4D-4E8F-9A0B-1C2D3E4F5A6B}
inline constexpr GUID kAdderClsid = {
    0x6F1C2E5A, 0x3B4D, 0x4E8F, {0x9A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F, 0x5A, 0x6B}};
// {6F1C2E5A-3B4D-4E8F-9A0B-1C2D3E4F5A6C}
inline constexpr GUID kAdderIid = {
    0x6F1C2E5A, 0x3B4D, 0x4E8F, {0x9A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F, 0x5A, 0x6C}};
inline constexpr char kAdderProgId[] = "QxTest.Adder.1";
inline constexpr char kAdderViProgId[] = "QxTest.Adder";
inline constexpr char kAdderClassKey[] = "CLSID\\{6F1C2E5A-3B4D-4E8F-9A0B-1C2D3E4F5A6B}";

struct IAdder : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Add(int a, int b, int* sum) = 0;
};

}  // namespace qxtest
