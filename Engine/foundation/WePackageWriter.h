#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

// Packs a loose "Packages" tree into a package file with the layout and scramble its reader expects:
// the header, every member's bytes, then the index. The tree is read through the loose-file system,
// so the archive lists and serves exactly what that file system sees. Names that the archive could
// not store or that would shadow one another (the same name in another case) are refused.
class WePackageWriter
{
public:
    // False with a message in GetError when the tree is missing, a name cannot be stored, a file
    // cannot be read or the archive cannot be written; the archive is then left as it was.
    bool Pack(const WeString& packagesFolder, const WeString& archivePath);
    const WeString& GetError() const { return m_Error; }

private:
    bool Fail(const char* what, const WeString& subject);
    bool CheckTree(const WeString& packagesFolder);

    WeString m_Error;
};
