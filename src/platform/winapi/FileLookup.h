// Finding the product's files as the original file system did: names compare without regard
// to case within their directory, and "\" separators from stored paths are accepted.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace winapi {

// Equal without regard to ASCII case, as the original file system and profile reader compare.
bool EqualNoCase(const std::string& a, const std::string& b);

// Turns every "\" of a stored product path into "/".
std::string ToPosixSeparators(std::string path);

// Returns the path of the entry of `path`'s directory whose name equals `path`'s last
// component without regard to case (the exact name wins when several differ only in case).
// A directory or file that does not exist gives nullopt with `ec` clear; any other failure
// of the file system (permissions, a component that is not a directory) gives nullopt with
// `ec` set. A directory's listing is reused while its modification and change times stay as
// they were, so a name added, removed or renamed since is always seen.
std::optional<std::filesystem::path> ResolveNoCase(const std::filesystem::path& path, std::error_code& ec);

}  // namespace winapi
