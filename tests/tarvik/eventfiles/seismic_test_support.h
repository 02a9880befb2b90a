#pragma once

// Readers for the tests of the seismic exports, written from the published file formats and not
// from the program's writers: SAC files byte by byte, miniSEED through libmseed.

#include <libmseed.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace kr_test {

// A binary little-endian SAC file: 70 header floats, 40 header integers, 192 bytes of 8-character
// names (kevnm 16), then npts 32-bit floats.
struct SacFile {
  bool ok = false;
  std::vector<std::uint8_t> bytes;

  static SacFile Read(const std::filesystem::path& path) {
    SacFile sac;
    std::ifstream in(path, std::ios::binary);
    sac.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    sac.ok = sac.bytes.size() >= 632;
    return sac;
  }
  std::uint32_t Word(std::size_t index) const {
    std::size_t at = 4 * index;
    return static_cast<std::uint32_t>(bytes.at(at)) | static_cast<std::uint32_t>(bytes.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(bytes.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
  }
  float FloatWord(std::size_t index) const {
    std::uint32_t word = Word(index);
    float value;
    std::memcpy(&value, &word, 4);
    return value;
  }
  // Header floats by word index: delta 0, depmin 1, depmax 2, b 5, e 6, stla 31, stlo 32, depmen 56.
  float F(std::size_t index) const { return FloatWord(index); }
  // Header integers by index from word 70: nzyear 0, nzjday 1, nzhour 2, nzmin 3, nzsec 4, nzmsec 5,
  // nvhdr 6, npts 9, iftype 15, idep 16, iztype 17, leven 35.
  std::int32_t I(std::size_t index) const { return static_cast<std::int32_t>(Word(70 + index)); }
  // Names by byte offset from byte 440: kstnm 0, khole 24, kcmpnm 160, knetwk 168, kinst 184.
  std::string K(std::size_t offset) const {
    std::string text(reinterpret_cast<const char*>(bytes.data()) + 440 + offset, 8);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
  }
  std::vector<float> Data() const {
    std::vector<float> values;
    for (std::size_t i = 158; 4 * i + 4 <= bytes.size(); ++i) values.push_back(FloatWord(i));
    return values;
  }
  // The reference time plus b, in microseconds since 1970 (days counted by hand for 1970..2099).
  std::int64_t BeginMicroseconds() const {
    std::int64_t days = 0;
    for (int y = 1970; y < I(0); ++y) days += (y % 4 == 0) ? 366 : 365;
    days += I(1) - 1;
    std::int64_t seconds = days * 86400 + I(2) * 3600 + I(3) * 60 + I(4);
    return seconds * 1000000 + std::int64_t{I(5)} * 1000 + static_cast<std::int64_t>(F(5) * 1e6 + 0.5);
  }
};

// One channel of a miniSEED file as libmseed reads it back.
struct MiniSeedTrace {
  std::string network;
  std::string station;
  std::string location;
  std::int64_t start = 0;  // hptime, microseconds
  double rate = 0;
  std::vector<std::int32_t> counts;
  std::vector<double> values;
  int segments = 0;  // traces libmseed needed for this channel (1 = continuous)
};

inline std::map<std::string, MiniSeedTrace> ReadMiniSeed(const std::filesystem::path& path) {
  std::map<std::string, MiniSeedTrace> traces;
  MSTraceGroup* group = nullptr;
  if (ms_readtraces(&group, const_cast<char*>(path.c_str()), -1, -1.0, -1.0, 1, 0, 1, 0) != MS_NOERROR) {
    mst_freegroup(&group);
    return traces;
  }
  for (MSTrace* t = group->traces; t != nullptr; t = t->next) {
    MiniSeedTrace& out = traces[t->channel];
    if (out.segments++ == 0) {
      out.network = t->network;
      out.station = t->station;
      out.location = t->location;
      out.start = t->starttime;
      out.rate = t->samprate;
    }
    for (std::int64_t i = 0; i < t->numsamples; ++i) {
      if (t->sampletype == 'i') out.counts.push_back(static_cast<std::int32_t*>(t->datasamples)[i]);
      if (t->sampletype == 'd') out.values.push_back(static_cast<double*>(t->datasamples)[i]);
    }
  }
  mst_freegroup(&group);
  return traces;
}

// The encoding of the first record of a miniSEED file (blockette 1000), through libmseed.
inline int FirstRecordEncoding(const std::filesystem::path& path) {
  MSRecord* record = nullptr;
  int encoding = -1;
  if (ms_readmsr(&record, const_cast<char*>(path.c_str()), -1, nullptr, nullptr, 1, 0, 0) == MS_NOERROR)
    encoding = record->encoding;
  ms_readmsr(&record, nullptr, 0, nullptr, nullptr, 0, 0, 0);  // frees the reader's state
  return encoding;
}

}  // namespace kr_test
