// Floor of the listing benchmark (bench_cli.sh): the least work a recursive
// listing that tests each file's write bits can do on two threads. Both
// threads take whole folders from a shared stack, read them with getdents64
// and do one fstatat per regular file on the folder's descriptor. Nothing is
// sorted, decoded or written; it prints only "<files> <seconds>".
#include <atomic>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::mutex g_mutex;
std::vector<std::string> g_stack;
std::atomic<long> g_outstanding{0}; // folders queued or being read
std::atomic<long> g_files{0};

void readFolder(const std::string &path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(struct dirent64) char buf[32768];
    std::vector<std::string> subs;
    long files = 0;
    struct stat st;
    ssize_t n;
    while ((n = getdents64(fd, buf, sizeof buf)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto *de = reinterpret_cast<const struct dirent64 *>(buf + at);
            at += de->d_reclen;
            if (de->d_name[0] == '.')
                continue;
            if (de->d_type == DT_DIR)
                subs.push_back(path + '/' + de->d_name);
            else if (de->d_type == DT_REG &&
                     fstatat(fd, de->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                     (st.st_mode & S_IWUSR))
                ++files;
        }
    }
    close(fd);
    g_files += files;
    std::lock_guard lock(g_mutex);
    g_outstanding += long(subs.size());
    for (auto &s : subs)
        g_stack.push_back(std::move(s));
}

void work() {
    while (true) {
        std::string path;
        {
            std::lock_guard lock(g_mutex);
            if (!g_stack.empty()) {
                path = std::move(g_stack.back());
                g_stack.pop_back();
            }
        }
        if (path.empty()) {
            if (g_outstanding == 0)
                return;
            std::this_thread::yield();
            continue;
        }
        readFolder(path);
        --g_outstanding;
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    g_stack.emplace_back(argv[1]);
    g_outstanding = 1;
    std::thread helper(work);
    work();
    helper.join();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%ld %.3f\n", g_files.load(), took.count());
}
