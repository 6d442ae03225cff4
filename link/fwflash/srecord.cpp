#include "link/fwflash/srecord.h"

#include <cstdio>

namespace vireo::srec {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Address bytes of each record type; 0 for the reserved type 4.
constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

bool is_data(int type) { return type >= 1 && type <= 3; }

}  // namespace

std::string parse_record(std::string_view line, Record& record) {
  if (line.empty() || line[0] != 'S') return "a record starts with S";
  if (line.size() < 2 || line[1] < '0' || line[1] > '9') return "no record type after S";
  record.type = line[1] - '0';
  if (record.type == 4) return "record type S4 is reserved";
  const std::string_view hex = line.substr(2);
  if (hex.size() % 2 != 0) return "odd number of hex digits";
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = hex_value(hex[i]), low = hex_value(hex[i + 1]);
    if (high < 0 || low < 0) return "not a hex digit at column " + std::to_string(i + 3 + (high < 0 ? 0 : 1));
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  if (bytes.empty()) return "no byte count";
  const std::size_t count = bytes[0];
  if (count != bytes.size() - 1)
    return "byte count " + std::to_string(count) + " but " + std::to_string(bytes.size() - 1) + " bytes follow";
  const auto address_bytes = static_cast<std::size_t>(kAddressBytes[record.type]);
  if (count < address_bytes + 1) return "byte count " + std::to_string(count) + " too small for S" + std::to_string(record.type);
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
  const unsigned expected = ~sum & 0xFF;
  if (bytes.back() != expected) {
    char text[64];
    std::snprintf(text, sizeof text, "checksum %02X, should be %02X", bytes.back(), expected);
    return text;
  }
  record.address = 0;
  for (std::size_t i = 1; i <= address_bytes; ++i) record.address = record.address << 8 | bytes[i];
  record.data.assign(bytes.begin() + 1 + static_cast<std::ptrdiff_t>(address_bytes), bytes.end() - 1);
  if (!is_data(record.type) && record.type != 0 && !record.data.empty())
    return "S" + std::to_string(record.type) + " carries no data";
  return {};
}

std::string hex_address(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", address);
  return text;
}

Image read_image(std::string_view content) {
  Image image;
  bool ended = false;
  int number = 0;
  while (!content.empty()) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const std::string at = "line " + std::to_string(number) + ": ";
    if (ended) {
      image.errors.push_back(at + "record after the end record");
      continue;
    }
    Record record;
    if (std::string error = parse_record(line, record); !error.empty()) {
      image.errors.push_back(at + error);
      continue;
    }
    image.lines.emplace_back(line);
    if (record.type == 0) {
      image.header.assign(record.data.begin(), record.data.end());
    } else if (is_data(record.type)) {
      ++image.data_records;
      if (record.data.empty()) continue;
      const std::uint64_t last = std::uint64_t{record.address} + record.data.size() - 1;
      if (last > 0xFFFFFFFFu) {
        image.errors.push_back(at + "data beyond the 32-bit address range");
        continue;
      }
      image.bytes += record.data.size();
      if (!image.ranges.empty() && std::uint64_t{image.ranges.back().last} + 1 == record.address)
        image.ranges.back().last = static_cast<std::uint32_t>(last);
      else
        image.ranges.push_back({record.address, static_cast<std::uint32_t>(last)});
    } else if (record.type == 5 || record.type == 6) {
      if (record.address != static_cast<std::uint32_t>(image.data_records))
        image.errors.push_back(at + "record count " + std::to_string(record.address) + " but " +
                               std::to_string(image.data_records) + " data records before it");
    } else {
      image.has_start = true;
      image.start = record.address;
      ended = true;
    }
  }
  if (image.data_records == 0) image.errors.push_back("no data records in the file");
  return image;
}

}  // namespace vireo::srec
