#pragma once

namespace qmx {

// What the Access-format reader helper writes on its standard output, and its client
// reads: a compact binary stream, integers little-endian.
//
//   magic "QMXJET1\n"
//   'N' table (1 byte: 0 Info, 1 LogData), stored row count (4)   before each table's rows
//   'I' Date, Description                                          an Info row (texts)
//   'L' TimeStamp, Type, Units, Value, dBu                         a LogData row
//   'X' length (2), UTF-8 message                                  the file cannot be read
//   'Z'                                                            the end, every row read
//
// A text is its length in UTF-16 code units (2; 0xFFFF for null) and the code units. A
// number is 0 (null), 4 and the single's 4 bytes, or 8 and the double's 8 bytes, as stored.
namespace AccessStream {

inline constexpr char kMagic[] = "QMXJET1\n";
inline constexpr int kMagicLength = 8;
inline constexpr char kTable = 'N';
inline constexpr char kInfoRow = 'I';
inline constexpr char kLogDataRow = 'L';
inline constexpr char kError = 'X';
inline constexpr char kEnd = 'Z';
inline constexpr unsigned kNullText = 0xFFFF;
inline constexpr unsigned char kNullNumber = 0;
inline constexpr unsigned char kSingle = 4;
inline constexpr unsigned char kDouble = 8;

} // namespace AccessStream

} // namespace qmx
