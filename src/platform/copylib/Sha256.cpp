#include "platform/copylib/Sha256.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace copylib {

std::optional<std::string> FileSha256(const std::string& path, std::string& why) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return why = path + ": " + std::strerror(errno), std::nullopt;
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) {
    return why = path + ": the digest cannot be computed", std::nullopt;
  }
  std::vector<unsigned char> buffer(1 << 16);
  std::size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    EVP_DigestUpdate(context.get(), buffer.data(), got);
  }
  if (std::ferror(file.get())) return why = path + ": " + std::strerror(errno), std::nullopt;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return why = path + ": the digest cannot be computed", std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) hex += {kHex[digest[i] >> 4], kHex[digest[i] & 15]};
  return hex;
}

}  // namespace copylib
