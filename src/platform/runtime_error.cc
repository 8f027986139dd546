#include "platform/runtime_error.h"

#include <new>

namespace brevak::vb_error {

RunTimeError Raise(int32_t number) {
  switch (number) {
    case kInvalidProcedureCall: return {number, u"无效的过程调用或参数"};
    case kOverflow: return {number, u"溢出"};
    case kOutOfMemory: return {number, u"内存溢出"};
    case kSubscriptOutOfRange: return {number, u"下标越界"};
    case kInternalError: return {number, u"内部错误"};
    case kTypeMismatch: return {number, u"类型不匹配"};
    case kFileNotFound: return {number, u"文件未找到"};
    case kDeviceIoError: return {number, u"设备 I/O 错误"};
    case kFileAlreadyExists: return {number, u"文件已存在"};
    case kDiskFull: return {number, u"磁盘已满"};
    case kPermissionDenied: return {number, u"没有权限"};
    case kPathFileAccessError: return {number, u"路径/文件访问错误"};
    case kPathNotFound: return {number, u"路径未找到"};
    case kObjectNotSet: return {number, u"对象变量或 With 块变量未设置"};
    case kInvalidPropertyValue: return {number, u"无效的属性值"};
    case kInvalidPropertyArrayIndex: return {number, u"无效的属性数组索引"};
    case kCannotCreateObject: return {number, u"ActiveX 部件不能创建对象"};
    case kPropertyNotSupported: return {number, u"对象不支持该属性或方法"};
    case kArgumentNotOptional: return {number, u"参数不可选"};
    case kWrongArgumentCount: return {number, u"错误的参数号或无效的属性赋值"};
    default: return {number, u"应用程序定义的错误或对象定义的错误"};
  }
}

RunTimeError FromCurrentException() {
  try {
    throw;
  } catch (const RunTimeError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return Raise(kOutOfMemory);
  } catch (...) {
    return Raise(kInternalError);
  }
}

}  // namespace brevak::vb_error
