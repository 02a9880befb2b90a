#pragma once

// Trace lines written from more than one place; the texts are what operators search the trace for.
namespace tarvik::trace {

inline constexpr const char* kComWriteError = "<Error writing to COM port>";
inline constexpr const char* kDataFileWriteError = "<Error writing to data file>";
inline constexpr const char* kComReadError = "<Error %u reading from COM port>";
inline constexpr const char* kSyntaxError = "<Syntax error reading from COM port>";
inline constexpr const char* kChecksumError = "<Check sum error>";
inline constexpr const char* kCommandTooLong = "<Command string too long>";

}  // namespace tarvik::trace
