// A folder on a small disk of its own (a tmpfs of 64 KiB) that a test fills,
// so that the writes a command makes there fail as on a full disk. Mounting
// needs root; where it is not permitted, mounted() is false and why() says so,
// for the test to skip with.
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

class SmallDisk {
public:
    explicit SmallDisk(std::string folder) : folder_(std::move(folder))
    {
        std::error_code code;
        std::filesystem::create_directories(folder_, code);
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k,mode=0777") == 0) {
            mounted_ = true;
        } else {
            why_ = "a small disk cannot be mounted at " + folder_ + " (" + std::strerror(errno) +
                   "): the full-disk case needs root";
        }
    }
    ~SmallDisk()
    {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    const std::string& folder() const { return folder_; }

    // Takes all the room that is left, so that a write needing one more block
    // fails; the disk's files stay as they are.
    void fill()
    {
        const std::string filler = folder_ + "/.filler";
        int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0) return;
        char block[4096] = {};
        for (size_t size = sizeof block; size > 0;) {
            if (::write(fd, block, size) < ssize_t(size)) size /= 2;
        }
        ::close(fd);
    }
    // Gives the room back.
    void empty() { ::unlink((folder_ + "/.filler").c_str()); }

private:
    std::string folder_;
    std::string why_;
    bool mounted_ = false;
};
