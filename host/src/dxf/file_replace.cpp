#include "dxf/file_replace.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace host {

namespace {

namespace fs = std::filesystem;

// ".NAME.saving-PID-" : the start of the temporary names of this process.
std::string temporary_prefix(const fs::path& target, long pid)
{
    return "." + target.filename().string() + ".saving-" + std::to_string(pid) + "-";
}

// Temporary files of the target that saves of processes no longer running left behind.
void remove_abandoned(const fs::path& folder, const fs::path& target)
{
    remove_abandoned_files(folder.string(), "." + target.filename().string() + ".saving-");
}

bool write_all(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

mode_t file_mode(const fs::path& target)
{
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void remove_abandoned_files(const std::string& folder, const std::string& start)
{
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(start, 0) != 0) continue;
        long pid = std::atol(name.c_str() + start.size());
        if (pid <= 0 || pid == long(getpid())) continue;
        if (kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;  // still running, or not ours to judge
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

bool replace_file_contents(const std::string& path, const std::string& text, std::string& error)
{
    return replace_file_by(
        path,
        [&](int fd, std::string& why) {
            if (write_all(fd, text)) return true;
            why = std::strerror(errno);
            return false;
        },
        error);
}

bool replace_file_by(const std::string& path, const std::function<bool(int fd, std::string& why)>& write,
                     std::string& error)
{
    static std::atomic<unsigned long> counter{0};
    const fs::path target(path);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    remove_abandoned(folder, target);
    const mode_t mode = file_mode(target);
    auto fail = [&](const std::string& why) {
        error = "cannot write \"" + path + "\"" + (why.empty() ? "" : ": " + why);
        return false;
    };

    // A file without a name, which vanishes if this process dies before it is linked.
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    std::string temporary;
    if (fd < 0) {
        temporary = (folder / (temporary_prefix(target, long(getpid())) + "XXXXXX")).string();
        fd = ::mkstemp(temporary.data());
        if (fd < 0) return fail(std::strerror(errno));
    }
    auto abandon = [&](const std::string& why) {
        ::close(fd);
        if (!temporary.empty()) ::unlink(temporary.c_str());
        return fail(why);
    };
    if (std::string why; !write(fd, why)) return abandon(why);
    if (::fchmod(fd, mode) != 0) return abandon(std::strerror(errno));
    if (temporary.empty()) {
        // The finished text gets a name of its own, then the file's name.
        temporary =
            (folder / (temporary_prefix(target, long(getpid())) + std::to_string(++counter))).string();
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            temporary.clear();
            return abandon(std::strerror(errno));
        }
    }
    if (::close(fd) != 0) {
        ::unlink(temporary.c_str());
        return fail(std::strerror(errno));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int why = errno;
        ::unlink(temporary.c_str());
        error = "cannot replace \"" + path + "\": " + std::strerror(why);
        return false;
    }
    return true;
}

}  // namespace host
