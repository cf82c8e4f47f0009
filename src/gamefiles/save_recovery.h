#pragma once
// Recovery of a save that was cut off (a crash, a kill, a power loss): run
// once each time a program opens a game directory, before anything in it is
// read.
#include <filesystem>
#include <string>

#include "base/result.h"

namespace tavrel {

// Looks for the journal of an interrupted save in `dir` (save_journal.h) and
// settles it: when every new copy is whole (in place, or NAME.tmp matching
// the journal's size and checksum) the save is finished, else every old copy
// is put back; then the copies it left (NAME.tmp, NAME.old) and the journal
// are removed. A patch in place is finished from the runs in its journal.
//
// Nothing is trusted: a journal that is cut short or damaged, or a file that
// holds neither its old nor its new contents, changes no file; the journal
// is moved aside (tavrel-save.journal.damaged) and the message says so.
//
// Gives the one message to show before the directory is read ("" when there
// was no interrupted save), or an error when a step of the recovery failed
// (a read-only directory): the journal then stays for the next open, and
// the directory should not be read.
Result<std::string> RecoverInterruptedSave(const std::filesystem::path& dir);

}  // namespace tavrel
