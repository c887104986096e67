// A COM class's registration below HKEY_CLASSES_ROOT, written and removed
// in one call, through the registry functions of this family (each write
// creates whatever keys are missing on its path). Written once for both
// character types.
#pragma once

#include <olectl.h>

#include "registry/guid_text.h"
#include "registry/registry.h"
#include "registry/text_builder.h"

namespace qx::reg {

// Fields of the server flags the header does not name: either of the two
// low bits asks for a local server, and the toolbox bitmap id fills the
// high word (QXSVR_TOOLBOXBITMAP).
inline constexpr DWORD kServerKindMask = 0x00000003;
inline constexpr DWORD kThreadingMask = QXSVR_APARTMENT | QXSVR_FREE;
inline constexpr int kToolboxShift = 16;
static_assert(QXSVR_TOOLBOXBITMAP(1) == 1u << kToolboxShift);

// Formatted values are built in 1024 units.
template <class Ch>
using ValueText = TextBuilder<Ch, 1024>;

// "CLSID\{...}" in 64 units; the GUID text starts at offset 6.
template <class Ch>
struct ClassKeyPath {
  static constexpr int kPrefix = 6;
  Ch text[64];

  HRESULT Build(const GUID* clsid) noexcept {
    static constexpr auto prefix = Literal<Ch>("CLSID\\");
    for (int i = 0; i < kPrefix; ++i)
      text[i] = prefix.text[i];
    return StringFromGuid(clsid, text + kPrefix, 64 - kPrefix);
  }
  const Ch* guid() const noexcept { return text + kPrefix; }
};

// A ProgID may be absent (null) but not empty: an empty one would name
// HKEY_CLASSES_ROOT itself.
template <class Ch>
bool IsEmpty(const Ch* s) noexcept {
  return s != nullptr && *s == 0;
}

// Writes the tree in a fixed order; single failing writes do not stop it
// and leave the status of the last one in `failure`. Only the arguments and
// the class identifier's conversion stop the call.
template <class Ch>
HRESULT RegisterServer(const GUID* clsid, DWORD flags, const Ch* serverPath, const Ch* description,
                       const Ch* progId, const Ch* viProgId, DWORD miscStatus, const GUID* typeLib,
                       DWORD version, DWORD& failure) noexcept {
  static constexpr auto kInproc = Literal<Ch>("InprocServer32");
  static constexpr auto kLocal = Literal<Ch>("LocalServer32");
  static constexpr auto kThreadingModel = Literal<Ch>("ThreadingModel");
  static constexpr auto kApartment = Literal<Ch>("Apartment");
  static constexpr auto kFree = Literal<Ch>("Free");
  static constexpr auto kBoth = Literal<Ch>("Both");
  static constexpr auto kInsertableKey = Literal<Ch>("Insertable");
  static constexpr auto kProgrammableKey = Literal<Ch>("Programmable");
  static constexpr auto kControlKey = Literal<Ch>("Control");
  static constexpr auto kToolbox = Literal<Ch>("ToolboxBitmap32");
  static constexpr auto kMiscStatus = Literal<Ch>("MiscStatus");
  static constexpr auto kZero = Literal<Ch>("0");
  static constexpr auto kOne = Literal<Ch>("1");
  static constexpr auto kProgId = Literal<Ch>("ProgID");
  static constexpr auto kClsid = Literal<Ch>("CLSID");
  static constexpr auto kViProgId = Literal<Ch>("VersionIndependentProgID");
  static constexpr auto kCurVer = Literal<Ch>("CurVer");
  static constexpr auto kTypeLib = Literal<Ch>("TypeLib");
  static constexpr auto kVersion = Literal<Ch>("Version");

  if (clsid == nullptr || serverPath == nullptr || IsEmpty(progId) || IsEmpty(viProgId))
    return E_INVALIDARG;
  ClassKeyPath<Ch> classKey;
  if (classKey.Build(clsid) != S_OK) return SELFREG_E_CLASS;

  const HKEY root = HKEY_CLASSES_ROOT;
  const Ch* const cls = classKey.text;
  auto write = [root, &failure](const Ch* key, const Ch* sub, const Ch* name, const Ch* text) {
    if (const DWORD status = SetKeyAndString(root, key, sub, name, text); status != QXERR_NONE)
      failure = status;
  };

  const Ch* server = (flags & kServerKindMask) != 0 ? kLocal.text : kInproc.text;
  write(cls, nullptr, nullptr, description);
  write(cls, server, nullptr, serverPath);

  const Ch* threading = nullptr;
  switch (flags & kThreadingMask) {
    case QXSVR_APARTMENT:
      threading = kApartment.text;
      break;
    case QXSVR_FREE:
      threading = kFree.text;
      break;
    case QXSVR_BOTH:
      threading = kBoth.text;
      break;
    default:
      break;
  }
  if (threading != nullptr) write(cls, server, kThreadingModel.text, threading);

  if (flags & QXSVR_INSERTABLE) write(cls, kInsertableKey.text, nullptr, nullptr);
  if (flags & QXSVR_PROGRAMMABLE) write(cls, kProgrammableKey.text, nullptr, nullptr);
  if (flags & QXSVR_CONTROL) write(cls, kControlKey.text, nullptr, nullptr);

  // A value that does not fit the scratch buffer is left out rather than
  // written cut short.
  if (const DWORD bitmap = flags >> kToolboxShift; bitmap != 0) {
    ValueText<Ch> text;
    text.Append(serverPath).Append(static_cast<Ch>(',')).AppendDecimal(static_cast<int>(bitmap));
    if (text.fits()) write(cls, kToolbox.text, nullptr, text.c_str());
  }

  if (miscStatus != 0) {
    ValueText<Ch> text;
    text.AppendDecimal(static_cast<int>(miscStatus));
    write(cls, kMiscStatus.text, nullptr, kZero.text);
    write(cls, kMiscStatus.text, kOne.text, text.c_str());
  }

  if (progId != nullptr) {
    write(cls, kProgId.text, nullptr, progId);
    write(progId, nullptr, nullptr, description);
    write(progId, kClsid.text, nullptr, classKey.guid());
  }

  if (viProgId != nullptr) {
    write(cls, kViProgId.text, nullptr, viProgId);
    write(viProgId, nullptr, nullptr, description);
    write(viProgId, kClsid.text, nullptr, classKey.guid());
    write(viProgId, kCurVer.text, nullptr, progId);
  }

  if (typeLib != nullptr) {
    Ch text[64];
    if (StringFromGuid(typeLib, text, 64) == S_OK) write(cls, kTypeLib.text, nullptr, text);
  }

  if (version != 0) {
    ValueText<Ch> text;
    text.AppendDecimal(static_cast<int>(version & 0xFFFF))
        .Append(static_cast<Ch>('.'))
        .AppendDecimal(static_cast<int>(version >> 16));
    write(cls, kVersion.text, nullptr, text.c_str());
  }
  return S_OK;
}

// Deletes the class key and the ProgID keys given, each with its subtree;
// what the deletions report does not change the result, and the status of
// the last one that failed is left in `failure`.
template <class Ch>
HRESULT UnregisterServer(const GUID* clsid, const Ch* progId, const Ch* viProgId,
                         DWORD& failure) noexcept {
  if (clsid == nullptr || IsEmpty(progId) || IsEmpty(viProgId)) return E_INVALIDARG;
  ClassKeyPath<Ch> classKey;
  if (classKey.Build(clsid) != S_OK) return SELFREG_E_CLASS;
  const Ch* const keys[] = {classKey.text, progId, viProgId};
  for (const Ch* key : keys) {
    if (key == nullptr) continue;
    if (const DWORD status = DeleteTree(HKEY_CLASSES_ROOT, key); status != QXERR_NONE)
      failure = status;
  }
  return S_OK;
}

}  // namespace qx::reg
