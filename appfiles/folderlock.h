// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "appfiles/folder.h"
#include "outcome/result.h"

namespace appfiles
{
// A lock on the program folder itself (flock on the folder's own entry, so
// that nothing is created for it): every running varlume holds it shared,
// and whatever replaces the database under all of them holds it alone. The
// lock goes with the process, however it ends.
class FolderLock final
{
public:
    // Shared with every other running varlume; waits only while one holds the
    // folder alone, which a restore does for seconds.
    static outcome::Result<FolderLock> shared(const Folder &folder);
    // Alone, never waiting: busy while another varlume runs in the folder.
    static outcome::Result<FolderLock> alone(const Folder &folder);

    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    explicit FolderLock(int descriptor);

    int m_descriptor = -1;
};
}
