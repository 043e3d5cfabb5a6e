#include "surface/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "qor/RuntimeError.h"

namespace qor::surface {

namespace {

[[noreturn]] void Fail(const std::string& path, int err) {
    throw RuntimeError(kErrPathFileAccess,
                       "Cannot write the file \"" + path + "\": " + std::strerror(err));
}

std::string TempName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 rng(std::random_device{}());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp-%d-%u-%08x", static_cast<int>(getpid()),
                  counter.fetch_add(1), static_cast<unsigned>(rng()));
    return path + suffix;
}

}  // namespace

void WriteNamedFileAtomically(const std::string& path, const std::function<void(const std::string&)>& write) {
    if (path.empty()) throw RuntimeError(kErrBadFileName, "No file name was given");
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempName(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) Fail(path, errno);
    }
    if (fd < 0) Fail(path, EEXIST);
    ::close(fd);
    try {
        write(temp);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Fail(path, err);
    }
}

void WriteFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write) {
    WriteNamedFileAtomically(path, [&](const std::string& temp) {
        std::FILE* f = std::fopen(temp.c_str(), "wbe");
        if (!f) Fail(path, errno);
        try {
            write(f);
        } catch (...) {
            std::fclose(f);
            throw;
        }
        int err = 0;
        errno = 0;
        if (std::fflush(f) != 0 || std::ferror(f)) err = errno ? errno : EIO;
        if (std::fclose(f) != 0 && !err) err = errno ? errno : EIO;
        if (err) Fail(path, err);
    });
}

}  // namespace qor::surface
