// Frames of the instrument dialogue, as pure functions over bytes.
//
// Protocol notes
// --------------
// The PC sends short ASCII commands; the instrument answers each with one frame whose first
// three bytes name it. Numbers are big-endian except the type code of the identification.
//
//   PC -> instrument                      instrument -> PC
//   "MRD" 00  enter transfer mode         "SER" x st              acknowledgement, st 0 = ok
//   "MEX" 00  leave transfer mode         "SWH" lenHi lenLo ...   identification payload
//   "MWH"     identify                    "SNU" x cntHi cntLo     number of stored records
//   "MNU"     count records               "SRE" len ...           one record, len 0 = no more
//   "MSS"     start sending (ack)
//   "MRE"     next record
//
// Identification payload: type code (2 bytes, LOW byte first; 1xx means family xx), then up
// to ten zero-terminated strings (LF bytes inside them are dropped).
//
// Record payload: block id (2 bytes), element id (2 bytes), function code (1 byte), then items
// until the end: letter, for R/M/P a quantity code and a unit code, then a zero-terminated
// text. Example record frame (block 2, element 15, function 7, item R q=1 u=5 "> 1999"):
//
//   53 52 45 0F | 00 02 00 0F 07 | 52 01 05 3E 20 31 39 39 39 00
//    S  R  E len   blk   elm  fn    R  q  u  >  _  1  9  9  9 end
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarn::frames {

using namespace std::string_view_literals;

inline constexpr std::string_view EnterTransferMode = "MRD\0"sv;
inline constexpr std::string_view LeaveTransferMode = "MEX\0"sv;
inline constexpr std::string_view Identify = "MWH"sv;
inline constexpr std::string_view CountRecords = "MNU"sv;
inline constexpr std::string_view StartSending = "MSS"sv;
inline constexpr std::string_view NextRecord = "MRE"sv;

inline constexpr std::string_view AckHeader = "SER"sv;
inline constexpr std::string_view IdentificationHeader = "SWH"sv;
inline constexpr std::string_view CountHeader = "SNU"sv;
inline constexpr std::string_view RecordHeader = "SRE"sv;

inline constexpr int AckSize = 5;
inline constexpr int IdentificationHeaderSize = 5;
inline constexpr int CountSize = 6;
inline constexpr int RecordHeaderSize = 4;

// Buffers of the dialogue: what is kept of a frame at most.
inline constexpr int AckBufferSize = 100;
inline constexpr int IdentificationBufferSize = 400;
inline constexpr int RecordBufferSize = 10000;

// Results of awaiting an acknowledgement besides its status byte.
inline constexpr int AckIncomplete = 1;
inline constexpr int AckWrongHeader = 2;

// Status byte of an acknowledgement (0 = accepted), AckWrongHeader when the frame does not
// start with "SER", AckIncomplete when it is shorter than 5 bytes.
int ackResult(std::string_view bytes);

// Number of records from a count frame; 0 when the frame is short or not "SNU".
int countFromFrame(std::string_view bytes);

// Payload length announced by an identification header; nothing when the header is wrong.
std::optional<int> identificationLength(std::string_view header);

// Payload length announced by a record header (0 = no more records); nothing when wrong.
std::optional<int> recordLength(std::string_view header);

// Frames the instrument sends, for the simulated instrument and tests.
std::string ackFrame(uint8_t status);
std::string countFrame(uint16_t count);
std::string identificationFrame(std::string_view payload); // payload up to 65535 bytes
std::string recordFrame(std::string_view payload);         // payload up to 255 bytes

// Bytes as "53 52 45" for messages and logs.
std::string hexDump(std::string_view bytes);

} // namespace zarn::frames
