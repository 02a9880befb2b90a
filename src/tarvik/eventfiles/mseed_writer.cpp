#include "tarvik/eventfiles/mseed_writer.h"

#include <libmseed.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "tarvik/eventfiles/seed_time.h"

namespace tarvik {

namespace {

constexpr std::int64_t kMicrosPerDay = 86400LL * 1000000LL;
constexpr flag kBigEndian = 1;

struct RecordSink {
  std::FILE* file;
  bool failed;
};

void WriteRecord(char* record, int length, void* data) {
  auto* sink = static_cast<RecordSink*>(data);
  if (std::fwrite(record, 1, static_cast<std::size_t>(length), sink->file) !=
      static_cast<std::size_t>(length))
    sink->failed = true;
}

void CopyCode(char (&field)[11], const std::string& code) {
  std::snprintf(field, sizeof field, "%s", code.c_str());
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

bool MiniSeedWriter::PackSegment(std::FILE* file, int channel, std::size_t begin, std::size_t end) const {
  if (end <= begin) return true;
  const ChannelTrace& trace = traces_.channels[static_cast<std::size_t>(channel)];
  const std::size_t count = end - begin;
  MSTrace* mst = mst_init(nullptr);
  if (mst == nullptr) return false;
  CopyCode(mst->network, naming_.network);
  CopyCode(mst->station, naming_.station);
  CopyCode(mst->location, naming_.location);
  CopyCode(mst->channel, naming_.channels[static_cast<std::size_t>(channel)]);
  mst->dataquality = 'D';
  mst->starttime = traces_.SampleTime(begin);
  mst->endtime = traces_.SampleTime(end - 1);
  mst->samprate = traces_.sampling;
  mst->samplecnt = static_cast<std::int64_t>(count);
  mst->numsamples = static_cast<std::int64_t>(count);
  // libmseed owns the sample buffer from here on (mst_free releases it), so it must come from malloc.
  if (physical_) {
    auto* values = static_cast<double*>(std::malloc(count * sizeof(double)));
    if (values == nullptr) {
      mst_free(&mst);
      return false;
    }
    for (std::size_t i = 0; i < count; ++i)
      values[i] = static_cast<double>(trace.counts[begin + i]) * trace.lsb;
    mst->datasamples = values;
    mst->sampletype = 'd';
  } else {
    auto* values = static_cast<std::int32_t*>(std::malloc(count * sizeof(std::int32_t)));
    if (values == nullptr) {
      mst_free(&mst);
      return false;
    }
    std::memcpy(values, trace.counts.data() + begin, count * sizeof(std::int32_t));
    mst->datasamples = values;
    mst->sampletype = 'i';
  }
  RecordSink sink{file, false};
  std::int64_t packed = 0;
  int records = mst_pack(mst, WriteRecord, &sink, kRecordLength, physical_ ? DE_FLOAT64 : DE_STEIM2,
                         kBigEndian, &packed, /*flush=*/1, /*verbose=*/0, nullptr);
  mst_free(&mst);
  return records > 0 && !sink.failed && packed == static_cast<std::int64_t>(count);
}

std::string MiniSeedWriter::WriteFile(const std::filesystem::path& path) const {
  std::filesystem::path temporary = path;
  temporary += ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr)
    return strings_.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(errno)));
  for (int c = 0; c < 3; ++c) {
    if (!PackSegment(file, c, 0, traces_.SampleCount())) {
      std::fclose(file);
      std::filesystem::remove(temporary);
      return strings_.Format(kMsgPackFailed, naming_.channels[static_cast<std::size_t>(c)]);
    }
  }
  bool closed = std::fclose(file) == 0;
  std::error_code error;
  if (closed) std::filesystem::rename(temporary, path, error);
  if (!closed || error) {
    std::string reason = closed ? error.message() : std::string(std::strerror(errno));
    std::filesystem::remove(temporary, error);
    return strings_.Format(kMsgCannotWrite, path.string(), reason);
  }
  return "";
}

std::size_t MiniSeedWriter::FirstSampleFrom(std::size_t from, std::int64_t boundary_us) const {
  // An estimate from the rate, then corrected by the exact sample times.
  std::int64_t estimate = (boundary_us - traces_.start_us) * traces_.sampling / 1000000;
  auto index = static_cast<std::size_t>(std::max<std::int64_t>(estimate, static_cast<std::int64_t>(from)));
  const std::size_t count = traces_.SampleCount();
  index = std::min(index, count);
  while (index > from && traces_.SampleTime(index - 1) >= boundary_us) --index;
  while (index < count && traces_.SampleTime(index) < boundary_us) ++index;
  return index;
}

std::string MiniSeedWriter::WriteSds(const std::filesystem::path& root,
                                     std::vector<std::filesystem::path>& written) const {
  std::set<std::filesystem::path> touched;
  const std::size_t count = traces_.SampleCount();
  for (int c = 0; c < 3; ++c) {
    std::size_t begin = 0;
    while (begin < count) {
      std::int64_t day = FloorDivide(traces_.SampleTime(begin), kMicrosPerDay);
      std::size_t end = FirstSampleFrom(begin + 1, (day + 1) * kMicrosPerDay);
      SeedTimeParts parts = SplitEpochMicroseconds(traces_.SampleTime(begin));
      std::filesystem::path path = SdsDayFile(root, naming_, c, parts.year, parts.day_of_year);
      std::error_code error;
      std::filesystem::create_directories(path.parent_path(), error);
      if (error) return strings_.Format(kMsgCannotWrite, path.string(), error.message());
      // Day files collect every record of their day: the new records go after those already there.
      std::FILE* file = std::fopen(path.c_str(), "ab");
      if (file == nullptr)
        return strings_.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(errno)));
      bool packed = PackSegment(file, c, begin, end);
      bool closed = std::fclose(file) == 0;
      if (!packed) return strings_.Format(kMsgPackFailed, naming_.channels[static_cast<std::size_t>(c)]);
      if (!closed) return strings_.Format(kMsgCannotWrite, path.string(), std::string(std::strerror(errno)));
      if (touched.insert(path).second) written.push_back(path);
      begin = end;
    }
  }
  return "";
}

}  // namespace tarvik
