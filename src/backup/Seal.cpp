#include "backup/Seal.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "backup/OpenFile.h"

namespace filomar::backup {
namespace {

std::string KeyPath(const std::string& programDirectory) { return programDirectory + "/" + kKeyName; }

Status ReadKey(const std::string& path, std::string& key) {
  OpenFile file;
  if (Status opened = file.Open(path, 4096); !opened.ok()) return opened;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return Status::IoError(path, std::strerror(errno));
  if ((st.st_mode & 077) != 0) return Status::Invalid(path, "readable or writable by others than its owner");
  if (Status read = file.ReadAll(key); !read.ok()) return read;
  if (key.size() != kKeySize) return Status::Invalid(path, "not a backup key of " + std::to_string(kKeySize) + " bytes");
  return Status::Ok();
}

// Writes a new random key; EEXIST (another process made one meanwhile) is not a failure.
Status MakeKey(const std::string& path) {
  unsigned char bytes[kKeySize];
  if (RAND_bytes(bytes, sizeof bytes) != 1) return Status::IoError(path, "no random bytes for a key");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST ? Status::Ok() : Status::IoError(path, std::strerror(errno));
  int error = 0;
  if (::write(fd, bytes, sizeof bytes) != static_cast<ssize_t>(sizeof bytes)) error = errno != 0 ? errno : EIO;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  OPENSSL_cleanse(bytes, sizeof bytes);
  if (error != 0) {
    ::unlink(path.c_str());
    return Status::IoError(path, std::strerror(error));
  }
  return SyncPath(path.substr(0, path.find_last_of('/')));
}

}  // namespace

Status LoadOrMakeKey(const std::string& programDirectory, std::string& key) {
  const std::string path = KeyPath(programDirectory);
  Status loaded = ReadKey(path, key);
  if (loaded.kind() != Status::Kind::kNotFound) return loaded;
  if (Status made = MakeKey(path); !made.ok()) return made;
  return ReadKey(path, key);
}

Status LoadKey(const std::string& programDirectory, std::string& key) { return ReadKey(KeyPath(programDirectory), key); }

std::string SealOf(const std::string& text, const std::string& key) {
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(text.data()), text.size(),
       mac, &length);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) hex += {kHex[mac[i] >> 4], kHex[mac[i] & 15]};
  return hex;
}

bool SealMatches(const std::string& text, const std::string& key, const std::string& seal) {
  const std::string expected = SealOf(text, key);
  return seal.size() == expected.size() && CRYPTO_memcmp(seal.data(), expected.data(), expected.size()) == 0;
}

}  // namespace filomar::backup
