#include "platform/posix/database/jet_errors.h"

namespace brevak::posix::jet_error {

RunTimeError CouldNotFindFile(const std::u16string& path) {
  return {kGeneralFailure, u"Could not find file '" + path + u"'."};
}

RunTimeError NotValidPassword() { return {kNotValidPassword, u"Not a valid password."}; }

RunTimeError UnrecognizedDatabaseFormat(const std::u16string& path) {
  return {kGeneralFailure, u"Unrecognized database format '" + path + u"'."};
}

RunTimeError InputTableNotFound(const std::u16string& name) {
  return {kInputTableNotFound,
          u"The Microsoft Jet database engine cannot find the input table or query '" + name +
              u"'. Make sure it exists and that its name is spelled correctly."};
}

RunTimeError UnknownFieldName(const std::u16string& name) {
  return {kErrorsInCommand,
          u"The INSERT INTO statement contains the following unknown field name: '" + name +
              u"'. Make sure you have typed the name correctly, and try the operation again."};
}

RunTimeError UnsupportedStatement(const std::u16string& statement) {
  return {kErrorsInCommand,
          u"This connection cannot run the statement '" + statement +
              u"'. It runs \"delete from TABLE\", \"delete from [TABLE]\" and \"Insert into "
              u"[TABLE] Select * From [;database=PATH;pwd=PASSWORD].TABLE\", \"select count(*) from "
              u"[TABLE]\" and \"select count(*) from [;database=PATH;pwd=PASSWORD].[TABLE]\" "
              u"(pwd= may be left out)."};
}

RunTimeError BadConnectionString() {
  return {kBadConnectionString,
          u"The connection string is not a list of KEY=VALUE pairs separated by semicolons."};
}

RunTimeError ProviderNotFound() {
  return {kProviderNotFound, u"Provider cannot be found. It may not be properly installed."};
}

RunTimeError ObjectClosed() {
  return {kObjectClosed, u"Operation is not allowed when the object is closed."};
}

RunTimeError ObjectOpen() {
  return {kObjectOpen, u"Operation is not allowed when the object is open."};
}

RunTimeError NoTransaction() { return {kNoTransaction, u"No transaction is active."}; }

RunTimeError TransactionExists() {
  return {kTransactionExists, u"Only one transaction can be active on this session."};
}

RunTimeError TransactionLost() {
  return {kGeneralFailure,
          u"The transaction was ended by an earlier failure and its changes were undone; "
          u"roll it back before running further statements."};
}

}  // namespace brevak::posix::jet_error
