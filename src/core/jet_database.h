#ifndef BREVAK_CORE_JET_DATABASE_H_
#define BREVAK_CORE_JET_DATABASE_H_

#include <string>

// What the tool tells the database engine about the installation's two
// database files.
namespace brevak {

inline constexpr char16_t kJetProvider[] = u"Microsoft.Jet.OLEDB.4.0";
inline constexpr char16_t kCustomerPassword[] = u"mqzvtw";
inline constexpr char16_t kCustomerDatabase[] = u"Customerdata.car";
inline constexpr char16_t kAddressBook[] = u"Addr.mdb";

// "Data Source =FILE;Jet OLEDB:Database Password=PASSWORD".
inline std::u16string JetConnectionString(const std::u16string& file, const std::u16string& password) {
  return u"Data Source =" + file + u";Jet OLEDB:Database Password=" + password;
}

}  // namespace brevak

#endif  // BREVAK_CORE_JET_DATABASE_H_
