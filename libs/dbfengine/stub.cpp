// Temporary entry points; replaced by the engine sources.
#include "dbfengine.h"
extern "C" {
int16_t dbe_WorkArea(const char* /*alias*/) { return 0; }
int16_t dbe_UseEx(const char* /*path*/, const char* /*alias*/, int16_t /*mode*/, int16_t /*driver*/, int16_t /*commit*/) { return 0; }
int16_t dbe_Select(int16_t /*area*/) { return 0; }
const char* dbe_Alias(int16_t /*area*/) { return ""; }
void dbe_Close(void) {  }
int16_t dbe_ErrorLevel(int16_t /*level*/) { return 0; }
dbe_bool dbe_SetReadCache(dbe_bool /*on*/) { return 0; }
dbe_bool dbe_SetTranslate(dbe_bool /*on*/) { return 0; }
void dbe_SetPassword(const char* /*password*/) {  }
int16_t dbe_SetStringType(int16_t /*type*/) { return 0; }
int16_t dbe_SetMachineCollation(void) { return 0; }
int16_t dbe_SetEpoch(int16_t /*year*/) { return 0; }
dbe_bool dbe_SetDeleted(dbe_bool /*on*/) { return 0; }
dbe_bool dbe_SetCentury(dbe_bool /*on*/) { return 0; }
int16_t dbe_SetMemoBlockSize(int16_t /*size*/) { return 0; }
int16_t dbe_SetDateFormat(int16_t /*format*/) { return 0; }
dbe_bool dbe_SetSoftSeek(dbe_bool /*on*/) { return 0; }
dbe_bool dbe_SetExact(dbe_bool /*on*/) { return 0; }
int32_t dbe_SysProp(uint16_t /*property*/, void* /*value*/) { return 0; }
dbe_bool dbe_IsEncrypted(int16_t /*reserved*/) { return 0; }
int16_t dbe_FieldCount(void) { return 0; }
int32_t dbe_RecSize(void) { return 0; }
int32_t dbe_RecCount(void) { return 0; }
const char* dbe_FieldName(int16_t /*index*/) { return ""; }
const char* dbe_FieldType(const char* /*name*/) { return ""; }
int16_t dbe_FieldOffset(const char* /*name*/) { return 0; }
int16_t dbe_FieldWidth(const char* /*name*/) { return 0; }
int16_t dbe_FieldDecimals(const char* /*name*/) { return 0; }
const char* dbe_Version(void) { return ""; }
void dbe_GoTop(void) {  }
void dbe_GoBottom(void) {  }
void dbe_Skip(int32_t /*count*/) {  }
void dbe_Go(int32_t /*recno*/) {  }
int32_t dbe_RecNo(void) { return 0; }
dbe_bool dbe_Eof(void) { return 0; }
dbe_bool dbe_Bof(void) { return 0; }
void dbe_GetRecord(char* /*buffer*/) {  }
const char* dbe_GetString(const char* /*field*/) { return ""; }
dbe_bool dbe_Deleted(void) { return 0; }
int16_t dbe_SetOrder(int16_t /*order*/) { return 0; }
int16_t dbe_IndexOrd(void) { return 0; }
double dbe_OrderPosGet(void) { return 0; }
void dbe_OrderPosSet(double /*position*/) {  }
int16_t dbe_IndexOpen(const char* /*file*/) { return 0; }
void dbe_CloseIndexes(void) {  }
const char* dbe_IndexName(int16_t /*order*/) { return ""; }
const char* dbe_TagName(int16_t /*order*/) { return ""; }
int16_t dbe_TagArea(const char* /*tag*/) { return 0; }
const char* dbe_IndexKey(void) { return ""; }
const char* dbe_IndexKeyField(void) { return ""; }
int16_t dbe_IndexType(void) { return 0; }
const char* dbe_IndexCondition(void) { return ""; }
dbe_bool dbe_Seek(const char* /*key*/) { return 0; }
int16_t dbe_IndexCreate(const char* /*path*/, const dbe_tag_def* /*tags*/, int16_t /*count*/) { return 0; }
int32_t dbe_Query(const char* /*expression*/) { return 0; }
int16_t dbe_QueryTest(const char* /*expression*/) { return 0; }
int32_t dbe_QueryRecCount(void) { return 0; }
void dbe_SetQueryBit(int32_t /*recno*/, dbe_bool /*value*/) {  }
const char* dbe_DBFilter(void) { return ""; }
int32_t dbe_Count(void) { return 0; }
int16_t dbe_EvalTest(const char* /*expression*/) { return 0; }
const char* dbe_EvalString(const char* /*expression*/) { return ""; }
double dbe_EvalNumeric(const char* /*expression*/) { return 0; }
dbe_bool dbe_EvalLogical(const char* /*expression*/) { return 0; }
int32_t dbe_Error(void) { return 0; }
const char* dbe_ErrorText(void) { return ""; }
void dbe_ClearError(void) {  }
dbe_bool dbe_ScrambleTable(const char* /*source*/, const char* /*target*/, const char* /*password*/) { return 0; }
}
