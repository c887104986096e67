// Queries of the library frame.
#include "frame/error_code.h"
#include "frame/tables.h"
#include "qx_version.h"
#include "qxdll32.h"

extern "C" QXDWORD QXAPI qxGetVersion(void) {
  return QX_VERSION_MAJOR * 100 + QX_VERSION_MINOR;
}

extern "C" QXDWORD QXAPI qxGetErrCode(void) {
  return qx::ErrCode();
}

extern "C" const unsigned char* QXAPI qxGetDBCSLeadTable(void) {
  return qx::g_dbcsLeadTable;
}
