#pragma once
#include <QString>

// Copies a file so that `to` is either left as it was or replaced whole by a
// complete copy: the bytes go to a temporary file beside `to`, reach the disk,
// and only then take its name.
// Raises EDatabaseError (and leaves no temporary file) on any failure. When
// `to` is a symbolic link, the file it leads to is replaced and the link stays.
enum class CopyAccess {
    OwnerOnly,       // the copy is readable by its owner only
    KeepTargetAccess // the copy takes the replaced file's mode and group, and its owner where the user may give it
};
void CopyFileAtomically(const QString& from, const QString& to, CopyAccess access = CopyAccess::OwnerOnly);

// The file that a replacement of `path` writes: `path` itself, or, when it is
// a symbolic link, the end of its chain of links (which need not exist yet).
QString ReplacementTarget(const QString& path);

// Name of the temporary file CopyFileAtomically(…, to) builds beside the
// target: the target's name followed by this and six letters or digits.
inline constexpr const char* kCopyTemporaryInfix = ".tmp-";
