#include "WriteProtection.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Sets or clears the permission-override capability in this thread's
// effective set; it stays permitted, so it can be raised again.
bool setPermissionOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned bit = 1u << CAP_DAC_OVERRIDE;
    if (on)
        data[0].effective |= bit;
    else
        data[0].effective &= ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

WriteProtection::WriteProtection()
{
    if (geteuid() == 0)
        lowered_ = setPermissionOverride(false);
}

WriteProtection::~WriteProtection()
{
    if (lowered_)
        setPermissionOverride(true);
}
