// Queries of the library frame.
#include "frame/error_code.h"
#include "frame/tables.h"
#include "qxdll32.h"

extern "C" QXDWORD QXAPI qxGetVersion(void) {
  return 113;
}

extern "C" QXDWORD QXAPI qxGetErrCode(void) {
  return qx::ErrCode();
}

extern "C" const unsigned char* QXAPI qxGetDBCSLeadTable(void) {
  return qx::g_dbcsLeadTable;
}
