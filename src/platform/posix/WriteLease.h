#pragma once

namespace hv {

// Whether another descriptor than fd, of this or another program, has fd's file open. A
// write lease is granted only to the sole open descriptor of a file, and one broken while
// held (someone opened the file meanwhile) counts as open elsewhere too. A file system
// without leases cannot tell, and gives false. A lease taken here is held until fd is
// closed: every other opener waits until then, so a caller closes it soon (once a file is
// cut and removed, or the first block of a wipe is written).
bool OpenElsewhere(int fd);

}  // namespace hv
