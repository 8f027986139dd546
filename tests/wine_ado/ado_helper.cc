// wine-ado-helper: the Linux half of the test harness that gives the Windows
// build under Wine a database engine. The harness's ADODB.Connection DLL
// forwards every call here over 127.0.0.1 (ado_wire.h); each connection
// object gets its own SQLCipher/Jet connection on the files of $WINEPREFIX,
// the same prefix the Windows program sees.
//
//   wine-ado-helper [--max-seconds N]
//
// Listens on a free port of 127.0.0.1 only, prints it as one line, and
// serves until killed, or at most N seconds (default 900): a test that
// forgets it never leaves it behind.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/posix/database/jet_errors.h"
#include "platform/posix/database/sqlcipher_database.h"
#include "platform/posix/text/utf.h"
#include "platform/posix/prefix/wine_prefix.h"
#include "wine_ado/ado_wire.h"

namespace brevak::wine_ado {
namespace {

using posix::Utf16ToUtf8;
using posix::Utf8ToUtf16;

// One member call on the connection; returns the reply's value.
std::string Run(Connection& connection, std::u16string& provider, const std::string& member,
                const std::u16string& argument) {
  if (member == "Provider.get") return Utf16ToUtf8(provider);
  if (member == "Provider.put") {
    connection.SetProvider(argument);
    provider = argument;
  } else if (member == "Open") {
    connection.Open(argument);
  } else if (member == "Execute") {
    if (IsSelectStatement(Utf16ToUtf8(argument))) {
      return std::to_string(connection.ExecuteCount(argument));
    }
    connection.Execute(argument);
  } else if (member == "BeginTrans") {
    connection.BeginTrans();
  } else if (member == "CommitTrans") {
    connection.CommitTrans();
  } else if (member == "RollbackTrans") {
    connection.RollbackTrans();
  } else if (member == "Close") {
    connection.Close();
  } else if (member == "State") {
    return std::to_string(connection.State());
  } else {
    throw RunTimeError(438, u"对象不支持该属性或方法");
  }
  return {};
}

bool ReadExactly(int socket, char* buffer, size_t bytes) {
  while (bytes > 0) {
    const ssize_t got = ::recv(socket, buffer, bytes, 0);
    if (got <= 0) return false;
    buffer += got;
    bytes -= static_cast<size_t>(got);
  }
  return true;
}

bool SendReply(int socket, int32_t number, const std::u16string& description, const std::string& value) {
  std::string reply;
  AppendFrame(reply, std::to_string(number));
  AppendFrame(reply, Utf16ToUtf8(description));
  AppendFrame(reply, value);
  return ::send(socket, reply.data(), reply.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(reply.size());
}

// Serves one connection object until its DLL side goes; the database
// connection goes with it (an open transaction is rolled back).
void Serve(int socket) {
  posix::SqlCipherDatabase database(posix::WinePrefix::FromEnvironment());
  const std::unique_ptr<Connection> connection = database.CreateConnection(u"Adodb.Connection");
  std::u16string provider = u"MSDASQL";  // ADO's default provider
  const auto read = [socket](char* buffer, size_t bytes) { return ReadExactly(socket, buffer, bytes); };
  for (std::string member, argument; ReadFrame(read, &member) && ReadFrame(read, &argument);) {
    int32_t number = 0;
    std::u16string description;
    std::string value;
    try {
      value = Run(*connection, provider, member, Utf8ToUtf16(argument));
    } catch (const RunTimeError& error) {
      number = error.number();
      description = error.description();
    } catch (const std::exception& error) {
      number = vb_error::kInternalError;
      description = Utf8ToUtf16(error.what());
    }
    if (!SendReply(socket, number, description, value)) break;
  }
  ::close(socket);
}

int Listen() {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from outside
  socklen_t size = sizeof address;
  if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listener, 8) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    std::perror("wine-ado-helper: listen");
    std::exit(1);
  }
  std::printf("%u\n", ntohs(address.sin_port));
  std::fflush(stdout);
  return listener;
}

}  // namespace
}  // namespace brevak::wine_ado

int main(int argc, char** argv) {
  unsigned max_seconds = 900;
  if (argc == 3 && std::string(argv[1]) == "--max-seconds") max_seconds = std::stoul(argv[2]);
  // SIGALRM's default action ends the process, its threads included.
  ::alarm(max_seconds);
  const int listener = brevak::wine_ado::Listen();
  for (;;) {
    const int socket = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket >= 0) std::thread(brevak::wine_ado::Serve, socket).detach();
  }
}
