#ifndef BREVAK_PLATFORM_WIN32_ADO_POOLING_H_
#define BREVAK_PLATFORM_WIN32_ADO_POOLING_H_

// ADO pools OLE DB sessions by default: after Close the provider may keep
// the database file open for a minute or so while the connection object
// lives. The tool closes a database to copy over it, to back it up or to
// see that no other program holds it, so its own connections never pool.
#include <string>

namespace brevak::win32 {

// The OLE DB services setting that keeps every service but resource
// pooling (DBPROPVAL_OS_ENABLEALL without DBPROPVAL_OS_RESOURCEPOOLING).
inline constexpr char16_t kNoResourcePooling[] = u"OLE DB Services=-2";

// `connection_string` as the tool opens it: the setting appended, so the
// core's connection strings stay as they are.
inline std::u16string WithoutResourcePooling(const std::u16string& connection_string) {
  const bool separated = connection_string.empty() || connection_string.back() == u';';
  return connection_string + (separated ? u"" : u";") + kNoResourcePooling;
}

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_ADO_POOLING_H_
