#ifndef BREVAK_CORE_JET_DATABASE_H_
#define BREVAK_CORE_JET_DATABASE_H_

#include <string>

// What the tool tells the database engine about the installation's two
// database files.
namespace brevak {

// The provider the connection is given before every Open.
inline constexpr char16_t kProvider[] = u"Microsoft.Jet.OLEDB.4.0";
inline constexpr char16_t kCustomerPassword[] = u"mqzvtw";
inline constexpr char16_t kCustomerDatabase[] = u"Customerdata.car";
inline constexpr char16_t kAddressBook[] = u"Addr.mdb";

// The connection string of a Jet database file with its database password
// (empty for none). The space before the first equals sign is the tool's own.
inline std::u16string ConnectionString(const std::u16string& file, const std::u16string& password) {
  return u"Data Source =" + file + u";Jet OLEDB:Database Password=" + password;
}

}  // namespace brevak

#endif  // BREVAK_CORE_JET_DATABASE_H_
