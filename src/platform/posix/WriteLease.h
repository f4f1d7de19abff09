#pragma once

namespace hv {

// Whether another descriptor than fd, of this or another program, has fd's file open. A
// write lease is granted only to the sole open descriptor of a file, and one broken while
// held (someone opened the file meanwhile) counts as open elsewhere too. A file system
// without leases cannot tell, and gives false. A lease taken here is held until fd is
// closed, which the caller does at once: another opener waits no longer than that.
bool OpenElsewhere(int fd);

}  // namespace hv
