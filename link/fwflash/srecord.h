// Motorola S-record files, the firmware images of the controller: one record a line, "S", the record
// type, the byte count, the address, the data and a checksum, all as pairs of hex digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vireo::srec {

struct Record {
  int type = 0;               // 0 header, 1-3 data, 5-6 count, 7-9 end with the start address
  std::uint32_t address = 0;
  std::vector<std::uint8_t> data;
};

// Reads one line (without its line end). Returns an error text, empty when `record` holds it: the
// type is known (S4 is reserved), the characters are hex digits, the byte count matches the line's
// length and covers the address, and the checksum (ones' complement of the low byte of the sum of the
// count, address and data bytes) is right.
std::string parse_record(std::string_view line, Record& record);

// A range of addresses the data records fill, first and last address included.
struct Range {
  std::uint32_t first = 0, last = 0;
};

struct Image {
  std::string header;              // the text of the S0 record, if any
  std::vector<Range> ranges;       // in file order, adjacent records merged
  std::uint64_t bytes = 0;         // data bytes in all
  int data_records = 0;
  bool has_start = false;
  std::uint32_t start = 0;         // the start address of the end record
  std::vector<std::string> errors;  // "line N: ..." for every fault found
  std::vector<std::string> lines;   // the record lines, without line ends, as they are sent
};

// Checks a whole file: every record, the record count of an S5/S6 record, nothing but blank lines
// after the end record, and at least one data record.
Image read_image(std::string_view content);

// "0x" and upper-case hex digits, at least four.
std::string hex_address(std::uint32_t address);

}  // namespace vireo::srec
