// The save journal and the recovery that reads it: a journal beside a file,
// its new copy and its old copy (four parts), in a scratch directory. The
// reader refuses or reads it, what it reads encodes and reads back the same,
// and the recovery never leaves the journal in its place.
#include "fuzz_support.h"
#include "gamefiles/save_journal.h"
#include "gamefiles/save_recovery.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::UnpackParts(data, size, 4);
  Result<SaveJournal> journal = ParseSaveJournal(parts[0]);
  if (journal) {
    const std::string text = EncodeSaveJournal(*journal);
    Result<SaveJournal> again = ParseSaveJournal(Bytes(text.begin(), text.end()));
    FUZZ_CHECK(again && *again == *journal);
  }
  fuzz::LayFiles({{kSaveJournalName, parts[0]}, {"a.grp", parts[1]}, {"a.grp.tmp", parts[2]}, {"a.grp.old", parts[3]}});
  Result<std::string> recovered = RecoverInterruptedSave(fuzz::ScratchGameDir());
  FUZZ_CHECK(!recovered || !std::filesystem::exists(fuzz::ScratchGameDir() / kSaveJournalName));
  return 0;
}
