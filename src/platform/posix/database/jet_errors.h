#ifndef BREVAK_PLATFORM_POSIX_DATABASE_JET_ERRORS_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_JET_ERRORS_H_

#include <cstdint>
#include <string>

#include "platform/database.h"
#include "platform/runtime_error.h"

// The errors an Adodb.Connection on the Jet 4.0 provider raises, with the
// numbers and descriptions ADO and Jet report for them.
namespace brevak::posix::jet_error {

// 0x80004005: Jet's general failure (a missing file, a locked or broken one).
inline constexpr int32_t kGeneralFailure = -2147467259;
// 0x80040E4D: authentication failed.
inline constexpr int32_t kNotValidPassword = -2147217843;
// 0x80040E37: a table or query that does not exist.
inline constexpr int32_t kInputTableNotFound = kJetInputTableNotFound;
// 0x80040E14: a statement the engine cannot run as written.
inline constexpr int32_t kErrorsInCommand = -2147217900;
// 0x80040E73: a connection string that is not key=value pairs.
inline constexpr int32_t kBadConnectionString = -2147217805;
// 0x8004D00E / 0x8004D013: transaction state.
inline constexpr int32_t kNoTransaction = -2147168242;
inline constexpr int32_t kTransactionExists = -2147168237;
// ADO's own errors.
inline constexpr int32_t kObjectClosed = 3704;
inline constexpr int32_t kObjectOpen = 3705;
inline constexpr int32_t kProviderNotFound = 3706;

RunTimeError CouldNotFindFile(const std::u16string& path);
RunTimeError NotValidPassword();
// A file that is no database of the engine's (an empty one included).
RunTimeError UnrecognizedDatabaseFormat(const std::u16string& path);
RunTimeError InputTableNotFound(const std::u16string& name);
RunTimeError UnknownFieldName(const std::u16string& name);
RunTimeError UnsupportedStatement(const std::u16string& statement);
RunTimeError BadConnectionString();
RunTimeError ProviderNotFound();
RunTimeError ObjectClosed();
RunTimeError ObjectOpen();
RunTimeError NoTransaction();
RunTimeError TransactionExists();
// A transaction that the engine ended on its own after a failure.
RunTimeError TransactionLost();

}  // namespace brevak::posix::jet_error

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_JET_ERRORS_H_
