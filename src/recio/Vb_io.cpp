#include "recio/Vb_io.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "common/General.h"
#include "common/Text.h"
#include "platform/reclib/trace.h"
#include "common/MsgBoxCode.h"

namespace filomar {

VbIoState VbIo;
short& vb_io_erc = VbIo.erc;
short& ConnHandle = VbIo.connHandle;

namespace {

constexpr int kRecordSize = reclib::kRecordSize;


constexpr std::array<const char*, kFileCount> kFileCodes = {
    "",     "FACT", "AO",   "AUD",  "BUP",  "CAL",  "CODE", "CONF", "DEPT", "DOMV", "DOCS",
    "DSEQ", "DWFL", "FILE", "KWTH", "LOCN", "MOVE", "ORG",  "PL",   "PHRA", "SACT", "SEQ",
    "SNDR", "THES", "UID",  "WORD", "DB",   "PL",   "PL",   "REMO", "MATR", "CENS", "DMS",
    "EDAT", "BOX",  "BOXT", "RPST", "SPCE", "CONT", "BXMV", "BUPO", "BXCT", "SERS", "UCFG",
    "CIT",  "CIDI", "AOLD", "DOMO", "FACO", "MOVO", "ORGO", "MOV1", "FAC1", "KREL", "VIT",
    "STOP", "FILT", "ATTS", "VERS", "COMP", "AUD1", "IDXM", "RSDV", "SLCT", "RELD", "LEKT",
    "IDXQ", "OBXC", "REPS", "REPO", "COP1", "UDB",  "ASEC", "SEC",  "EXT",  "FRZ",  "SSEC",
    "AUT",  "NOTE", "RULE", "",     "",     ""};

bool ValidFile(short file) { return file >= 0 && file < kFileCount; }

// Runs one library call on the block of `file` and keeps its status, or refuses a file number
// outside the table.
template <typename Call>
void PerFile(short file, Call call) {
  if (!ValidFile(file)) {
    vb_io_erc = kInvalidFileNumber;
    return;
  }
  vb_io_erc = call(&VbIo.files[static_cast<std::size_t>(file)]);
}

// The library reports a failed open as 88; the product has always seen it as 85.
short OpenStatus(short status) { return status == reclib::kOpenFailed ? kOpenFailed : status; }

// A text as the library takes it: a writable NUL-terminated single-byte buffer.
std::vector<char> Writable(const std::string& text) {
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  return buffer;
}

std::string FromBuffer(const std::vector<char>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

char* Record(short file) { return VbIo.files[static_cast<std::size_t>(file)].record; }

// The characters of [offset, offset + length) that lie inside the record buffer.
std::string ReadChars(short file, int offset, int length) {
  const int begin = std::max(offset, 0);
  const int end = std::min(offset + std::max(length, 0), kRecordSize);
  if (end <= begin) return {};
  return std::string(Record(file) + begin, static_cast<std::size_t>(end - begin));
}

// Puts chars[j] at offset + j, dropping whatever falls outside the record buffer.
void WriteChars(short file, int offset, const std::string& chars) {
  char* record = Record(file);
  for (std::size_t j = 0; j < chars.size(); ++j) {
    const long position = offset + static_cast<long>(j);
    if (position >= 0 && position < kRecordSize) record[position] = chars[j];
  }
}

std::string Fit(std::string text, int length) {
  text.resize(static_cast<std::size_t>(std::max(length, 0)), ' ');
  return text;
}

// A whole number with optional blanks around it, as numeric fields hold it.
std::optional<std::int32_t> ParseWholeNumber(const std::string& chars) {
  const std::string text = Trim(chars);
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return value;
}

// Any decimal number (fraction and exponent allowed, blanks around it), rounded to a 32-bit
// integer as the platform's conversion does: halves go to the even neighbour.
std::optional<std::int32_t> ParseNumber(const std::string& chars) {
  if (const auto whole = ParseWholeNumber(chars)) return whole;
  const std::string text = Trim(chars);
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+' && ++first != last && *first == '-') return std::nullopt;
  if (first == last || (*first != '-' && *first != '.' && (*first < '0' || *first > '9'))) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default rounding: to nearest, ties to even
  if (rounded < INT32_MIN || rounded > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

Variant NumberOrZero(const std::string& chars) {
  if (const auto number = ParseNumber(chars)) return *number;
  return std::int16_t{0};
}

std::optional<long long> WholeNumberOf(const Variant& value) {
  if (std::holds_alternative<std::monostate>(value)) return 0;
  if (const auto* n = std::get_if<std::int32_t>(&value)) return *n;
  if (const auto* n = std::get_if<std::int16_t>(&value)) return *n;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (const auto n = ParseWholeNumber(*s)) return *n;
  }
  return std::nullopt;
}

// The zero-padded digits of a numeric field, or nullopt when the value is no whole number or
// does not fit: cutting it to the field would store a different number.
std::optional<std::string> NumericText(const Variant& value, int length) {
  const auto number = WholeNumberOf(value);
  if (!number || length <= 0) return std::nullopt;
  const std::string digits = std::to_string(*number < 0 ? -*number : *number);
  const std::size_t width = static_cast<std::size_t>(*number < 0 ? length - 1 : length);
  if (digits.size() > width) return std::nullopt;
  return (*number < 0 ? "-" : "") + std::string(width - digits.size(), '0') + digits;
}

std::string TextOf(const Variant& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  if (const auto* n = std::get_if<std::int32_t>(&value)) return std::to_string(*n);
  if (const auto* n = std::get_if<std::int16_t>(&value)) return std::to_string(*n);
  if (const auto* date = std::get_if<Date>(&value)) return FormatDateForSystem(*date);
  return {};
}

void TraceUnstorable(const FieldInfo& field, const Variant& value) {
  WriteTrace("PutField: '" + TextOf(value) + "' is no number of " + std::to_string(field.length) +
             " digits; field at " + std::to_string(field.offset) + " of file " +
             std::to_string(field.file) + " left unchanged");
}

// The characters that `value` takes in one occurrence of `field` encoded as `type`, or nullopt
// when nothing is to be written.
std::optional<std::string> Encode(const FieldInfo& field, short type, const Variant& value) {
  switch (type) {
    case kNumeric: {
      auto text = NumericText(value, field.length);
      if (!text && field.length > 0) TraceUnstorable(field, value);
      return text;
    }
    case kText:
      return Fit(TextOf(value), field.length);
    default:
      return std::nullopt;
  }
}

// An array element's text: without trailing blanks, except that one trailing blank after a
// non-blank stays (element lists such as the letter names keep it).
std::string ArrayText(const std::string& raw) {
  std::string text = RTrim(raw);
  if (raw.size() > 1 && raw.back() == ' ' && raw[raw.size() - 2] != ' ') text += ' ';
  return text;
}

}  // namespace

FileBlock& Block(short file) {
  if (!ValidFile(file)) throw std::out_of_range("file number " + std::to_string(file));
  return VbIo.files[static_cast<std::size_t>(file)];
}

void InitFileTable() {
  for (short file = 1; file < kFileCount; ++file) {
    FileBlock& block = Block(file);
    block.instance = 0;
    if (*kFileCodes[static_cast<std::size_t>(file)] == '\0') continue;
    std::memcpy(block.code, Fit(kFileCodes[static_cast<std::size_t>(file)], 4).data(), 4);
  }
  Block(PL1_FILE).instance = 1;
  Block(PL2_FILE).instance = 2;
}

short vb_io_connect(short mode, short& handle) {
  vb_io_erc = 0;
  short status = 0;
  try {
    status = io_connect(mode, &handle);
  } catch (...) {
    status = kNoConnection;
  }
  WriteTrace("after io_connect");
  if (status != 0) {
    vb_io_erc = kNoConnection;
    return vb_io_erc;
  }
  ConnHandle = handle;
  for (short file = 1; file < kFileCount; ++file) Block(file).connectionHandle = handle;
  return vb_io_erc;
}

void vb_io_setup(short handle) { vb_io_erc = io_setup(handle); }

void vb_io_setDirectory(short handle, std::string& directory, std::string& prefix) {
  auto directoryBuffer = Writable(directory);
  auto prefixBuffer = Writable(prefix);
  vb_io_erc = io_setDirectory(handle, directoryBuffer.data(), prefixBuffer.data());
  directory = FromBuffer(directoryBuffer);
  prefix = FromBuffer(prefixBuffer);
}

void vb_io_getDirectory(short handle, std::string& directory, std::string& prefix) {
  std::array<char, 150> directoryBuffer{};
  std::array<char, 4> prefixBuffer{};
  short length = 0;
  vb_io_erc = io_getDirectory(handle, directoryBuffer.data(), &length, prefixBuffer.data());
  // The length comes from the library; never read past the buffer it filled.
  const auto used = std::clamp<int>(length, 0, static_cast<int>(directoryBuffer.size()));
  directory.assign(directoryBuffer.data(), static_cast<std::size_t>(used));
  prefix.assign(prefixBuffer.data(), strnlen(prefixBuffer.data(), 3));
}

std::string vb_io_failure() {
  std::array<char, 512> text{};
  io_lastFailure(text.data(), static_cast<short>(text.size()));
  return text.data();
}

short vb_io_db_type() { return io_db_type(); }

void vb_io_set_userid(std::string userId) {
  auto buffer = Writable(userId);
  vb_io_erc = io_set_userid(buffer.data());
}

void vb_io_setTrace(short level) { io_setTrace(level); }
void vb_io_suppress(short code) { io_suppress(code, 1); }
void vb_io_unsuppress(short code) { vb_io_erc = io_suppress(code, 0); }
short vb_io_startClock() { return io_startClock(); }
short vb_io_stopClock() { return io_stopClock(); }
void vb_io_appTerminate() { vb_io_erc = io_appTerminate(); }
void vb_io_disconnect(short mode, short handle) { vb_io_erc = io_disconnect(mode, handle); }
void vb_io_createStore(const std::string& directory, const std::string& prefix) {
  vb_io_erc = io_createStore(directory.c_str(), prefix.c_str());
}

void vb_io_beginDatabase() { vb_io_erc = io_beginDatabase(); }
void vb_io_commitDatabase() { vb_io_erc = io_commitDatabase(); }
void vb_io_rollbackDatabase() { vb_io_erc = io_rollbackDatabase(); }

void vb_io_backupStore(const std::string& destination) { vb_io_erc = io_backupStore(destination.c_str()); }

void vb_io_restoreStore(const std::string& source) { vb_io_erc = io_restoreStore(source.c_str()); }

void vb_io_checkStoreCopy(const std::string& source, const std::function<void(long long, long long)>& progress) {
  const auto tell = [](void* context, long long done, long long total) {
    const auto& told = *static_cast<const std::function<void(long long, long long)>*>(context);
    if (told) told(done, total);
  };
  vb_io_erc = io_checkStoreCopy(source.c_str(), tell, const_cast<std::function<void(long long, long long)>*>(&progress));
}

int vb_io_renameFile(const std::string& source, const std::string& target) {
  int osError = 0;
  vb_io_erc = io_renameFile(source.c_str(), target.c_str(), &osError);
  return osError;
}

int vb_io_removeFile(const std::string& path) {
  int osError = 0;
  vb_io_erc = io_removeFile(path.c_str(), &osError);
  return osError;
}

void vb_io_open(short file, std::string path) {
  auto buffer = Writable(path);
  PerFile(file, [&](FileBlock* block) { return OpenStatus(io_open(block, buffer.data())); });
}

short vb_io_open_exclusive(short file, std::string path) {
  auto buffer = Writable(path);
  PerFile(file, [&](FileBlock* block) { return OpenStatus(io_open_exclusive(block, buffer.data())); });
  return vb_io_erc;
}

void vb_io_close(short file) { PerFile(file, io_close); }

void vb_io_read(short file, short key, short lock) {
  PerFile(file, [=](FileBlock* block) { return io_read(block, key, lock); });
}

void vb_io_find(short file, short key) {
  PerFile(file, [=](FileBlock* block) { return io_find(block, key); });
}

void vb_io_startRange(short file, short key) {
  PerFile(file, [=](FileBlock* block) { return io_startRange(block, key); });
}

void vb_io_start(short file, short key, short option, short mode) {
  PerFile(file, [=](FileBlock* block) { return io_start(block, key, option, mode); });
}

long vb_io_count(short file, short key) {
  long count = 0;
  PerFile(file, [&](FileBlock* block) { return io_count(block, key, &count); });
  return vb_io_erc == 0 ? count : 0;
}

void vb_io_next(short file, short key) {
  PerFile(file, [=](FileBlock* block) { return io_next(block, key); });
}

void vb_io_endstart(short file) { PerFile(file, io_endstart); }

void vb_io_rewrite(short file) {
  PerFile(file, [](FileBlock* block) {
    const short status = io_rewrite(block);
    io_unlock(block);  // a failed rewrite must not leave the record locked
    return status;
  });
}

void vb_io_unlock(short file) { PerFile(file, io_unlock); }
void vb_io_write(short file) { PerFile(file, io_write); }
void vb_io_add(short file) { PerFile(file, io_add); }

void vb_dms_open(short /*file*/, std::string /*path*/) {}

void ClearRecord(short file) {
  if (!ValidFile(file)) {
    vb_io_erc = kInvalidFileNumber;
    return;
  }
  std::memset(Record(file), ' ', kRecordSize);
}

Variant GetField(const FieldInfo& field) {
  CheckFieldInfo(field);
  if (!ValidFile(field.file)) {
    vb_io_erc = kInvalidFileNumber;
    return {};
  }
  const std::string chars = ReadChars(field.file, field.offset, field.length);
  switch (field.type) {
    case kNumeric:
      return NumberOrZero(chars);
    case kText: {
      std::string text = RTrim(chars);
      StripNul(text);
      return text;
    }
    default:
      return {};
  }
}

void PutField(const FieldInfo& field, const Variant& value) {
  CheckFieldInfo(field);
  if (!ValidFile(field.file)) {
    vb_io_erc = kInvalidFileNumber;
    return;
  }
  if (const auto chars = Encode(field, field.type, value)) WriteChars(field.file, field.offset, *chars);
}

void GetFieldArray(const FieldInfo& field, std::vector<Variant>& values) {
  values.assign(static_cast<std::size_t>(std::max<short>(field.count, 0)), Variant{});
  if (!ValidFile(field.file)) {
    vb_io_erc = kInvalidFileNumber;
    return;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::string raw =
        ReadChars(field.file, field.offset + static_cast<int>(i) * field.length, field.length);
    values[i] = field.type == kNumeric ? NumberOrZero(raw) : Variant(ArrayText(raw));
  }
}

void PutFieldArray(const FieldInfo& field, const std::vector<Variant>& values) {
  if (!ValidFile(field.file)) {
    vb_io_erc = kInvalidFileNumber;
    return;
  }
  const short type = field.type == kNumeric ? kNumeric : kText;
  const std::size_t count = std::min(values.size(), static_cast<std::size_t>(std::max<short>(field.count, 0)));
  for (std::size_t i = 0; i < count; ++i) {
    if (const auto chars = Encode(field, type, values[i])) {
      WriteChars(field.file, field.offset + static_cast<int>(i) * field.length, *chars);
    }
  }
}

std::string GetText(const FieldInfo& field) { return TextOf(GetField(field)); }

void CheckFieldInfo(const FieldInfo& field) {
  if (!IsInitialised(field)) MsgBoxTrace("Field infomation structure not initialised", ui::mb::OKOnly, "");
}

}  // namespace filomar
