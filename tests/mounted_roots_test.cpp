// The volumes a POSIX machine's mount table lists.
#include "mounted_roots.hpp"

#include <gtest/gtest.h>

namespace scene {

TEST(MountedRoots, MountTableGivesRealFileSystemsRootFirst) {
    const char* mounts =
        "proc /proc proc rw,relatime 0 0\n"
        "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/vda / ext4 rw 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n"
        "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n";
    EXPECT_EQ(MountedRoots(mounts),
              (std::vector<std::string>{"/", "/home", "/media/usb stick", "/mnt/nfs"}));
    EXPECT_EQ(MountedRoots(""), std::vector<std::string>{"/"});
}

}  // namespace scene
