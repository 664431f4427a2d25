#include "site/RecordSession.h"

#include <stdlib.h>

#include <cstring>
#include <system_error>

#include "platform/reclib/keys.h"
#include "recio/conffld.h"

namespace site {
namespace fs = std::filesystem;
using namespace filomar;

namespace {

std::string StatusText(short status) { return " (status " + std::to_string(status) + ")"; }

std::string KeyText(short file) {
  const FileBlock& block = Block(file);
  const short length = reclib::KeyLength(block.code);
  std::string key(block.record, static_cast<std::size_t>(length));
  return key.substr(0, key.find_last_not_of(' ') + 1);
}

}  // namespace

std::string FileCode(short file) {
  const std::string code(Block(file).code, 4);
  return code.substr(0, code.find_last_not_of(' ') + 1);
}

Status RecordSession::Open(const fs::path& home, std::unique_ptr<RecordSession>& out) {
  std::string ipc = (fs::temp_directory_path() / "filomar-site-ipc-XXXXXX").string();
  if (mkdtemp(ipc.data()) == nullptr) return Status::Error("cannot make a private inter-process store in /tmp");
  std::unique_ptr<RecordSession> session(new RecordSession(ipc));
  setenv("FILOMAR_HOME", home.c_str(), 1);
  setenv("FILOMAR_IPC_DIR", ipc.c_str(), 1);
  InitFileTable();
  InitFieldTable();
  if (vb_io_connect(0, session->handle_) != 0) return Status::Error("the record library refused the connection");
  vb_io_setup(session->handle_);
  out = std::move(session);
  return Status::Ok();
}

RecordSession::~RecordSession() {
  vb_io_disconnect(0, handle_);
  std::error_code ec;
  fs::remove_all(ipcDir_, ec);
}

Status RecordSession::Select(const std::string& directory, const std::string& prefix) {
  std::string dir = directory, pre = prefix;
  vb_io_setDirectory(handle_, dir, pre);
  if (vb_io_erc != 0) return Status::Error("cannot select database " + prefix + " in " + directory + StatusText(vb_io_erc));
  return Status::Ok();
}

Status BeginWrites(short file) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return Status::Error("cannot open record file " + FileCode(file) + StatusText(vb_io_erc));
  ClearRecord(file);
  vb_io_start(file, 0, 0, 1025);
  if (vb_io_erc != 0) {
    vb_io_close(file);
    return Status::Error("cannot start writing record file " + FileCode(file) + StatusText(vb_io_erc));
  }
  return Status::Ok();
}

Status WriteOne(short file) {
  vb_io_write(file);
  if (vb_io_erc != 0) {
    return Status::Error("cannot write " + FileCode(file) + " record '" + KeyText(file) + "'" + StatusText(vb_io_erc));
  }
  return Status::Ok();
}

Status EndWrites(short file) {
  vb_io_endstart(file);
  const short ended = vb_io_erc;
  vb_io_close(file);
  const short closed = vb_io_erc;
  if (ended != 0 || closed != 0) {
    return Status::Error("cannot commit record file " + FileCode(file) + StatusText(ended != 0 ? ended : closed));
  }
  return Status::Ok();
}

Status CreateStore(const fs::path& dir, const std::string& prefix) {
  if (const short status = io_createStore(dir.c_str(), prefix.c_str()); status != 0) {
    char reason[512] = {};
    io_lastFailure(reason, sizeof reason);
    return Status::Error("cannot create the record store of " + prefix + " in " + dir.string() + ": " + reason);
  }
  return Status::Ok();
}

Status CreateEmptyFile(short file) {
  vb_io_open(file, "");
  if (vb_io_erc != 0) return Status::Error("cannot create record file " + FileCode(file) + StatusText(vb_io_erc));
  vb_io_close(file);
  return Status::Ok();
}

}  // namespace site
