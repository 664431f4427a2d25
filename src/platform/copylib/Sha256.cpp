#include "platform/copylib/Sha256.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace copylib {

std::optional<std::string> FileSha256(const std::string& path, std::string& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return why = path + ": " + std::strerror(errno), std::nullopt;
  auto digest = StreamSha256(fd, path, why);
  ::close(fd);
  return digest;
}

std::optional<std::string> StreamSha256(int fd, const std::string& path, std::string& why, int copyTo,
                                        const std::string& copyPath, const std::function<void(long long bytes)>& read) {
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
    return why = path + ": the digest cannot be computed", std::nullopt;
  }
  // Store copies run to gigabytes: large reads, and the kernel told to read ahead.
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<unsigned char> buffer(1 << 20);
  ssize_t got;
  while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
    EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(got));
    if (read) read(got);
    for (ssize_t done = 0; copyTo != -1 && done < got;) {
      const ssize_t put = ::write(copyTo, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return why = copyPath + ": " + std::strerror(put < 0 ? errno : EIO), std::nullopt;
      done += put;
    }
  }
  if (got < 0) return why = path + ": " + std::strerror(errno), std::nullopt;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return why = path + ": the digest cannot be computed", std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) hex += {kHex[digest[i] >> 4], kHex[digest[i] & 15]};
  return hex;
}

}  // namespace copylib
