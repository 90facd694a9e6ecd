#pragma once

// Files that are not regular files, given where sound is expected, and a
// watchdog so that a reader blocked on one fails its test instead of
// hanging the whole run.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// A Unix socket bound at a path, closed (and the path left) on destruction.
class BoundSocket {
  public:
    explicit BoundSocket(const std::filesystem::path& file)
        : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, file.c_str(), sizeof address.sun_path - 1);
        bound_ = fd_ >= 0 &&
                 ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~BoundSocket() {
        if (fd_ >= 0) ::close(fd_);
    }
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;
    bool bound() const { return bound_; }

  private:
    int fd_;
    bool bound_ = false;
};

// The kinds of special file a test can make in its own folder.
enum class SpecialKind { Fifo, LinkToFifo, Folder, Socket, Device };

struct SpecialCase {
    const char* name;  // the file name given as sound
    SpecialKind kind;
    const char* reason;  // what the refusal says
};

inline const SpecialCase kSpecialCases[] = {
    {"song.mp3", SpecialKind::Fifo, "it is a FIFO, not a file"},
    {"linked.mp3", SpecialKind::LinkToFifo, "it is a FIFO, not a file"},
    {"folder.mp3", SpecialKind::Folder, "it is a folder, not a file"},
    {"socket.mp3", SpecialKind::Socket, "it is a socket, not a file"},
    {"device.mp3", SpecialKind::Device, "it is a device, not a file"},
};

// Makes `file` of the kind asked for; the FIFOs it made are added to *fifos
// (for the watchdog), a socket is kept in *socket. False when it could not.
inline bool makeSpecialFile(const std::filesystem::path& file, SpecialKind kind,
                            std::vector<std::filesystem::path>* fifos,
                            std::optional<BoundSocket>* socket) {
    std::error_code error;
    switch (kind) {
        case SpecialKind::Fifo:
            fifos->push_back(file);
            return ::mkfifo(file.c_str(), 0600) == 0;
        case SpecialKind::LinkToFifo: {
            std::filesystem::path target = file;
            target += ".fifo";
            fifos->push_back(target);
            if (::mkfifo(target.c_str(), 0600) != 0) return false;
            std::filesystem::create_symlink(target, file, error);
            return !error;
        }
        case SpecialKind::Folder:
            return std::filesystem::create_directory(file, error);
        case SpecialKind::Socket:
            socket->emplace(file);
            return (*socket)->bound();
        case SpecialKind::Device:
            // Empty on reading; a reader that did not check would not hang
            // on it, but would give the wrong reason.
            std::filesystem::create_symlink("/dev/null", file, error);
            return !error;
    }
    return false;
}

// Runs `call` on a thread and gives its result when it returns within
// `seconds`. When it does not (a regression: something blocked in open() on
// a FIFO), each FIFO is opened for writing and closed again until the call
// comes back, so the test fails with std::nullopt instead of hanging.
template <class Call>
auto resultWithin(Call call, const std::vector<std::filesystem::path>& fifos, int seconds = 30)
    -> std::optional<decltype(call())> {
    std::packaged_task<decltype(call())()> task(std::move(call));
    auto future = task.get_future();
    std::thread thread(std::move(task));
    const bool inTime = future.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
    while (future.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        for (const std::filesystem::path& fifo : fifos) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }
    thread.join();
    if (!inTime) return std::nullopt;
    return future.get();
}

}  // namespace velmora::test
