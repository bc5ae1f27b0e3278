// What keeps an in-place rewrite of a line file crash-safe. While a file is
// overwritten in place it is neither old nor new until the copy ends, so a
// whole copy of the new content is kept meanwhile, on disk and under a
// name no clean-up removes, and a note in the temporary folder names the
// file and the copy. A run killed during the copy leaves both behind; the
// next start of a program finds the note (FindInterruptedRewrites in
// platform.h) and tells where the new content is.
#pragma once

#include <string>

namespace platform {

class RewriteJournal {
public:
    RewriteJournal() = default;
    ~RewriteJournal() { End(); }
    RewriteJournal(const RewriteJournal&) = delete;
    RewriteJournal& operator=(const RewriteJournal&) = delete;

    // Makes the staged copy (open as stagedFd, named *staging) safe before
    // target is overwritten: its bytes on disk, and, when it lies beside
    // the target, renamed "<name>.unsaved" (or "<name>.unsaved.N") so the
    // clean-up of leftovers never takes it; *staging is then its new name.
    // Then the note is written. False, with the reason in *why, when no
    // such copy can be had: the target must not be overwritten then.
    bool Keep(int stagedFd, std::string* staging, bool besideTarget, const std::string& target, std::string* why);

    // The overwrite is over (the copy has been removed or is being kept and
    // said): the note goes.
    void End();

private:
    std::string m_note;  // the note's path; empty: none
    int m_noteFd = -1;   // held locked while the overwrite runs
};

// Gives the staged copy beside target a name no clean-up of leftovers
// takes: "<target>.unsaved", or with ".1" ... ".99" when that is taken.
// Returns the new path, or an empty string (errno says why) when none
// could be had.
std::string ClaimStagedCopy(const std::string& staging, const std::string& target);

}  // namespace platform
