#ifndef BREVAK_PLATFORM_WIN32_ADO_DATABASE_H_
#define BREVAK_PLATFORM_WIN32_ADO_DATABASE_H_

#include <memory>

#include "platform/database.h"

namespace brevak::win32 {

class ComApartment;

// ADO connection objects through late-bound COM: CreateObject of the
// programmatic identifier, then every member by name through IDispatch, as
// the run-time does with an object held in a variant. A failing member
// raises the run-time error with the provider's number and description.
class AdoDatabase : public Database {
 public:
  AdoDatabase();
  ~AdoDatabase() override;

  std::unique_ptr<Connection> CreateConnection(const std::u16string& prog_id) override;

 private:
  std::unique_ptr<ComApartment> apartment_;
};

}  // namespace brevak::win32

#endif  // BREVAK_PLATFORM_WIN32_ADO_DATABASE_H_
