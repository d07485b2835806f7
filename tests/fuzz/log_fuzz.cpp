// Any bytes as Log.dat: after one load and save the log is in its canonical form, so loading and
// saving it again gives the same records and the same bytes. Trimming the loaded records to a
// limit taken from the input keeps exactly the shortest run of newest lines that reaches it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/JvLogFile.h"
#include "tests/fakes/fake_clock_locale.h"
#include "tests/fakes/fake_file_system.h"

namespace {

constexpr char kLog[] = "C:\\app\\Log.dat";

struct Entry {
  std::string time, title, description;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> Entries(const dormivo::TJvLogRecordList& records) {
  std::vector<Entry> out;
  for (int i = 0; i < records.Count(); ++i) {
    const dormivo::TJvLogRecord r = records[i];
    out.push_back(Entry{std::string(r.Time), std::string(r.Title), std::string(r.Description)});
  }
  return out;
}

uint64_t LineSize(const Entry& e) {
  return 5 + e.time.size() + e.title.size() +
         static_cast<uint64_t>(std::count(e.title.begin(), e.title.end(), '>')) +
         e.description.size();
}

void Check(bool ok) {
  if (!ok)
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  dormivo::fakes::FakeFileSystem fs;
  dormivo::fakes::FakeClockLocale clock;
  fs.AddFile(kLog, std::string(reinterpret_cast<const char*>(data), size));

  dormivo::TJvLogFile first(fs, clock);
  first.Load(kLog);  // content never raises
  const std::vector<Entry> records = Entries(first.Records());
  first.Save(kLog);
  const std::string saved = fs.Content(kLog).value();
  Check(saved.size() == first.Records().TextSize());
  for (const Entry& e : records) {
    for (const std::string* text : {&e.time, &e.title, &e.description}) {
      Check(text->find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    }
    Check(e.time.find(']') == std::string::npos);
    Check(e.description.empty() || e.description.front() != '>');
  }

  dormivo::TJvLogFile second(fs, clock);
  second.Load(kLog);
  Check(Entries(second.Records()) == records);
  second.Save(kLog);
  Check(fs.Content(kLog).value() == saved);

  if (size >= 2 && !records.empty()) {
    const uint32_t limit = data[0] | (uint32_t{data[1]} << 8);
    second.SetSizeLimit(limit);
    second.ApplySizeLimit();
    const std::vector<Entry> kept = Entries(second.Records());
    Check(kept.size() >= 1 && kept.size() <= records.size());
    Check(std::equal(kept.begin(), kept.end(), records.end() - static_cast<long>(kept.size())));
    uint64_t total = 0;
    for (const Entry& e : kept) total += LineSize(e);
    if (limit == 0 || kept.size() == records.size()) {
      // Nothing deleted: the lines reach the limit only with the oldest, or not at all.
      Check(limit == 0 || total - LineSize(records.front()) < limit);
    } else {
      Check(total >= limit && total - LineSize(kept.front()) < limit);
    }
  }
  return 0;
}
